// The real menu bar of a form, built from its gui::MainMenu and following each item's
// check mark and enabled state.
#pragma once
#include <windows.h>

#include <map>
#include <memory>

#include "gui/menu.h"

namespace gui::win32 {

class MenuBar {
 public:
  MenuBar(gui::MainMenu& menu, HWND window);
  ~MenuBar();
  MenuBar(const MenuBar&) = delete;
  MenuBar& operator=(const MenuBar&) = delete;

  HMENU Handle() const { return menu_; }
  // The item of a WM_COMMAND id, or nullptr.
  gui::MenuItem* ItemOf(UINT id) const;
  // The window is going: its menu goes with it.
  void WindowDestroyed() { window_ = nullptr; menu_ = nullptr; }

 private:
  struct Place {
    HMENU menu;
    UINT position;
    UINT id;  // 0 for items that open a submenu
  };
  void Append(HMENU target, gui::MenuItem& item, UINT position);
  void Follow(gui::MenuItem& item);
  void Apply(gui::MenuItem& item);

  HWND window_;
  HMENU menu_ = nullptr;
  std::map<UINT, gui::MenuItem*> items_;
  std::map<gui::MenuItem*, Place> places_;
  UINT nextId_ = 1000;
  // Shared with the items' state hooks, which outlive the bar when the window closes.
  std::shared_ptr<MenuBar*> self_;
};

}  // namespace gui::win32
