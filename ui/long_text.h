// How the board and the entry editor show a text of many megabytes (a log file or a data
// dump copied whole): only its start, with a line that says so. Everything else, the
// history, the clipboard, saving, keeps the whole text.
#pragma once
#include <cstddef>
#include "gui/controls.h"

namespace ui {

using core::Text;

// A million code units lay out in the edit box in a fraction of a second; more is shown
// only in part.
inline constexpr std::size_t kShownTextLimit = 1'048'576;

// The line shown after the start of a long text, with the whole text's length in
// characters as a person counts them: a surrogate pair and a CR LF count as one.
Text LongTextNote(const Text& whole);

// Makes `memo` show at most kShownTextLimit code units of a text, then the note.
void ShowStartOfLongTexts(gui::Memo& memo);

}  // namespace ui
