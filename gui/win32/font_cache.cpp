// Fonts and brushes are created once per value and live for the whole run, so that a
// peer or a paint can hold their handles without owning them.
#include <algorithm>
#include <map>
#include <tuple>

#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

using FontKey = std::tuple<std::u16string, int, bool, bool, int>;

std::map<FontKey, OwnedFont>& Fonts() {
  static std::map<FontKey, OwnedFont> fonts;
  return fonts;
}

std::map<COLORREF, OwnedBrush>& Brushes() {
  static std::map<COLORREF, OwnedBrush> brushes;
  return brushes;
}

int LogicalHeight(const gui::Font& font, int dpi) {
  if (font.points) return -::MulDiv(font.height, dpi, 72);
  return -Scale(font.height, dpi);
}

}  // namespace

HFONT FontFor(const gui::Font& font, int dpi) {
  const FontKey key{font.face, font.height, font.points, font.japaneseCharset, dpi};
  auto& fonts = Fonts();
  auto found = fonts.find(key);
  if (found != fonts.end()) return found->second.Get();

  LOGFONTW description{};
  description.lfHeight = LogicalHeight(font, dpi);
  description.lfWeight = FW_NORMAL;
  description.lfCharSet = font.japaneseCharset ? SHIFTJIS_CHARSET : DEFAULT_CHARSET;
  description.lfOutPrecision = OUT_DEFAULT_PRECIS;
  description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  description.lfQuality = DEFAULT_QUALITY;
  description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::size_t length = std::min<std::size_t>(font.face.size(), LF_FACESIZE - 1);
  for (std::size_t i = 0; i < length; ++i) description.lfFaceName[i] = font.face[i];
  description.lfFaceName[length] = L'\0';

  HFONT handle = ::CreateFontIndirectW(&description);
  if (handle == nullptr) handle = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  else fonts.emplace(key, OwnedFont(handle));
  return handle;
}

HBRUSH BrushFor(gui::Color color) {
  const COLORREF value = ToColorRef(color);
  auto& brushes = Brushes();
  auto found = brushes.find(value);
  if (found != brushes.end()) return found->second.Get();
  HBRUSH brush = ::CreateSolidBrush(value);
  if (brush == nullptr) return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  brushes.emplace(value, OwnedBrush(brush));
  return brush;
}

}  // namespace gui::win32
