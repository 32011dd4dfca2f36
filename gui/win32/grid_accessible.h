// The screen-reader object of a grid's window: a table named by the grid's accessible
// name, whose children are its rows (the header row first), each read as its shown cells.
#pragma once
#include <windows.h>

#include <oleacc.h>

#include <memory>

#include "platform/win32/com.h"

namespace gui::win32 {

class GridWindow;

// Row r of the table is child r + 1 (child 0 is the table itself).
inline long RowChildId(int row) { return row + 1; }

// The object keeps only the grid's shared flag, which the grid clears when it goes.
platform::win32::ComPtr<IAccessible> CreateGridAccessible(std::shared_ptr<GridWindow*> grid);

}  // namespace gui::win32
