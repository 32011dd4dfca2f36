#pragma once
#include <functional>
#include <memory>
#include <vector>
#include "gui/types.h"

namespace gui {

// A menu item; a caption of "-" is a separator. Items own their sub-items.
class MenuItem {
 public:
  explicit MenuItem(Text caption = {}) : caption_(std::move(caption)) {}
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const Text& Caption() const { return caption_; }
  bool IsSeparator() const { return caption_ == u"-"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // Adds a sub-item and returns it (owned by this item).
  MenuItem& Add(Text caption);
  const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }

  // The user chose the item: runs onClick only when enabled.
  void Click();
  std::function<void()> onClick;

  // Told when checked or enabled changes so a real menu can follow.
  std::function<void(MenuItem&)> onStateChanged;

 private:
  Text caption_;
  bool checked_ = false;
  bool enabled_ = true;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

// The menu bar: its top-level items are the menus.
class MainMenu : public MenuItem {};

class PopupMenu : public MenuItem {};

}  // namespace gui
