#include "gui/menu.h"

namespace gui {

void MenuItem::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (onStateChanged) onStateChanged(*this);
}

void MenuItem::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (onStateChanged) onStateChanged(*this);
}

MenuItem& MenuItem::Add(Text caption) {
  items_.push_back(std::make_unique<MenuItem>(std::move(caption)));
  return *items_.back();
}

void MenuItem::Click() {
  if (!enabled_ || IsSeparator()) return;
  if (onClick) onClick();
}

}  // namespace gui
