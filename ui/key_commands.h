// A form's keys as one table from key to command. A key stands for a click on a picture
// (and then acts only while that picture is shown and enabled, and the picture's tool tip
// and screen-reader object tell the key) or moves the focus.
#pragma once
#include <functional>
#include <vector>

#include "gui/control.h"
#include "gui/keys.h"

namespace ui {

struct KeyCommand {
  gui::KeyStroke stroke;
  // Where the keyboard focus must be for the key to act; nullptr: anywhere in the form.
  const gui::Control* focusIn = nullptr;
  // The control the key stands for: it acts only while this is shown and enabled, and
  // runs the control's click unless `action` is given.
  gui::Control* control = nullptr;
  // What the key does instead of a click; it is told where the focus is.
  std::function<void(const gui::Control* focus)> action;
};

// Runs the first command of the table that the key, the focus and the state of its control
// choose. True when one ran: the control with the focus then does not get the key.
bool RunKeyCommand(const std::vector<KeyCommand>& table, const gui::KeyStroke& stroke,
                   const gui::Control* focus);

// Tells each control of the table the key that clicks it (tool tip, screen readers).
void ShowKeysOnControls(const std::vector<KeyCommand>& table);

// The control and every control it lies in are visible, and it takes clicks.
bool ShownAndEnabled(const gui::Control& control);

}  // namespace ui
