// What a screen reader reads for the controls the program draws itself. Kept apart from
// the windowing layer, so that the wording follows the forms' texts the same way everywhere.
#pragma once
#include <cstddef>

#include "core/cell_table.h"
#include "gui/types.h"

namespace gui {

// How much of one cell a reader is given: a row is read at every arrow key, so a record of
// many pages is read by its start (the shared cut of gui::SingleLineStartOf), then "…".
inline constexpr std::size_t kReadCellLimit = 200;
inline constexpr char16_t kReadCutMark[] = u"…";

// A data or header row as a sighted user reads it: the cells of the shown columns (width
// above 0) in column order, each line break read as a blank, empty cells passed over,
// separated by one blank; a cell longer than kReadCellLimit is read by its start and "…".
// Hidden key columns are never read. A history row thus reads its text, then its stamp.
Text RowReading(const core::CellTable& table, int row);

// The records a table shows: its data rows, except the one empty row that stands in a
// table without records.
int RecordCount(const core::CellTable& table);

// What the program says of a table it has just shown: "20件", and after a search that
// found something "3件抽出しました" (half-width digits).
Text CountReading(int records);
Text ExtractReading(int found);

// A caption laid out for the eye ("履　歴", "最近保存\r\nした順") as one word: ideographic
// spaces and line breaks are left out.
Text CaptionReading(const Text& caption);

}  // namespace gui
