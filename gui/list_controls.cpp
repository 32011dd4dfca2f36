#include "gui/controls.h"

namespace gui {

void ListBox::Clear() {
  items_.clear();
  selected_ = -1;
  Changed(Property::Content);
}

void ListBox::Add(Text item) {
  items_.push_back(std::move(item));
  Changed(Property::Content);
}

void ListBox::SetSelected(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  if (index == selected_) return;
  selected_ = index;
  Changed(Property::Selection);
}

void ListBox::SelectByUser(int index) {
  if (!Enabled()) return;
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  if (index != selected_) {
    selected_ = index;
    Changed(Property::Selection);
  }
  if (onSelect) onSelect();
}

void ListView::SetColumnWidth(int index, int width) {
  if (index < 0 || index >= static_cast<int>(columns_.size())) return;
  columns_[index].width = width;
  Changed(Property::Content);
}

void ListView::AddColumn(Text caption, int width) {
  columns_.push_back(Column{std::move(caption), width});
  Changed(Property::Content);
}

void ListView::ClearItems() {
  items_.clear();
  Changed(Property::Content);
}

ListView::Item& ListView::AddItem() {
  items_.emplace_back();
  Changed(Property::Content);
  return items_.back();
}

void ListView::SetItemCaption(int index, Text caption) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  items_[index].caption = std::move(caption);
  Changed(Property::Content);
}

void ListView::AddSubItem(int index, Text text) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  items_[index].subItems.push_back(std::move(text));
  Changed(Property::Content);
}

Grid::Grid(Control* parent) : Control(parent) {
  // The table tells the grid of every change so that a real window repaints.
  table_.onChanged = [this] { Changed(Property::Content); };
}

void Grid::ShowRowAtTop(int row) {
  rowAskedAtTop_ = row;
  Changed(Property::Scroll);
}

void Grid::SetAccessibleName(Text name) {
  if (name == accessibleName_) return;
  accessibleName_ = std::move(name);
  Changed(Property::AccessibleName);
}

Timer::~Timer() { peer_.reset(); }

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (peer_) peer_->EnabledChanged();
}

void Timer::Fire() {
  if (onTimer) onTimer();
}

}  // namespace gui
