// What a screen reader reads for the controls the program draws itself. Kept apart from
// the windowing layer, so that the wording follows the forms' texts the same way everywhere.
#pragma once
#include "core/cell_table.h"
#include "gui/types.h"

namespace gui {

// A data or header row as a sighted user reads it: the cells of the shown columns (width
// above 0) in column order, each line break read as a blank, empty cells passed over,
// separated by one blank. Hidden key columns are never read.
Text RowReading(const core::CellTable& table, int row);

// A caption laid out for the eye ("履　歴", "最近保存\r\nした順") as one word: ideographic
// spaces and line breaks are left out.
Text CaptionReading(const Text& caption);

}  // namespace gui
