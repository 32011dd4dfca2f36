// The screen-reader object of a grid's window: a list named by the grid's accessible name
// and described by its header row, whose items are its records, each read as its shown
// cells. Readers count the items ("2/20") from their ids, so an item's id is its record's
// number, which is its row number; the header row and the empty row of a table without
// records are not items.
#pragma once
#include <windows.h>

#include <oleacc.h>

#include <memory>

#include "core/cell_table.h"
#include "platform/win32/com.h"

namespace gui::win32 {

class GridWindow;

// The child id of a row: the row number for a record, 0 (none) for any other row.
long RecordChildId(const core::CellTable& table, int row);

// The object keeps only the grid's shared flag, which the grid clears when it goes.
platform::win32::ComPtr<IAccessible> CreateGridAccessible(std::shared_ptr<GridWindow*> grid);

}  // namespace gui::win32
