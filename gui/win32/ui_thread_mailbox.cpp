// The mailbox is a message-only window: posted work travels as a message, so that every
// message loop of the thread (the program's, a modal dialog's, a message box's) runs it.
#include "gui/ui_thread_mailbox.h"

#include "gui/win32/win32_window.h"

namespace gui {

namespace {

constexpr UINT kRunWork = WM_APP + 0x31;
const wchar_t kClassName[] = L"SoramitsuMailbox";

LRESULT CALLBACK MailboxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunWork) {
    std::unique_ptr<UiThreadMailbox::Work> work(reinterpret_cast<UiThreadMailbox::Work*>(lParam));
    if (work && *work) win32::RunGuarded(*work);
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateMailboxWindow() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MailboxProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) return nullptr;
  return ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           ::GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

struct UiThreadMailbox::Backend {
  HWND window = nullptr;
};

UiThreadMailbox::UiThreadMailbox() : backend_(std::make_shared<Backend>()) {
  backend_->window = CreateMailboxWindow();
}

UiThreadMailbox::~UiThreadMailbox() {
  // Messages still queued for the window are discarded with it (their work is dropped).
  if (backend_->window) ::DestroyWindow(backend_->window);
}

UiThreadMailbox::Poster UiThreadMailbox::GetPoster() const {
  // Only the handle travels: a window that is gone makes PostMessageW fail.
  const HWND window = backend_->window;
  return [window](Work work) {
    if (!window) return;
    auto* posted = new Work(std::move(work));
    if (!::PostMessageW(window, kRunWork, 0, reinterpret_cast<LPARAM>(posted))) delete posted;
  };
}

}  // namespace gui
