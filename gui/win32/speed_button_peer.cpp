// A flat picture button: no frame until the pointer rests on it, a sunken frame while
// pressed, its tool tip after a moment over it. A disabled button shows a faded picture.
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "gui/form.h"
#include "gui/keys.h"
#include "gui/win32/accessible_object.h"
#include "gui/win32/bitmap_cache.h"
#include "gui/win32/color_scheme.h"
#include "gui/win32/container_accessible.h"
#include "gui/win32/peers.h"
#include "gui/win32/window_classes.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

gui::Color ColorBeneath(const gui::Control& control) {
  int dx = 0, dy = 0;
  const gui::Control* container = WindowedAncestor(control, dx, dy);
  if (container == nullptr) return gui::kWhite;
  auto* form = dynamic_cast<const gui::Form*>(container);
  const gui::Color designed = form != nullptr ? form->background : container->GetColor();
  return ContainerBackground(*container, designed);
}

class SpeedButtonPeer : public WindowPeer {
 public:
  SpeedButtonPeer(gui::SpeedButton& button, HWND parent)
      : WindowPeer(button),
        button_(button),
        link_(std::make_shared<AccessibleLink>(AccessibleLink{&button})) {
    if (CreateChild(ButtonClassName(), 0, 0, parent) == nullptr) return;
    CreateToolTip(parent);
  }
  // A reader's object of the button may live on; it then finds nothing to read.
  ~SpeedButtonPeer() override { link_->control = nullptr; }

 protected:
  void OnPropertyChanged(gui::Property property) override {
    if (Handle() == nullptr) return;
    if (property == gui::Property::Enabled) {
      hover_ = false;
      pressed_ = false;
      NotifyClientEvent(Handle(), EVENT_OBJECT_STATECHANGE, CHILDID_SELF);
    }
    UpdateToolTip();
    ::InvalidateRect(Handle(), nullptr, FALSE);
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
    HWND hwnd = Handle();
    handled = true;
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = ::BeginPaint(hwnd, &ps);
        if (dc != nullptr) Paint(dc);
        ::EndPaint(hwnd, &ps);
        return 0;
      }
      case WM_MOUSEMOVE:
        if (!hover_) {
          hover_ = true;
          TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
          ::TrackMouseEvent(&track);
          ::InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
      case WM_MOUSELEAVE:
        hover_ = false;
        ::InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        pressed_ = true;
        ::SetCapture(hwnd);
        ::InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
      case WM_LBUTTONUP: {
        const bool wasPressed = pressed_;
        pressed_ = false;
        if (::GetCapture() == hwnd) ::ReleaseCapture();
        ::InvalidateRect(hwnd, nullptr, FALSE);
        RECT client{};
        ::GetClientRect(hwnd, &client);
        const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (wasPressed && ::PtInRect(&client, at)) {
          gui::SpeedButton* button = &button_;
          RunGuarded([button] { button->Click(); });
        }
        return 0;
      }
      case WM_CAPTURECHANGED:
        pressed_ = false;
        ::InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
      case WM_GETOBJECT: {
        if (!accessible_) accessible_ = CreateSpeedButtonAccessible(link_);
        const LRESULT answer = AnswerGetObject(wParam, lParam, accessible_.get());
        handled = answer != 0;
        return answer;
      }
      case kAccessibleClickMessage:
        RunAccessibleClick(button_, lParam);
        return 0;
      default:
        handled = false;
        (void)wParam;
        return 0;
    }
  }

 private:
  void Paint(HDC target) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return;
    OwnedMemoryDc buffer(target);
    OwnedBitmap bitmap(::CreateCompatibleBitmap(target, width, height));
    if (buffer.Get() == nullptr || !bitmap) return;
    ScopedSelect selection(buffer.Get(), bitmap.Get());
    HDC dc = buffer.Get();
    ::FillRect(dc, &client, BrushFor(ColorBeneath(button_)));

    const bool enabled = button_.EnabledWithParents();
    const bool down = enabled && pressed_ && hover_;
    const int dpi = Dpi();
    if (const LoadedBitmap* glyph = BitmapResource(button_.resourceName)) {
      const int w = Scale(glyph->width, dpi), h = Scale(glyph->height, dpi);
      const int shift = down ? 1 : 0;
      RECT to{(width - w) / 2 + shift, (height - h) / 2 + shift, 0, 0};
      to.right = to.left + w;
      to.bottom = to.top + h;
      if (enabled) DrawBitmap(dc, *glyph, to);
      else DrawBitmapFaded(dc, *glyph, to, 96);
    } else if (!button_.Caption().empty()) {
      const std::wstring caption(button_.Caption().begin(), button_.Caption().end());
      ScopedSelect font(dc, FontFor(button_.GetFont(), dpi));
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, ::GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
      RECT text = client;
      if (down) ::OffsetRect(&text, 1, 1);
      ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (enabled && (hover_ || pressed_)) {
      RECT edge = client;
      ::DrawEdge(dc, &edge, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    ::BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  }

  void CreateToolTip(HWND parent) {
    HWND root = ::GetAncestor(parent, GA_ROOT);
    tip_.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, root, nullptr,
                                 Instance(), nullptr));
    if (tip_.Get() == nullptr) return;
    tipText_ = TipText();
    TTTOOLINFOW tool = ToolInfo();
    ::SendMessageW(tip_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tip_.Get(), TTM_ACTIVATE, tipText_.empty() ? FALSE : TRUE, 0);
  }

  void UpdateToolTip() {
    if (tip_.Get() == nullptr) return;
    const std::wstring text = TipText();
    if (text == tipText_) return;
    tipText_ = text;
    TTTOOLINFOW tool = ToolInfo();
    ::SendMessageW(tip_.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tip_.Get(), TTM_ACTIVATE, tipText_.empty() ? FALSE : TRUE, 0);
  }

  // The hint, and the key that presses the button: "履歴の検索 (Enter)".
  std::wstring TipText() const {
    if (button_.hint.empty()) return {};
    const gui::Text text = gui::WithKeyboardShortcut(button_.hint, button_.KeyboardShortcut());
    return std::wstring(text.begin(), text.end());
  }

  TTTOOLINFOW ToolInfo() {
    TTTOOLINFOW tool{};
    // The older structure size: accepted by every version of the common controls.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = ::GetParent(Handle());
    tool.uId = reinterpret_cast<UINT_PTR>(Handle());
    tool.lpszText = tipText_.data();
    return tool;
  }

  gui::SpeedButton& button_;
  std::shared_ptr<AccessibleLink> link_;
  platform::win32::ComPtr<IAccessible> accessible_;  // made at the first reader's request
  OwnedWindow tip_;
  std::wstring tipText_;
  bool hover_ = false;
  bool pressed_ = false;
};

}  // namespace

std::unique_ptr<gui::ControlPeer> CreateSpeedButtonPeer(gui::SpeedButton& button, HWND parent) {
  return std::make_unique<SpeedButtonPeer>(button, parent);
}

}  // namespace gui::win32
