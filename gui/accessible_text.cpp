#include "gui/accessible_text.h"

namespace gui {

Text RowReading(const core::CellTable& table, int row) {
  Text reading;
  if (row < 0 || row >= table.RowCount()) return reading;
  for (int col = 0; col < table.ColCount(); ++col) {
    if (table.ColWidth(col) <= 0) continue;
    const Text& cell = table.Cell(col, row);
    if (cell.empty()) continue;
    if (!reading.empty()) reading += u' ';
    for (std::size_t i = 0; i < cell.size(); ++i) {
      const char16_t c = cell[i];
      if (c == u'\r' || c == u'\n') {
        // CR LF is one line break, read as one blank.
        if (c == u'\r' && i + 1 < cell.size() && cell[i + 1] == u'\n') ++i;
        reading += u' ';
      } else {
        reading += c;
      }
    }
  }
  return reading;
}

Text CaptionReading(const Text& caption) {
  Text reading;
  for (char16_t c : caption)
    if (c != u'\u3000' && c != u'\r' && c != u'\n') reading += c;
  return reading;
}

}  // namespace gui
