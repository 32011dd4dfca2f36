#include "ui/key_commands.h"

namespace ui {

bool ShownAndEnabled(const gui::Control& control) {
  for (const gui::Control* c = &control; c != nullptr; c = c->Parent())
    if (!c->Visible()) return false;
  return control.EnabledWithParents();
}

bool RunKeyCommand(const std::vector<KeyCommand>& table, const gui::KeyStroke& stroke,
                   const gui::Control* focus) {
  for (const KeyCommand& command : table) {
    if (!(command.stroke == stroke)) continue;
    if (command.focusIn != nullptr && command.focusIn != focus) continue;
    if (command.control != nullptr && !ShownAndEnabled(*command.control)) continue;
    if (command.action) command.action(focus);
    else if (command.control != nullptr) command.control->Click();
    return true;
  }
  return false;
}

void ShowKeysOnControls(const std::vector<KeyCommand>& table) {
  for (const KeyCommand& command : table)
    if (command.control != nullptr && !command.action)
      command.control->SetKeyboardShortcut(gui::KeyStrokeText(command.stroke));
}

}  // namespace ui
