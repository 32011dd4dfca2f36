// How much of a text an edit box lays out quickly. The box takes no input while it lays out,
// and the time grows with the text's length and, when it wraps lines, with the square of
// each paragraph's length: it measures the rest of a paragraph again for every line it
// wraps. (Wine's box, which a 1-MiB text keeps busy for 2.4 s as lines of 100 characters
// and for hours as one paragraph, shows it most.)
#pragma once
#include <cstddef>
#include "gui/types.h"

namespace gui {

// The work of a code unit: 1, plus, when lines wrap, 1/kWrapSquareDivisor for each code
// unit before it in its paragraph (measured with Wine's box: 8,192 code units in one
// paragraph take 85 ms, 32,768 take 1.06 s).
inline constexpr double kWrapSquareDivisor = 1024;

// The length of the longest start of `text` whose layout work stays within `budget`
// (text.size() when all of it does). Reads no more of the text than that start.
std::size_t QuickLayoutLength(const Text& text, bool wordWrap, std::size_t budget);

}  // namespace gui
