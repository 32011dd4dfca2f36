#include "gui/win32/form_window.h"

#include <algorithm>
#include <string>
#include <vector>

#include "gui/application.h"
#include "gui/win32/color_scheme.h"
#include "gui/win32/window_classes.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

std::vector<FormWindow*>& OpenForms() {
  static std::vector<FormWindow*> forms;
  return forms;
}

std::wstring Wide(const gui::Text& text) { return std::wstring(text.begin(), text.end()); }

// Restored positions are kept in work-area coordinates; the form's frames are in
// screen coordinates.
RECT WorkAreaToScreen(HWND hwnd, RECT r) {
  if ((::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0) return r;
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info))
    ::OffsetRect(&r, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
  return r;
}

void CollectFocusable(const gui::Control& control, std::vector<HWND>& out) {
  for (const gui::Control* child : control.Children()) {
    HWND hwnd = WindowOf(*child);
    if (hwnd != nullptr) {
      const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
      if ((style & WS_TABSTOP) != 0 && ::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd))
        out.push_back(hwnd);
    }
    CollectFocusable(*child, out);
  }
}

bool KeyHeld(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

gui::Key KeyOf(WPARAM virtualKey) {
  using gui::Key;
  const int vk = static_cast<int>(virtualKey);
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return static_cast<Key>(vk);
  if (vk >= VK_F1 && vk <= VK_F12) return static_cast<Key>(static_cast<int>(Key::F1) + vk - VK_F1);
  switch (vk) {
    case VK_RETURN: return Key::Enter;
    case VK_ESCAPE: return Key::Escape;
    case VK_TAB: return Key::Tab;
    case VK_DELETE: return Key::Delete;
    case VK_BACK: return Key::Backspace;
    case VK_HOME: return Key::Home;
    case VK_END: return Key::End;
    case VK_PRIOR: return Key::PageUp;
    case VK_NEXT: return Key::PageDown;
    case VK_LEFT: return Key::Left;
    case VK_RIGHT: return Key::Right;
    case VK_UP: return Key::Up;
    case VK_DOWN: return Key::Down;
    default: return Key::Other;
  }
}

void ApplyDpiTo(const gui::Control& control) {
  for (const gui::Control* child : control.Children()) {
    if (auto* peer = dynamic_cast<WindowPeer*>(child->Peer())) peer->ApplyDpi();
    ApplyDpiTo(*child);
  }
}

}  // namespace

FormWindow::FormWindow(gui::Form& form)
    : form_(form), container_(form, [&form] { return form.background; }) {
  EnsureCommonControls();
  // A size the program gave is handed to the window as it is, zero or below included: the
  // system's minimum window size applies then. (The frame is read before the window
  // exists: its creation reports the frame back into the form.)
  sizeFromClient_ = !form.SizeGiven();
  HWND owner = DefaultOwnerWindow();
  const RECT frame = InitialFrame(owner);
  const std::wstring caption = Wide(form.Caption());
  ::CreateWindowExW(ExStyle(), FormClassName(&FormWindow::WindowProcedure), caption.c_str(),
                    Style(), frame.left, frame.top, frame.right - frame.left,
                    frame.bottom - frame.top, owner, nullptr, Instance(), this);
  // hwnd_ is set by WM_NCCREATE.
  if (hwnd_ != nullptr) {
    OpenForms().push_back(this);
    ::EnableWindow(hwnd_, form.Enabled() ? TRUE : FALSE);
    // A window that opened on a monitor of another DPI than the system's is sized again.
    if (DpiOf(hwnd_) != SystemDpi()) {
      if (sizeFromClient_) ApplyClientSize();
      else ApplyBounds();
    }
    ReportFrame();
  }
}

FormWindow::~FormWindow() {
  if (alive_) *alive_ = false;
  auto& forms = OpenForms();
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  if (hwnd_ == nullptr) return;
  HWND hwnd = hwnd_;
  // The form is going: its window must no longer call into it.
  ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  if (menuBar_) menuBar_->WindowDestroyed();
  if (modal_ && modalOwner_ != nullptr) ::EnableWindow(modalOwner_, TRUE);
  ::DestroyWindow(hwnd);
}

FormWindow* FormWindow::FromHandle(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  auto& forms = OpenForms();
  for (FormWindow* form : forms)
    if (form->hwnd_ == hwnd) return form;
  return nullptr;
}

DWORD FormWindow::Style() const {
  DWORD style = WS_CLIPCHILDREN;
  if (form_.resizable) style |= WS_OVERLAPPEDWINDOW;
  else style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  return style;
}

DWORD FormWindow::ExStyle() const {
  DWORD style = WS_EX_CONTROLPARENT;
  if (!form_.resizable) style |= WS_EX_DLGMODALFRAME;
  return style;
}

RECT FormWindow::InitialFrame(HWND owner) const {
  const int dpi = SystemDpi();
  const gui::Rect bounds = form_.Bounds();
  RECT frame{};
  const gui::Rect client = form_.ClientSize();
  if (!sizeFromClient_) {
    frame = ScaleRect(bounds, dpi);
  } else {
    frame = ScaleRect(gui::Rect{bounds.left, bounds.top, client.width, client.height}, dpi);
    ::AdjustWindowRectEx(&frame, Style(), form_.menu != nullptr ? TRUE : FALSE, ExStyle());
    ::OffsetRect(&frame, Scale(bounds.left, dpi) - frame.left, Scale(bounds.top, dpi) - frame.top);
  }
  if (form_.centerOnScreen) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = owner != nullptr ? ::MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)
                                        : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (::GetMonitorInfoW(monitor, &info)) {
      const int width = frame.right - frame.left, height = frame.bottom - frame.top;
      const RECT& work = info.rcWork;
      frame.left = work.left + std::max(0L, ((work.right - work.left) - width) / 2);
      frame.top = work.top + std::max(0L, ((work.bottom - work.top) - height) / 2);
      frame.right = frame.left + width;
      frame.bottom = frame.top + height;
    }
  }
  return frame;
}

void FormWindow::AttachMenuAndTimers() {
  if (hwnd_ == nullptr) return;
  if (form_.menu != nullptr) {
    menuBar_ = std::make_unique<MenuBar>(*form_.menu, hwnd_);
    // The menu bar takes its height from the client area; a size given for the client
    // area keeps it.
    if (sizeFromClient_) ApplyClientSize();
  }
  for (gui::Timer* timer : form_.timers)
    if (timer != nullptr) AttachTimer(*timer, hwnd_);
  ReportFrame();
}

void FormWindow::Show() {
  if (hwnd_ == nullptr) return;
  shown_ = true;
  ::ShowWindow(hwnd_, SW_SHOW);
  ::UpdateWindow(hwnd_);
  if (::GetActiveWindow() == hwnd_) FocusFirstControl();
}

void FormWindow::ShowModal() {
  if (hwnd_ == nullptr) {
    form_.MarkClosed();
    return;
  }
  HWND owner = ::GetWindow(hwnd_, GW_OWNER);
  if (owner == nullptr) {
    for (auto it = OpenForms().rbegin(); it != OpenForms().rend(); ++it)
      if (*it != this && (*it)->hwnd_ != nullptr && ::IsWindowVisible((*it)->hwnd_)) {
        owner = (*it)->hwnd_;
        break;
      }
    if (owner != nullptr) ::SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  }
  modal_ = true;
  modalOwner_ = nullptr;
  if (owner != nullptr && ::IsWindowEnabled(owner)) {
    ::EnableWindow(owner, FALSE);
    modalOwner_ = owner;
  }
  std::shared_ptr<bool> alive = std::make_shared<bool>(true);
  alive_ = alive;
  Show();
  gui::Form& form = form_;
  RunGuarded([&form] { form.RunShowEvent(); });
  // Ticks, paints and input go on while the dialog is open.
  MSG message{};
  while (*alive && !form.IsClosed()) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got == -1) break;
    if (!PreTranslateMessage(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  if (*alive) {
    if (modalOwner_ != nullptr) ::EnableWindow(modalOwner_, TRUE);
    modalOwner_ = nullptr;
    modal_ = false;
  }
}

void FormWindow::Destroy() {
  // The owner comes back first, so that it, not another program, becomes active.
  if (modal_ && modalOwner_ != nullptr) {
    ::EnableWindow(modalOwner_, TRUE);
    if (hwnd_ != nullptr && ::GetActiveWindow() == hwnd_) ::SetActiveWindow(modalOwner_);
    modalOwner_ = nullptr;
  }
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
  // Wakes a message loop that waits for this form to close.
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

gui::Rect FormWindow::RestoredFrame() const {
  if (hwnd_ == nullptr) return form_.Bounds();
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (!::GetWindowPlacement(hwnd_, &placement)) return form_.Bounds();
  // Minimised from the maximised state, the window comes back maximised.
  if (::IsIconic(hwnd_) && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0 && hasMaximizedFrame_)
    return UnscaleRect(maximizedFrame_, DpiOf(hwnd_));
  return UnscaleRect(WorkAreaToScreen(hwnd_, placement.rcNormalPosition), DpiOf(hwnd_));
}

bool FormWindow::IsMinimized() const { return hwnd_ != nullptr && ::IsIconic(hwnd_) != FALSE; }

void FormWindow::ClientSizeChanged() {
  sizeFromClient_ = true;
  ApplyClientSize();
}

void FormWindow::ApplyClientSize() {
  if (hwnd_ == nullptr) return;
  const int dpi = DpiOf(hwnd_);
  const gui::Rect client = form_.ClientSize();
  RECT frame{0, 0, Scale(std::max(client.width, 0), dpi), Scale(std::max(client.height, 0), dpi)};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                       ::GetMenu(hwnd_) != nullptr ? TRUE : FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::ApplyBounds() {
  if (hwnd_ == nullptr) return;
  const RECT frame = ScaleRect(form_.Bounds(), DpiOf(hwnd_));
  if (::IsIconic(hwnd_) || ::IsZoomed(hwnd_)) {
    // A minimised or maximised window keeps its state; the frame applies on restore.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (::GetWindowPlacement(hwnd_, &placement)) {
      RECT normal = frame;
      if ((::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0) {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &info))
          ::OffsetRect(&normal, info.rcMonitor.left - info.rcWork.left,
                       info.rcMonitor.top - info.rcWork.top);
      }
      placement.rcNormalPosition = normal;
      ::SetWindowPlacement(hwnd_, &placement);
    }
    return;
  }
  ::SetWindowPos(hwnd_, nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::ReportFrame() {
  if (hwnd_ == nullptr) return;
  const int dpi = DpiOf(hwnd_);
  RECT window{};
  ::GetWindowRect(hwnd_, &window);
  if (::IsZoomed(hwnd_)) {
    maximizedFrame_ = window;
    hasMaximizedFrame_ = true;
  }
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  form_.ClientChangedByUser(Unscale(client.right, dpi), Unscale(client.bottom, dpi));
  form_.FrameChangedByUser(UnscaleRect(window, dpi), RestoredFrame());
}

void FormWindow::FormPropertyChanged(gui::Property property) {
  if (hwnd_ == nullptr) return;
  switch (property) {
    case gui::Property::Bounds:
      ApplyBounds();
      break;
    case gui::Property::Caption: {
      const std::wstring caption = Wide(form_.Caption());
      ::SetWindowTextW(hwnd_, caption.c_str());
      break;
    }
    case gui::Property::Enabled:
      ::EnableWindow(hwnd_, form_.Enabled() ? TRUE : FALSE);
      break;
    case gui::Property::Visible:
      if (!form_.Visible()) ::ShowWindow(hwnd_, SW_HIDE);
      else if (shown_) ::ShowWindow(hwnd_, SW_SHOW);
      break;
    default:
      ::InvalidateRect(hwnd_, nullptr, FALSE);
      break;
  }
}

void FormWindow::MoveFocus(bool forward) {
  std::vector<HWND> order;
  CollectFocusable(form_, order);
  if (order.empty()) return;
  HWND focus = ::GetFocus();
  // The focus may be inside a control (the edit part of a drop-down box).
  auto current = std::find_if(order.begin(), order.end(), [focus](HWND hwnd) {
    return hwnd == focus || ::IsChild(hwnd, focus);
  });
  std::size_t index = 0;
  if (current == order.end()) {
    index = forward ? 0 : order.size() - 1;
  } else {
    const std::size_t at = static_cast<std::size_t>(current - order.begin());
    index = forward ? (at + 1) % order.size() : (at + order.size() - 1) % order.size();
  }
  ::SetFocus(order[index]);
  if (::SendMessageW(order[index], WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    ::SendMessageW(order[index], EM_SETSEL, 0, -1);
}

void FormWindow::FocusFirstControl() {
  std::vector<HWND> order;
  CollectFocusable(form_, order);
  if (!order.empty()) ::SetFocus(order.front());
}

gui::Control* FormWindow::ControlOf(HWND hwnd) const {
  for (HWND h = hwnd; h != nullptr && h != hwnd_; h = ::GetParent(h))
    if (WindowPeer* peer = WindowPeer::FromHandle(h)) return &peer->Owner();
  return hwnd == nullptr ? nullptr : &form_;
}

bool FormWindow::PreTranslateKey(const MSG& message) {
  const bool ctrl = KeyHeld(VK_CONTROL), shift = KeyHeld(VK_SHIFT), alt = KeyHeld(VK_MENU);
  if (message.wParam == VK_TAB && !ctrl && !alt) {
    // Tab moves between controls in the order they were created; no control gets the key.
    MoveFocus(!shift);
    return true;
  }
  // A key the input method takes (VK_PROCESSKEY) or any key while it composes is its own,
  // and an open drop-down list keeps its keys (Esc closes it, Enter chooses).
  if (message.wParam == VK_PROCESSKEY || !form_.onKey || InputMethodComposing(message.hwnd))
    return false;
  gui::Control* focus = ControlOf(message.hwnd);
  if (dynamic_cast<gui::ComboBox*>(focus) != nullptr &&
      ::SendMessageW(WindowOf(*focus), CB_GETDROPPEDSTATE, 0, 0) != FALSE)
    return false;
  const gui::KeyStroke stroke{KeyOf(message.wParam), ctrl, shift, alt};
  if (stroke.key == gui::Key::Other) return false;
  bool used = false;
  gui::Form& form = form_;
  // The key may close the form: nothing of this object is touched afterwards.
  RunGuarded([&] { used = form.KeyPressed(stroke, focus); });
  return used;
}

void FormWindow::ApplyDpiToChildren() {
  ApplyDpiTo(form_);
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CALLBACK FormWindow::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<FormWindow*>(create->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self != nullptr) self->hwnd_ = hwnd;
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
  auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr || self->hwnd_ != hwnd) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  // Nothing thrown by the program's handlers may leave the window procedure.
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    gui::ReportException(error);
  } catch (...) {
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  switch (message) {
    case WM_SIZE:
    case WM_MOVE:
      RunGuarded([this] { ReportFrame(); });
      return 0;
    case WM_CLOSE: {
      gui::Form& form = form_;
      RunGuarded([&form] { form.Close(); });
      return 0;
    }
    case WM_QUERYENDSESSION: {
      BOOL answer = TRUE;
      gui::Form& form = form_;
      RunGuarded([&form, &answer] {
        if (form.onQueryEndSession) answer = form.onQueryEndSession() ? TRUE : FALSE;
      });
      return answer;
    }
    case WM_ENDSESSION:
      // The session ends: the query above already ran the exit, so it must not run again.
      // An exit that was still running when the query came (it answered at once, so as not
      // to cancel the log-off) finishes its writing in onEndSession, since the system may
      // end the process once this message has been answered.
      if (wParam != FALSE) {
        gui::Form& form = form_;
        RunGuarded([&form] {
          if (form.onEndSession) form.onEndSession();
        });
        ::ExitProcess(0);
      }
      return 0;
    case WM_TIMER:
      if (FireTimer(wParam)) return 0;
      break;
    case WM_SETCURSOR:
      // Over the frame and the menu bar too, not only over the client area.
      if (ShowBusyCursorIfBusy()) return TRUE;
      break;
    case WM_COMMAND:
      if (lParam == 0 && menuBar_) {
        if (gui::MenuItem* item = menuBar_->ItemOf(LOWORD(wParam))) {
          RunGuarded([item] { item->Click(); });
          return 0;
        }
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(hwnd, focus)) lastFocus_ = focus;
      } else if (HIWORD(wParam) == 0) {
        if (lastFocus_ != nullptr && ::IsWindow(lastFocus_) && ::IsChild(hwnd, lastFocus_) &&
            ::IsWindowVisible(lastFocus_) && ::IsWindowEnabled(lastFocus_)) {
          ::SetFocus(lastFocus_);
          return 0;
        }
      }
      break;
    case WM_SETFOCUS:
      if (lastFocus_ != nullptr && ::IsWindow(lastFocus_) && ::IsChild(hwnd, lastFocus_) &&
          ::IsWindowVisible(lastFocus_) && ::IsWindowEnabled(lastFocus_) &&
          lastFocus_ != reinterpret_cast<HWND>(wParam))
        ::SetFocus(lastFocus_);
      else
        FocusFirstControl();
      return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      // High contrast may have been switched on or off, or its colours chosen anew.
      RepaintForNewColors(hwnd, message == WM_SYSCOLORCHANGE);
      break;
    case 0x02E0: {  // WM_DPICHANGED
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(hwnd, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyDpiToChildren();
      return 0;
    }
    case WM_NCDESTROY: {
      hwnd_ = nullptr;
      if (menuBar_) menuBar_->WindowDestroyed();
      auto& forms = OpenForms();
      forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
      if (!form_.IsClosed()) form_.MarkClosed();
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    default:
      break;
  }
  LRESULT result = 0;
  if (container_.HandleMessage(hwnd, message, wParam, lParam, result)) return result;
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND DefaultOwnerWindow() {
  HWND active = ::GetActiveWindow();
  if (FormWindow::FromHandle(active) != nullptr) return active;
  auto& forms = OpenForms();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it)
    if ((*it)->Handle() != nullptr && ::IsWindowVisible((*it)->Handle()) &&
        ::IsWindowEnabled((*it)->Handle()))
      return (*it)->Handle();
  return nullptr;
}

}  // namespace gui::win32
