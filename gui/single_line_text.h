// How a text with line breaks is shown on one line (a table cell, a row's name): every
// break, CR LF, a lone CR or a lone LF, becomes one mark, so that no font draws its
// missing-glyph boxes for the control characters. The text itself is never changed; only
// what is drawn or read.
#pragma once
#include <cstddef>
#include "gui/types.h"

namespace gui {

// The mark drawn for a line break when the font has it: "↵" (U+21B5).
inline constexpr char16_t kLineBreakMark = u'\u21B5';
// Otherwise a blank, which every font has.
inline constexpr char16_t kLineBreakBlank = u' ';

Text SingleLineText(const Text& text, char16_t breakMark);

// The start of a text on one line: at most `limit` code units of it (cut where
// core::CutLength allows), each line break as `breakMark`. Whatever the text's length, the
// work is bounded by the limit, so a record of many megabytes draws and reads as quickly as
// a short one.
struct SingleLineStart {
  Text shown;
  bool cut = false;  // the text goes on beyond what `shown` holds
};
SingleLineStart SingleLineStartOf(const Text& text, char16_t breakMark, std::size_t limit);

}  // namespace gui
