#include "gui/win32/menu_bar.h"

#include <string>

namespace gui::win32 {

namespace {

std::wstring Wide(const gui::Text& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

MenuBar::MenuBar(gui::MainMenu& menu, HWND window)
    : window_(window), menu_(::CreateMenu()), self_(std::make_shared<MenuBar*>(this)) {
  if (menu_ == nullptr) return;
  UINT position = 0;
  for (const auto& item : menu.Items()) Append(menu_, *item, position++);
  ::SetMenu(window_, menu_);
}

MenuBar::~MenuBar() {
  *self_ = nullptr;
  // A menu still attached to a window is destroyed with that window.
  if (menu_ != nullptr && window_ != nullptr && ::IsWindow(window_) && ::GetMenu(window_) == menu_) {
    ::SetMenu(window_, nullptr);
  }
  if (menu_ != nullptr) ::DestroyMenu(menu_);
}

void MenuBar::Append(HMENU target, gui::MenuItem& item, UINT position) {
  if (item.IsSeparator()) {
    ::AppendMenuW(target, MF_SEPARATOR, 0, nullptr);
    return;
  }
  const std::wstring caption = Wide(item.Caption());
  if (!item.Items().empty()) {
    HMENU sub = ::CreatePopupMenu();
    UINT subPosition = 0;
    for (const auto& child : item.Items()) Append(sub, *child, subPosition++);
    ::AppendMenuW(target, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), caption.c_str());
    places_[&item] = Place{target, position, 0};
  } else {
    const UINT id = nextId_++;
    ::AppendMenuW(target, MF_STRING, id, caption.c_str());
    items_[id] = &item;
    places_[&item] = Place{target, position, id};
  }
  Apply(item);
  Follow(item);
}

void MenuBar::Follow(gui::MenuItem& item) {
  auto previous = item.onStateChanged;
  std::weak_ptr<MenuBar*> bar = self_;
  item.onStateChanged = [previous, bar](gui::MenuItem& changed) {
    if (previous) previous(changed);
    if (auto self = bar.lock(); self && *self != nullptr) (*self)->Apply(changed);
  };
}

void MenuBar::Apply(gui::MenuItem& item) {
  auto found = places_.find(&item);
  if (found == places_.end() || menu_ == nullptr) return;
  const Place& place = found->second;
  const UINT state = (item.Checked() ? MF_CHECKED : MF_UNCHECKED);
  const UINT enabled = (item.Enabled() ? MF_ENABLED : MF_GRAYED);
  ::CheckMenuItem(place.menu, place.position, MF_BYPOSITION | state);
  ::EnableMenuItem(place.menu, place.position, MF_BYPOSITION | enabled);
  if (place.menu == menu_ && window_ != nullptr) ::DrawMenuBar(window_);
}

gui::MenuItem* MenuBar::ItemOf(UINT id) const {
  auto found = items_.find(id);
  return found != items_.end() ? found->second : nullptr;
}

}  // namespace gui::win32
