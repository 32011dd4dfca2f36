// How a text with line breaks is shown on one line (a table cell): every break, CR LF, a
// lone CR or a lone LF, becomes one mark, so that no font draws its missing-glyph boxes
// for the control characters. The text itself is never changed; only what is drawn.
#pragma once
#include "gui/types.h"

namespace gui {

// The mark drawn for a line break when the font has it: "↵" (U+21B5).
inline constexpr char16_t kLineBreakMark = u'\u21B5';
// Otherwise a blank, which every font has.
inline constexpr char16_t kLineBreakBlank = u' ';

Text SingleLineText(const Text& text, char16_t breakMark);

}  // namespace gui
