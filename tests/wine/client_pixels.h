// What a window paints, read back pixel by pixel, and pictures of the program's resources
// in the same form, so tests can compare them exactly.
#pragma once
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

#include "gui/application.h"
#include "gui/win32/bitmap_cache.h"

namespace wine_tests {

// Pixels of a width × height area, row by row, each 0x00RRGGBB.
struct Pixels {
  int width = 0, height = 0;
  std::vector<DWORD> values;
  DWORD At(int x, int y) const {
    return values[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF;
  }
};

inline constexpr DWORD kWhitePixel = 0xFFFFFF;

// A 32-bit top-down DIB section the size of the area, selected into a memory DC.
class PixelCanvas {
 public:
  PixelCanvas(int width, int height) : width_(width), height_(height) {
    dc_ = ::CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = ::SelectObject(dc_, bitmap_);
  }
  ~PixelCanvas() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  PixelCanvas(const PixelCanvas&) = delete;
  PixelCanvas& operator=(const PixelCanvas&) = delete;

  HDC Dc() const { return dc_; }
  Pixels Read() const {
    ::GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits_);
    return {width_, height_,
            std::vector<DWORD>(first, first + static_cast<std::size_t>(width_) * height_)};
  }
  void Write(const Pixels& pixels) {
    auto* first = static_cast<DWORD*>(bits_);
    std::copy(pixels.values.begin(), pixels.values.end(), first);
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

// The client area as the window paints it (background, then its own drawing; child
// windows are not included).
inline Pixels PaintedClient(HWND hwnd) {
  RECT client{};
  ::GetClientRect(hwnd, &client);
  PixelCanvas canvas(client.right, client.bottom);
  ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()),
                 PRF_CLIENT | PRF_ERASEBKGND);
  return canvas.Read();
}

// A picture of the program's resources at its natural size.
inline Pixels ResourcePicture(const gui::Text& name) {
  const gui::win32::LoadedBitmap* picture = gui::win32::BitmapResource(name);
  if (picture == nullptr) return {};
  PixelCanvas canvas(picture->width, picture->height);
  HDC source = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(source, picture->bitmap.Get());
  ::BitBlt(canvas.Dc(), 0, 0, picture->width, picture->height, source, 0, 0, SRCCOPY);
  ::SelectObject(source, old);
  ::DeleteDC(source);
  return canvas.Read();
}

// Pumps messages until the condition holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    gui::ProcessMessages();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

}  // namespace wine_tests
