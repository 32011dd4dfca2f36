// Keys as the forms name them. The backend turns the keyboard's messages into these at
// its edge, so that a form's table of keys reads the same on every backend and in tests.
#pragma once
#include "core/text.h"

namespace gui {

// Letters and digits are their characters ('A', '1'); the rest are named.
enum class Key : int {
  Other = 0,
  Enter, Escape, Tab, Delete, Backspace, Home, End, PageUp, PageDown, Left, Right, Up, Down,
  Digit1 = '1', Digit2, Digit3, Digit4,
  A = 'A', C = 'C', F = 'F', S = 'S', V = 'V', X = 'X', Y = 'Y', Z = 'Z',
  F1 = 0x100, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
};

struct KeyStroke {
  Key key = Key::Other;
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  bool operator==(const KeyStroke&) const = default;
};

constexpr KeyStroke Plain(Key key) { return {key, false, false, false}; }
constexpr KeyStroke Ctrl(Key key) { return {key, true, false, false}; }
constexpr KeyStroke Shift(Key key) { return {key, false, true, false}; }
constexpr KeyStroke CtrlShift(Key key) { return {key, true, true, false}; }

// How the key is written for the user, as Windows writes keys in menus and tool tips:
// "Ctrl+Shift+Delete", "F5", "Esc".
core::Text KeyStrokeText(const KeyStroke& stroke);

// A tool tip that tells the key beside what the control does: "履歴の検索 (Enter)". Just
// the name when there is no key.
core::Text WithKeyboardShortcut(const core::Text& name, const core::Text& keys);

}  // namespace gui
