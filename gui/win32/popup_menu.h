// Opens a popup menu at a point of the screen and runs the chosen item's click.
#pragma once
#include <windows.h>

#include "gui/menu.h"

namespace gui::win32 {

// Returns once the menu has closed (and the chosen item's handler, guarded, has run).
void ShowPopupMenu(gui::PopupMenu& menu, HWND owner, POINT screen);

}  // namespace gui::win32

namespace gui {
using win32::ShowPopupMenu;
}  // namespace gui
