// Names for Windows' own controls (text boxes, lists) as screen readers see them. Windows
// names such a control after the static window before it; the labels here are painted by
// their container and have no window, so the control tells its name itself: it answers
// WM_GETOBJECT with Windows' standard object for it, wrapped so that only the name differs.
#pragma once
#include <windows.h>

#include "gui/control.h"

namespace gui::win32 {

// Answers WM_GETOBJECT for the client object of `hwnd` with the standard object named
// `name`. False (the window answers as usual) for other objects or an empty name.
bool AnswerNamedObject(HWND hwnd, WPARAM wParam, LPARAM lParam, const gui::Text& name,
                       LRESULT& result);

// Names a window inside a control's window (the edit part of a combo box) as the control
// is named, for as long as both windows live.
void NameInnerWindowAs(HWND inner, const gui::Control& control);

}  // namespace gui::win32
