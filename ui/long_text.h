// How the board and the entry editor show a text of many megabytes (a log file or a data
// dump copied whole): only its start, with a line that says so. Everything else, the
// history, the clipboard, saving, keeps the whole text.
#pragma once
#include <cstddef>
#include "gui/controls.h"

namespace ui {

using core::Text;

// The layout work a text may need to be shown whole (gui/quick_layout.h): 131,072 code
// units in lines of ordinary length, or one paragraph of about 15,000 in the board, which
// wraps. Wine's edit box lays either out in about 0.3 s.
inline constexpr std::size_t kLayoutBudget = 131'072;

// The line shown after the start of a long text, with the whole text's length in
// characters as a person counts them: a surrogate pair and a CR LF count as one.
Text LongTextNote(const Text& whole);

// Makes `memo` show only the start of a text whose layout would need more than
// kLayoutBudget, then the note.
void ShowStartOfLongTexts(gui::Memo& memo);

}  // namespace ui
