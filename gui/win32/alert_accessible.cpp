// gui::Announce on Windows: screen readers speak an object of the alert role when it raises
// EVENT_SYSTEM_ALERT, wherever the keyboard focus is. Each form gets one such object at its
// first announcement: a child window of no size (nothing to see, nothing to click, never
// focused) whose name is the text said last.
#include <windows.h>

#include <oleacc.h>

#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "gui/announcement.h"
#include "gui/win32/accessible_object.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

constexpr wchar_t kAlertClass[] = L"SoramitsuAlert";
// Posted by Announce (wParam 0, then 1): the alert follows whatever the running handler did
// to the focus.
constexpr UINT kSpeakMessage = WM_APP + 0x4B;

// Shared by the window and its reader object, which may outlive it.
struct AlertState {
  HWND hwnd = nullptr;  // cleared when the window goes
  std::wstring text;
  bool speakPending = false;
  platform::win32::ComPtr<IAccessible> object;  // made at the first reader's request
};

class AlertAccessible final : public AccessibleObject {
 public:
  explicit AlertAccessible(std::shared_ptr<AlertState> state) : state_(std::move(state)) {}

 protected:
  HWND Window() const override { return state_->hwnd; }
  long ChildCount() const override { return 0; }
  long Role(long) const override { return ROLE_SYSTEM_ALERT; }
  std::wstring Name(long) const override { return state_->text; }
  long State(long) const override { return STATE_SYSTEM_READONLY; }
  std::optional<RECT> ScreenRect(long) const override { return std::nullopt; }

 private:
  std::shared_ptr<AlertState> state_;
};

std::shared_ptr<AlertState>* StateOf(HWND hwnd) {
  return reinterpret_cast<std::shared_ptr<AlertState>*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK AlertProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<AlertState>* holder = StateOf(hwnd);
  if (holder != nullptr) {
    AlertState& state = **holder;
    switch (message) {
      case WM_GETOBJECT:
        try {
          if (!state.object) state.object = MakeAccessible<AlertAccessible>(*holder);
        } catch (...) {
          break;  // no memory: the system's own object answers
        }
        if (const LRESULT answer = AnswerGetObject(wParam, lParam, state.object.get())) return answer;
        break;
      case kSpeakMessage:
        // Once more to the end of the queue: a table shown by the same handler posts its
        // focus event after this message was posted, and a reader stops speaking when the
        // focus moves.
        if (wParam == 0 && ::PostMessageW(hwnd, kSpeakMessage, 1, 0)) return 0;
        state.speakPending = false;
        ::NotifyWinEvent(EVENT_SYSTEM_ALERT, hwnd, OBJID_CLIENT, CHILDID_SELF);
        return 0;
      case WM_NCDESTROY:
        state.hwnd = nullptr;
        state.object.Reset();
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete holder;
        break;
      default:
        break;
    }
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterAlertClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &AlertProcedure;
    wc.hInstance = Instance();
    wc.lpszClassName = kAlertClass;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) throw std::runtime_error("alert window class could not be registered");
}

// The form's alert window, made when first needed; nullptr when it cannot be made.
HWND AlertWindowOf(HWND form) {
  if (HWND existing = ::FindWindowExW(form, nullptr, kAlertClass, nullptr)) return existing;
  RegisterAlertClass();
  // Shown but of no size: some readers pass over events of hidden windows. Disabled, so
  // that neither a click nor the Tab key can reach it.
  HWND hwnd = ::CreateWindowExW(WS_EX_NOPARENTNOTIFY, kAlertClass, L"",
                                WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0, 0, 0, form, nullptr,
                                Instance(), nullptr);
  if (hwnd == nullptr) return nullptr;
  auto* holder = new (std::nothrow) std::shared_ptr<AlertState>(std::make_shared<AlertState>());
  if (holder == nullptr) {
    ::DestroyWindow(hwnd);
    return nullptr;
  }
  (*holder)->hwnd = hwnd;
  ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(holder));
  // Beneath every other child, so that it never covers a control's corner.
  ::SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return hwnd;
}

}  // namespace

}  // namespace gui::win32

namespace gui {

void Announce(Form& form, const Text& text) {
  HWND owner = static_cast<HWND>(form.NativeHandle());
  if (owner == nullptr || text.empty()) return;
  HWND hwnd = win32::AlertWindowOf(owner);
  if (hwnd == nullptr) return;
  win32::AlertState& state = **win32::StateOf(hwnd);
  state.text.assign(text.begin(), text.end());
  // Two announcements in one handler: the reader hears the last, once.
  if (!state.speakPending)
    state.speakPending = ::PostMessageW(hwnd, win32::kSpeakMessage, 0, 0) != FALSE;
}

}  // namespace gui
