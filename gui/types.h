#pragma once
#include <cstdint>
#include "core/text.h"

namespace gui {

using core::Text;

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool operator==(const Rect&) const = default;
};

struct Color {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Color&) const = default;
};
inline constexpr Color kWhite{255, 255, 255};
inline constexpr Color kBlack{0, 0, 0};

// Font sizes are character heights in pixels unless `points` is set.
struct Font {
  Text face = u"Tahoma";
  int height = 11;
  bool points = false;   // height is in points (converted with the screen's DPI)
  bool japaneseCharset = false;
  bool operator==(const Font&) const = default;
};

// How a text box sets the input method when it gets the focus. Hiragana opens it in
// native, full-width conversion, so that Japanese is typed at once; on a system without
// such an input method nothing changes.
enum class ImeMode { Default, Hiragana };

}  // namespace gui
