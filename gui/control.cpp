#include "gui/control.h"

#include <algorithm>

namespace gui {

Control::Control(Control* parent) : parent_(parent) {
  if (parent_ != nullptr) parent_->children_.push_back(this);
}

Control::~Control() {
  // The peer goes first: a real window must be destroyed while its parent still exists.
  peer_.reset();
  for (Control* child : children_) child->parent_ = nullptr;
  if (parent_ != nullptr) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

void Control::SetBounds(Rect bounds) {
  SizeRequested();
  MoveTo(bounds);
}

void Control::MoveTo(Rect bounds) {
  if (bounds == bounds_) return;
  const Rect previous = bounds_;
  bounds_ = bounds;
  BoundsSet(previous);
  Changed(Property::Bounds);
}

void Control::StoreBounds(Rect bounds) {
  if (bounds == bounds_) return;
  const Rect previous = bounds_;
  bounds_ = bounds;
  BoundsSet(previous);
}

void Control::SetLeft(int v) {
  Rect r = bounds_;
  r.left = v;
  MoveTo(r);
}
void Control::SetTop(int v) {
  Rect r = bounds_;
  r.top = v;
  MoveTo(r);
}
void Control::SetWidth(int v) {
  Rect r = bounds_;
  r.width = v;
  SetBounds(r);
}
void Control::SetHeight(int v) {
  Rect r = bounds_;
  r.height = v;
  SetBounds(r);
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed(Property::Visible);
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed(Property::Enabled);
}

void Control::SetCaption(Text caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed(Property::Caption);
}

void Control::SetAccessibleName(const Text& name) {
  if (name == accessibleName_) return;
  accessibleName_ = name;
  Changed(Property::AccessibleName);
}

void Control::SetKeyboardShortcut(const Text& keys) {
  if (keys == keyboardShortcut_) return;
  keyboardShortcut_ = keys;
  Changed(Property::KeyboardShortcut);
}

void Control::SetFont(Font font) {
  if (font == font_) return;
  font_ = std::move(font);
  Changed(Property::Font);
}

void Control::SetColor(Color color) {
  if (color == color_) return;
  color_ = color;
  Changed(Property::Color);
}

void Control::SetFocus() {
  focusRequested_ = true;
  Changed(Property::Focus);
}

void Control::Click() {
  if (!enabled_) return;
  if (onClick) onClick();
}

bool Control::EnabledWithParents() const {
  for (const Control* c = this; c != nullptr; c = c->parent_)
    if (!c->enabled_) return false;
  return true;
}

void Control::AttachPeer(std::unique_ptr<ControlPeer> peer) { peer_ = std::move(peer); }

void Control::Changed(Property property) {
  if (peer_) peer_->PropertyChanged(property);
}

}  // namespace gui
