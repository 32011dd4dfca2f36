#pragma once
#include "core/cell_table.h"
#include "platform/locale.h"

namespace core {

// Stable sort of the data rows by the text of column `sortCol`, compared by the user's
// locale with letter case ignored. The current cell keeps its numbers; no click handler.
void GridSort(CellTable& grid, int sortCol, platform::Collator& collator);

// Fields p1..p2 of `fullstr` split at `substr`, with the delimiters between them.
Text Piece(TextView fullstr, TextView substr, int p1, int p2);

// Position (from 1) of the first `substr` at or after `stapos`, or 0.
int InStr(int stapos, TextView fullstr, TextView substr);

}  // namespace core
