#include "gui/accessible_text.h"

#include "core/text.h"
#include "gui/single_line_text.h"

namespace gui {

Text RowReading(const core::CellTable& table, int row) {
  Text reading;
  if (row < 0 || row >= table.RowCount()) return reading;
  for (int col = 0; col < table.ColCount(); ++col) {
    if (table.ColWidth(col) <= 0) continue;
    const Text& cell = table.Cell(col, row);
    if (cell.empty()) continue;
    if (!reading.empty()) reading += u' ';
    // The work is bounded by the limit, whatever the record's length.
    const SingleLineStart start = SingleLineStartOf(cell, u' ', kReadCellLimit);
    reading += start.shown;
    if (start.cut) reading += kReadCutMark;
  }
  return reading;
}

int RecordCount(const core::CellTable& table) {
  const int rows = table.RowCount() - 1;
  if (rows != 1) return rows > 0 ? rows : 0;
  for (int col = 0; col < table.ColCount(); ++col)
    if (!table.Cell(col, 1).empty()) return 1;
  return 0;
}

Text CountReading(int records) { return core::IntToText(records) + u"件"; }

Text ExtractReading(int found) { return core::IntToText(found) + u"件抽出しました"; }

Text CaptionReading(const Text& caption) {
  Text reading;
  for (char16_t c : caption)
    if (c != u'\u3000' && c != u'\r' && c != u'\n') reading += c;
  return reading;
}

}  // namespace gui
