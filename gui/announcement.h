// Tells a screen-reader user what a command gave ("20件") without moving the keyboard
// focus: the reader speaks it as an alert and stays where the user was. Sighted users
// see the same result on screen; nothing is shown.
#pragma once
#include "gui/form.h"
#include "gui/types.h"

namespace gui {

// Spoken once the running handler has finished, after the focus moves it made. Headless,
// the text is recorded (headless::Announcements()).
void Announce(Form& form, const Text& text);

}  // namespace gui
