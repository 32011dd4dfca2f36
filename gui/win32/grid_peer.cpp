#include "gui/win32/grid_peer.h"

#include "gui/win32/grid_window.h"
#include "gui/win32/popup_menu.h"

namespace gui::win32 {

std::unique_ptr<gui::ControlPeer> CreateGridPeer(gui::Grid& grid, HWND parent) {
  GridWindowOptions options;  // fonts from the backend's cache
  options.openPopup = [](gui::PopupMenu& menu, HWND owner, POINT screen) {
    ShowPopupMenu(menu, owner, screen);
  };
  return std::make_unique<GridWindow>(grid, parent, std::move(options));
}

}  // namespace gui::win32
