#include "gui/win32/popup_menu.h"

#include <map>
#include <string>

#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

// The menu is built afresh at each opening, so it always shows the items' current state.
class PopupBuilder {
 public:
  HMENU Build(gui::MenuItem& parent) {
    HMENU menu = ::CreatePopupMenu();
    if (menu == nullptr) return nullptr;
    for (const auto& child : parent.Items()) {
      gui::MenuItem& item = *child;
      if (item.IsSeparator()) {
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      const std::wstring caption(item.Caption().begin(), item.Caption().end());
      UINT flags = MF_STRING | (item.Checked() ? MF_CHECKED : 0) | (item.Enabled() ? 0 : MF_GRAYED);
      if (!item.Items().empty()) {
        HMENU sub = Build(item);
        ::AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), caption.c_str());
      } else {
        const UINT id = nextId_++;
        items_[id] = &item;
        ::AppendMenuW(menu, flags, id, caption.c_str());
      }
    }
    return menu;
  }
  gui::MenuItem* ItemOf(UINT id) const {
    auto found = items_.find(id);
    return found != items_.end() ? found->second : nullptr;
  }

 private:
  std::map<UINT, gui::MenuItem*> items_;
  UINT nextId_ = 1;
};

}  // namespace

void ShowPopupMenu(gui::PopupMenu& menu, HWND owner, POINT screen) {
  PopupBuilder builder;
  HMENU handle = builder.Build(menu);
  if (handle == nullptr) return;
  // Without the foreground the menu would not close when the user clicks elsewhere.
  HWND root = owner != nullptr ? ::GetAncestor(owner, GA_ROOT) : nullptr;
  if (root != nullptr) ::SetForegroundWindow(root);
  const UINT id = static_cast<UINT>(::TrackPopupMenuEx(
      handle, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY,
      screen.x, screen.y, root != nullptr ? root : owner, nullptr));
  if (root != nullptr) ::PostMessageW(root, WM_NULL, 0, 0);
  ::DestroyMenu(handle);
  if (gui::MenuItem* item = builder.ItemOf(id)) RunGuarded([item] { item->Click(); });
}

}  // namespace gui::win32
