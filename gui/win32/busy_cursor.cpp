// The busy pointer and the system colours of the Win32 backend.
#include "gui/application.h"
#include "gui/win32/win32_window.h"

namespace gui {

Color WindowTextColor() {
  const COLORREF c = ::GetSysColor(COLOR_WINDOWTEXT);
  return Color{GetRValue(c), GetGValue(c), GetBValue(c)};
}

void BusyCursorChanged(bool shown) {
  if (shown) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    return;
  }
  // The window under the pointer sets the pointer it wants, as after a mouse move.
  POINT at{};
  HWND under = ::GetCursorPos(&at) ? ::WindowFromPoint(at) : nullptr;
  if (under != nullptr && ::GetWindowThreadProcessId(under, nullptr) == ::GetCurrentThreadId()) {
    const LRESULT hit = ::SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
    ::SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                   MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
    return;
  }
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace gui

namespace gui::win32 {

bool ShowBusyCursorIfBusy() {
  if (!gui::BusyCursorShown()) return false;
  ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  return true;
}

}  // namespace gui::win32
