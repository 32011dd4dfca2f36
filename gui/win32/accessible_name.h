// Names for Windows' own controls (text boxes, lists) as screen readers see them. Windows
// names such a control after the static window before it; the labels here are painted by
// their container and have no window, so the control tells its name itself: it answers
// WM_GETOBJECT with Windows' standard object for it, wrapped so that only the name differs.
#pragma once
#include <windows.h>

#include "gui/control.h"

namespace gui::win32 {

// IID_IAccessible, spelt here once: import libraries define it in different places (libuuid
// and liboleacc both do with MinGW), so no link depends on which one has it.
inline constexpr IID kAccessibleIid{0x618736e0, 0x3c3d, 0x11cf,
                                    {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Answers WM_GETOBJECT for the client object of `hwnd` with the standard object named
// `name`. False (the window answers as usual) for other objects, an empty name, or when the
// system's accessibility library is missing.
bool AnswerNamedObject(HWND hwnd, WPARAM wParam, LPARAM lParam, const gui::Text& name,
                       LRESULT& result);

// Names a window inside a control's window (the edit part of a combo box) as the control
// is named, for as long as both windows live.
void NameInnerWindowAs(HWND inner, const gui::Control& control);

}  // namespace gui::win32
