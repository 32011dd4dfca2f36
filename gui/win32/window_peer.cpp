#include <windows.h>

#include <commctrl.h>

#include "gui/application.h"
#include "gui/form.h"
#include "gui/win32/accessible_name.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

constexpr wchar_t kPeerProperty[] = L"Soramitsu.WindowPeer";
constexpr UINT_PTR kSubclassId = 0x534D;  // any constant: one subclass per window

}  // namespace

WindowPeer::WindowPeer(gui::Control& control) : control_(control) {}

WindowPeer::~WindowPeer() {
  HWND hwnd = hwnd_;
  if (hwnd == nullptr) return;
  Detach();
  ::DestroyWindow(hwnd);
}

WindowPeer* WindowPeer::FromHandle(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  return static_cast<WindowPeer*>(::GetPropW(hwnd, kPeerProperty));
}

HWND WindowPeer::CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent,
                             const wchar_t* text) {
  const RECT r = PixelBoundsAt(DpiOf(parent));
  HWND hwnd = ::CreateWindowExW(exStyle, className, text,
                                (style | WS_CHILD | WS_CLIPSIBLINGS) & ~WS_VISIBLE, r.left,
                                r.top, r.right - r.left, r.bottom - r.top + ExtraPixelHeight(),
                                parent, nullptr, Instance(), nullptr);
  if (hwnd != nullptr) AttachWindow(hwnd);
  return hwnd;
}

void WindowPeer::AttachWindow(HWND hwnd) {
  hwnd_ = hwnd;
  ::SetPropW(hwnd, kPeerProperty, this);
  ::SetWindowSubclass(hwnd, &WindowPeer::SubclassProc, kSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
  if (UsesFont()) ApplyFont();
  ApplyBounds();
  ::EnableWindow(hwnd, control_.Enabled() ? TRUE : FALSE);
  // Among siblings a control created later lies above the ones created before it.
  ::SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (control_.Visible()) ::ShowWindow(hwnd, SW_SHOWNA);
}

void WindowPeer::Detach() {
  if (hwnd_ == nullptr) return;
  ::RemoveWindowSubclass(hwnd_, &WindowPeer::SubclassProc, kSubclassId);
  ::RemovePropW(hwnd_, kPeerProperty);
  hwnd_ = nullptr;
}

RECT WindowPeer::PixelBounds() const {
  HWND parent = hwnd_ != nullptr ? ::GetParent(hwnd_) : nullptr;
  return PixelBoundsAt(parent != nullptr ? DpiOf(parent) : Dpi());
}

RECT WindowPeer::PixelBoundsAt(int dpi) const {
  int offsetX = 0, offsetY = 0;
  WindowedAncestor(control_, offsetX, offsetY);
  gui::Rect designed = control_.Bounds();
  designed.left += offsetX;
  designed.top += offsetY;
  return ScaleRect(designed, dpi);
}

void WindowPeer::ApplyBounds() {
  if (hwnd_ == nullptr) return;
  const RECT r = PixelBounds();
  ::SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left,
                 r.bottom - r.top + ExtraPixelHeight(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void WindowPeer::ApplyFont() {
  if (hwnd_ == nullptr) return;
  ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control_.GetFont(), Dpi())),
                 TRUE);
}

bool WindowPeer::HasFocus() const {
  HWND focus = ::GetFocus();
  return focus != nullptr && (focus == hwnd_ || ::IsChild(hwnd_, focus));
}

void WindowPeer::HandFocusOn() {
  // A hidden or disabled window keeps no focus: the form gives it to another control.
  HWND root = ::GetAncestor(hwnd_, GA_ROOT);
  if (root != nullptr) ::SetFocus(root);
}

void WindowPeer::ApplyDpi() {
  if (UsesFont()) ApplyFont();
  ApplyBounds();
}

void WindowPeer::PropertyChanged(gui::Property property) {
  if (hwnd_ != nullptr) {
    switch (property) {
      case gui::Property::Bounds:
        ApplyBounds();
        break;
      case gui::Property::Visible: {
        const bool hadFocus = !control_.Visible() && HasFocus();
        ::ShowWindow(hwnd_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
        if (hadFocus) HandFocusOn();
        break;
      }
      case gui::Property::Enabled: {
        const bool hadFocus = !control_.Enabled() && HasFocus();
        ::EnableWindow(hwnd_, control_.Enabled() ? TRUE : FALSE);
        ::InvalidateRect(hwnd_, nullptr, TRUE);
        if (hadFocus) HandFocusOn();
        break;
      }
      case gui::Property::Font:
        if (UsesFont()) ApplyFont();
        break;
      case gui::Property::Focus:
        if (::IsWindowVisible(hwnd_) && ::IsWindowEnabled(hwnd_)) ::SetFocus(hwnd_);
        break;
      case gui::Property::AccessibleName:
        ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
        break;
      default:
        break;
    }
  }
  OnPropertyChanged(property);
}

LRESULT CALLBACK WindowPeer::SubclassProc(HWND hwnd, UINT message, WPARAM wParam,
                                          LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* peer = reinterpret_cast<WindowPeer*>(data);
  if (message == WM_NCDESTROY) {
    // The system destroys child windows with their parent: forget the handle.
    if (peer != nullptr && peer->hwnd_ == hwnd) peer->Detach();
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
  }
  if (message == WM_SETCURSOR && ShowBusyCursorIfBusy()) return TRUE;
  if (message == WM_SETFOCUS && peer != nullptr && peer->hwnd_ == hwnd) {
    const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
    try {
      peer->OnFocusReceived();
    } catch (...) {
      // The input method is a convenience: the focus itself has arrived.
    }
    return result;
  }
  if (peer != nullptr && peer->hwnd_ == hwnd) {
    bool handled = false;
    LRESULT result = 0;
    try {
      result = peer->OnMessage(message, wParam, lParam, handled);
    } catch (const std::exception& error) {
      gui::ReportException(error);
      handled = false;
    } catch (...) {
      handled = false;
    }
    if (handled) return result;
    // A control the peer does not serve itself is Windows' own object, with its name.
    if (message == WM_GETOBJECT &&
        AnswerNamedObject(hwnd, wParam, lParam, peer->control_.AccessibleName(), result))
      return result;
  }
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

HWND WindowOf(const gui::Control& control) {
  if (auto* form = dynamic_cast<const gui::Form*>(&control))
    return static_cast<HWND>(form->NativeHandle());
  if (auto* peer = dynamic_cast<WindowPeer*>(control.Peer())) return peer->Handle();
  return nullptr;
}

const gui::Control* WindowedAncestor(const gui::Control& control, int& offsetX, int& offsetY) {
  offsetX = 0;
  offsetY = 0;
  const gui::Control* parent = control.Parent();
  while (parent != nullptr) {
    if (dynamic_cast<const gui::Form*>(parent) != nullptr ||
        dynamic_cast<WindowPeer*>(parent->Peer()) != nullptr)
      return parent;
    offsetX += parent->Left();
    offsetY += parent->Top();
    parent = parent->Parent();
  }
  return nullptr;
}

}  // namespace gui::win32
