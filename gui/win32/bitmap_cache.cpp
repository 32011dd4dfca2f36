#include "gui/win32/bitmap_cache.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

namespace gui::win32 {

namespace {

// Icons are stored with straight alpha; AlphaBlend wants it premultiplied. A 32-bit
// picture whose alpha is zero everywhere has none and is drawn opaque.
bool PremultiplyAlpha(HBITMAP bitmap) {
  DIBSECTION section{};
  if (::GetObjectW(bitmap, sizeof(section), &section) != sizeof(section)) return false;
  if (section.dsBm.bmBitsPixel != 32 || section.dsBm.bmBits == nullptr) return false;
  auto* pixels = static_cast<BYTE*>(section.dsBm.bmBits);
  const long count = static_cast<long>(section.dsBm.bmWidth) * std::labs(section.dsBm.bmHeight);
  bool anyAlpha = false;
  for (long i = 0; i < count; ++i)
    if (pixels[i * 4 + 3] != 0) {
      anyAlpha = true;
      break;
    }
  if (!anyAlpha) return false;
  for (long i = 0; i < count; ++i) {
    BYTE* p = pixels + i * 4;
    const unsigned a = p[3];
    p[0] = static_cast<BYTE>((p[0] * a + 127) / 255);
    p[1] = static_cast<BYTE>((p[1] * a + 127) / 255);
    p[2] = static_cast<BYTE>((p[2] * a + 127) / 255);
  }
  ::GdiFlush();
  return true;
}

std::unique_ptr<LoadedBitmap> Load(const gui::Text& name) {
  const std::wstring wide(name.begin(), name.end());
  HANDLE handle = ::LoadImageW(::GetModuleHandleW(nullptr), wide.c_str(), IMAGE_BITMAP, 0, 0,
                               LR_CREATEDIBSECTION);
  if (handle == nullptr) return nullptr;
  auto picture = std::make_unique<LoadedBitmap>();
  picture->bitmap.Reset(static_cast<HBITMAP>(handle));
  BITMAP info{};
  ::GetObjectW(picture->bitmap.Get(), sizeof(info), &info);
  picture->width = info.bmWidth;
  picture->height = std::abs(info.bmHeight);
  picture->alpha = PremultiplyAlpha(picture->bitmap.Get());
  return picture;
}

void Blit(HDC dc, const LoadedBitmap& picture, const RECT& d, BYTE opacity) {
  OwnedMemoryDc source(dc);
  if (source.Get() == nullptr) return;
  ScopedSelect selected(source.Get(), picture.bitmap.Get());
  const int width = d.right - d.left;
  const int height = d.bottom - d.top;
  if (picture.alpha || opacity != 255) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity,
                        static_cast<BYTE>(picture.alpha ? AC_SRC_ALPHA : 0)};
    ::AlphaBlend(dc, d.left, d.top, width, height, source.Get(), 0, 0, picture.width,
                 picture.height, blend);
  } else if (width == picture.width && height == picture.height) {
    ::BitBlt(dc, d.left, d.top, width, height, source.Get(), 0, 0, SRCCOPY);
  } else {
    const int previous = ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, d.left, d.top, width, height, source.Get(), 0, 0, picture.width,
                 picture.height, SRCCOPY);
    ::SetStretchBltMode(dc, previous);
  }
}

}  // namespace

const LoadedBitmap* BitmapResource(const gui::Text& name) {
  static std::map<gui::Text, std::unique_ptr<LoadedBitmap>> cache;
  if (name.empty()) return nullptr;
  auto found = cache.find(name);
  if (found == cache.end()) found = cache.emplace(name, Load(name)).first;
  return found->second.get();
}

void DrawBitmap(HDC dc, const LoadedBitmap& picture, const RECT& destination) {
  Blit(dc, picture, destination, 255);
}

void DrawBitmapTransparent(HDC dc, const LoadedBitmap& picture, const RECT& destination) {
  if (picture.alpha) {
    Blit(dc, picture, destination, 255);
    return;
  }
  OwnedMemoryDc source(dc);
  if (source.Get() == nullptr) return;
  ScopedSelect selected(source.Get(), picture.bitmap.Get());
  const COLORREF background = ::GetPixel(source.Get(), 0, picture.height - 1);
  ::TransparentBlt(dc, destination.left, destination.top, destination.right - destination.left,
                   destination.bottom - destination.top, source.Get(), 0, 0, picture.width,
                   picture.height, background);
}

void DrawBitmapFaded(HDC dc, const LoadedBitmap& picture, const RECT& destination,
                     BYTE opacity) {
  Blit(dc, picture, destination, opacity);
}

}  // namespace gui::win32
