#include "gui/win32/gdi_canvas.h"

#include "gui/single_line_text.h"

namespace gui::win32 {

OffscreenBuffer::OffscreenBuffer(HDC compatibleWith, int width, int height)
    : dc_(compatibleWith) {
  if (dc_.Get() == nullptr || width <= 0 || height <= 0) return;
  bitmap_.Reset(::CreateCompatibleBitmap(compatibleWith, width, height));
  if (bitmap_) selection_.emplace(dc_.Get(), bitmap_.Get());
}

void OffscreenBuffer::CopyTo(HDC target, const RECT& area) const {
  if (!Valid()) return;
  ::BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top,
           dc_.Get(), area.left, area.top, SRCCOPY);
}

GdiCanvas::GdiCanvas(HDC dc, FontResolver fonts)
    : dc_(dc),
      fonts_(std::move(fonts)),
      previousBkMode_(::SetBkMode(dc, TRANSPARENT)),
      previousTextColor_(::GetTextColor(dc)) {}

GdiCanvas::~GdiCanvas() {
  if (fontSelected_) ::SelectObject(dc_, previousFont_);
  ::SetTextColor(dc_, previousTextColor_);
  ::SetBkMode(dc_, previousBkMode_);
}

void GdiCanvas::FillRect(const gui::Rect& rect, gui::Color color) {
  if (rect.width <= 0 || rect.height <= 0) return;
  // The DC's own brush changes colour without creating a GDI object per cell.
  ::SetDCBrushColor(dc_, ToColorRef(color));
  const RECT r = ToRECT(rect);
  ::FillRect(dc_, &r, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

void GdiCanvas::UseFont(const gui::Font& font) {
  if (currentHandle_ != nullptr && font == currentFont_) return;
  HFONT handle = fonts_ ? fonts_(font) : nullptr;
  if (handle == nullptr) handle = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ previous = ::SelectObject(dc_, handle);
  if (!fontSelected_) {
    previousFont_ = previous;
    fontSelected_ = true;
  }
  currentFont_ = font;
  currentHandle_ = handle;
}

void GdiCanvas::DrawSingleLine(const gui::Text& text, const gui::Rect& rect,
                               const gui::Font& font, gui::Color color) {
  if (rect.width <= 0 || rect.height <= 0 || text.empty()) return;
  UseFont(font);
  ::SetTextColor(dc_, ToColorRef(color));
  RECT r = ToRECT(rect);
  // Only what the cell can show: a record of many megabytes draws as quickly as a short
  // one. Hardly a glyph is narrower than a pixel; twice the width leaves room for
  // surrogate pairs and combining marks, and what goes beyond is clipped anyway.
  const std::size_t limit = 2 * static_cast<std::size_t>(rect.width) + 2;
  const gui::SingleLineStart shown = gui::SingleLineStartOf(text, LineBreakMark(), limit);
  // Length -1: the text up to its end (a NUL inside it ends it, as for any C string).
  ::DrawTextW(dc_, reinterpret_cast<const wchar_t*>(shown.shown.c_str()), -1, &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// The font in the DC draws "↵" only when it has that glyph; asked once per font.
char16_t GdiCanvas::LineBreakMark() {
  if (markFont_ == currentHandle_ && markFont_ != nullptr) return mark_;
  WORD glyph = 0xFFFF;
  const wchar_t probe[] = {static_cast<wchar_t>(gui::kLineBreakMark), L'\0'};
  const bool has = ::GetGlyphIndicesW(dc_, probe, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 &&
                   glyph != 0xFFFF;
  markFont_ = currentHandle_;
  mark_ = has ? gui::kLineBreakMark : gui::kLineBreakBlank;
  return mark_;
}

}  // namespace gui::win32
