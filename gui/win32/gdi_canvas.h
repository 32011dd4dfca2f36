// A gui::Canvas over a GDI device context, and the owners of the GDI handles the grid's
// off-screen painting needs.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <utility>

#include "gui/controls.h"

namespace gui::win32 {

// Gives the HFONT for a font description. The font stays owned by whoever returns it
// (the font cache) and must outlive the paint.
using FontResolver = std::function<HFONT(const gui::Font&)>;

inline COLORREF ToColorRef(gui::Color color) { return RGB(color.r, color.g, color.b); }
inline RECT ToRECT(const gui::Rect& rect) {
  return RECT{rect.left, rect.top, rect.Right(), rect.Bottom()};
}

// A memory device context (CreateCompatibleDC), deleted with its owner.
class UniqueMemoryDc {
 public:
  UniqueMemoryDc() = default;
  explicit UniqueMemoryDc(HDC dc) : dc_(dc) {}
  UniqueMemoryDc(UniqueMemoryDc&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
  UniqueMemoryDc& operator=(UniqueMemoryDc&& other) noexcept {
    if (this != &other) {
      Reset();
      dc_ = std::exchange(other.dc_, nullptr);
    }
    return *this;
  }
  UniqueMemoryDc(const UniqueMemoryDc&) = delete;
  UniqueMemoryDc& operator=(const UniqueMemoryDc&) = delete;
  ~UniqueMemoryDc() { Reset(); }
  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }
  void Reset() {
    if (dc_ != nullptr) ::DeleteDC(dc_);
    dc_ = nullptr;
  }

 private:
  HDC dc_ = nullptr;
};

// A bitmap (or any other GDI object that DeleteObject frees).
class UniqueBitmap {
 public:
  UniqueBitmap() = default;
  explicit UniqueBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
  UniqueBitmap(UniqueBitmap&& other) noexcept
      : bitmap_(std::exchange(other.bitmap_, nullptr)) {}
  UniqueBitmap& operator=(UniqueBitmap&& other) noexcept {
    if (this != &other) {
      Reset();
      bitmap_ = std::exchange(other.bitmap_, nullptr);
    }
    return *this;
  }
  UniqueBitmap(const UniqueBitmap&) = delete;
  UniqueBitmap& operator=(const UniqueBitmap&) = delete;
  ~UniqueBitmap() { Reset(); }
  HBITMAP Get() const { return bitmap_; }
  explicit operator bool() const { return bitmap_ != nullptr; }
  void Reset() {
    if (bitmap_ != nullptr) ::DeleteObject(bitmap_);
    bitmap_ = nullptr;
  }

 private:
  HBITMAP bitmap_ = nullptr;
};

// Selects an object into a DC and puts the previous one back when it goes, so that the
// object can be deleted afterwards (GDI refuses to delete a selected object).
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  SelectedObject(SelectedObject&& other) noexcept
      : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
  SelectedObject& operator=(SelectedObject&&) = delete;
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (dc_ != nullptr && previous_ != nullptr && previous_ != HGDI_ERROR)
      ::SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// An off-screen copy of a window's client area: paint into Dc(), then CopyTo() the screen.
class OffscreenBuffer {
 public:
  OffscreenBuffer(HDC compatibleWith, int width, int height);
  bool Valid() const { return dc_ && bitmap_; }
  HDC Dc() const { return dc_.Get(); }
  void CopyTo(HDC target, const RECT& area) const;

 private:
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  std::optional<SelectedObject> selection_;  // declared last: deselected first
};

// Draws with solid fills and single-line text, transparent behind the text. The DC's
// font, text colour and background mode are restored when the canvas goes.
class GdiCanvas final : public gui::Canvas {
 public:
  GdiCanvas(HDC dc, FontResolver fonts);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  void FillRect(const gui::Rect& rect, gui::Color color) override;
  void DrawSingleLine(const gui::Text& text, const gui::Rect& rect, const gui::Font& font,
                      gui::Color color) override;

 private:
  void UseFont(const gui::Font& font);

  HDC dc_;
  FontResolver fonts_;
  int previousBkMode_;
  COLORREF previousTextColor_;
  HGDIOBJ previousFont_ = nullptr;
  bool fontSelected_ = false;
  gui::Font currentFont_;
  HFONT currentHandle_ = nullptr;
};

}  // namespace gui::win32
