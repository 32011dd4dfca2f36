#include "gui/keys.h"

namespace gui {

namespace {

core::Text KeyName(Key key) {
  const int code = static_cast<int>(key);
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z'))
    return core::Text(1, static_cast<char16_t>(code));
  if (code >= static_cast<int>(Key::F1) && code <= static_cast<int>(Key::F12))
    return u"F" + core::FromUtf8(std::to_string(code - static_cast<int>(Key::F1) + 1));
  switch (key) {
    case Key::Enter: return u"Enter";
    case Key::Escape: return u"Esc";
    case Key::Tab: return u"Tab";
    case Key::Delete: return u"Delete";
    case Key::Backspace: return u"Backspace";
    case Key::Home: return u"Home";
    case Key::End: return u"End";
    case Key::PageUp: return u"PageUp";
    case Key::PageDown: return u"PageDown";
    case Key::Left: return u"←";
    case Key::Right: return u"→";
    case Key::Up: return u"↑";
    case Key::Down: return u"↓";
    default: return core::Text();
  }
}

}  // namespace

core::Text KeyStrokeText(const KeyStroke& stroke) {
  core::Text text;
  if (stroke.ctrl) text += u"Ctrl+";
  if (stroke.shift) text += u"Shift+";
  if (stroke.alt) text += u"Alt+";
  return text + KeyName(stroke.key);
}

core::Text WithKeyboardShortcut(const core::Text& name, const core::Text& keys) {
  return keys.empty() ? name : name + u" (" + keys + u")";
}

}  // namespace gui
