// DPI of windows and the scaling of designed coordinates. The DPI functions exist only
// on Windows 10 1607 and later, so they are looked up at run time.
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();

template <typename Fn>
Fn User32Function(const char* name) {
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

}  // namespace

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

int SystemDpi() {
  static const GetDpiForSystemFn getDpiForSystem =
      User32Function<GetDpiForSystemFn>("GetDpiForSystem");
  if (getDpiForSystem != nullptr) {
    const UINT dpi = getDpiForSystem();
    if (dpi != 0) return static_cast<int>(dpi);
  }
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDesignDpi;
}

int DpiOf(HWND hwnd) {
  static const GetDpiForWindowFn getDpiForWindow =
      User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (hwnd != nullptr && getDpiForWindow != nullptr) {
    const UINT dpi = getDpiForWindow(hwnd);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

RECT ScaleRect(const gui::Rect& designed, int dpi) {
  // Sizes that layouts compute as negative become empty windows.
  const int width = designed.width > 0 ? designed.width : 0;
  const int height = designed.height > 0 ? designed.height : 0;
  const int left = Scale(designed.left, dpi);
  const int top = Scale(designed.top, dpi);
  return RECT{left, top, left + Scale(width, dpi), top + Scale(height, dpi)};
}

gui::Rect UnscaleRect(const RECT& pixels, int dpi) {
  const int left = Unscale(pixels.left, dpi);
  const int top = Unscale(pixels.top, dpi);
  return gui::Rect{left, top, Unscale(pixels.right - pixels.left, dpi),
                   Unscale(pixels.bottom - pixels.top, dpi)};
}

}  // namespace gui::win32
