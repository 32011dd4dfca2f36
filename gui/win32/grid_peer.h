// Creates the real window of a gui::Grid; the Win32 backend's Realize calls it for every
// grid. The peer follows the control's properties and repaints on every table change.
#pragma once
#include <windows.h>

#include <memory>

#include "gui/control.h"
#include "gui/controls.h"

namespace gui::win32 {

std::unique_ptr<gui::ControlPeer> CreateGridPeer(gui::Grid& grid, HWND parent);

}  // namespace gui::win32
