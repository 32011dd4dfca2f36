// The portable half of every control: it keeps the state; a backend peer (the real window
// on Win32, nothing in the headless build) mirrors it. Forms are written against this.
#pragma once
#include <functional>
#include <memory>
#include <vector>
#include "gui/types.h"

namespace gui {

enum class Property { Bounds, Visible, Enabled, Caption, Font, Color, Content, Focus, Selection,
                      Scroll, AccessibleName, KeyboardShortcut };

// What a backend attaches to a control to mirror its state.
class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual void PropertyChanged(Property property) = 0;
};

class Control {
 public:
  explicit Control(Control* parent);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Control* Parent() const { return parent_; }
  const std::vector<Control*>& Children() const { return children_; }

  const Rect& Bounds() const { return bounds_; }
  void SetBounds(Rect bounds);
  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.width; }
  int Height() const { return bounds_.height; }
  void SetLeft(int v);
  void SetTop(int v);
  void SetWidth(int v);
  void SetHeight(int v);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Enabled, and so are all its parents (a real window disables its children with it).
  bool EnabledWithParents() const;

  const Text& Caption() const { return caption_; }
  void SetCaption(Text caption);

  const Font& GetFont() const { return font_; }
  void SetFont(Font font);
  const Color& GetColor() const { return color_; }
  void SetColor(Color color);

  // Focus requests are remembered so headless tests can see them.
  void SetFocus();
  bool FocusRequested() const { return focusRequested_; }

  // What a screen reader calls the control (usually the caption of the label beside it);
  // empty: whatever the system finds by itself. Nothing on screen changes.
  const Text& AccessibleName() const { return accessibleName_; }
  void SetAccessibleName(const Text& name);

  // The key that runs the control's command, as the user reads it ("Ctrl+S"): shown in its
  // tool tip and told to screen readers. Empty: none.
  const Text& KeyboardShortcut() const { return keyboardShortcut_; }
  void SetKeyboardShortcut(const Text& keys);

  // A user's click: runs onClick only when the control is enabled.
  void Click();
  std::function<void()> onClick;

  ControlPeer* Peer() const { return peer_.get(); }
  void AttachPeer(std::unique_ptr<ControlPeer> peer);

 protected:
  void Changed(Property property);
  // Applies new bounds (the peer follows) without counting as a size given.
  void MoveTo(Rect bounds);
  // Stores new bounds without telling the peer (the backend reports a change it made).
  void StoreBounds(Rect bounds);
  // Runs after every change of the bounds, before the peer hears of it.
  virtual void BoundsSet(const Rect& previous) { (void)previous; }
  // Runs when the program sets the width or height (SetWidth, SetHeight, SetBounds), even
  // to the value it already has.
  virtual void SizeRequested() {}

 private:
  Control* parent_;
  std::vector<Control*> children_;
  std::unique_ptr<ControlPeer> peer_;
  Rect bounds_;
  bool visible_ = true;
  bool enabled_ = true;
  bool focusRequested_ = false;
  Text caption_;
  Text accessibleName_;
  Text keyboardShortcut_;
  Font font_;
  Color color_ = kWhite;
};

}  // namespace gui
