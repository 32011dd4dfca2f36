// A gui::Canvas over a GDI device context, and the off-screen buffer the grid paints into.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <utility>

#include "gui/controls.h"
#include "gui/win32/handles.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

// Gives the HFONT for a font description. The font stays owned by whoever returns it
// (the font cache) and must outlive the paint.
using FontResolver = std::function<HFONT(const gui::Font&)>;

inline RECT ToRECT(const gui::Rect& rect) {
  return RECT{rect.left, rect.top, rect.Right(), rect.Bottom()};
}

// An off-screen copy of a window's client area: paint into Dc(), then CopyTo() the screen.
class OffscreenBuffer {
 public:
  OffscreenBuffer(HDC compatibleWith, int width, int height);
  bool Valid() const { return dc_.Get() != nullptr && bitmap_; }
  HDC Dc() const { return dc_.Get(); }
  void CopyTo(HDC target, const RECT& area) const;

 private:
  OwnedMemoryDc dc_;
  OwnedBitmap bitmap_;
  std::optional<ScopedSelect> selection_;  // declared last: deselected first
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
  // What a line break is drawn as in the current font: "↵" when it has it, else a blank.
  char16_t LineBreakMark();

  HDC dc_;
  FontResolver fonts_;
  int previousBkMode_;
  COLORREF previousTextColor_;
  HGDIOBJ previousFont_ = nullptr;
  bool fontSelected_ = false;
  gui::Font currentFont_;
  HFONT currentHandle_ = nullptr;
  HFONT markFont_ = nullptr;
  char16_t mark_ = u' ';
};

}  // namespace gui::win32
