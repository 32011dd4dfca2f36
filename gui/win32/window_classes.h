// The window classes of the backend, registered on first use.
#pragma once
#include <windows.h>

namespace gui::win32 {

// Initialises the common controls (list view, tool tips) once.
void EnsureCommonControls();

// Plain child windows whose behaviour comes from their peer (the classes' own procedure
// is DefWindowProcW; the peer subclasses each window).
const wchar_t* PanelClassName();
const wchar_t* ButtonClassName();
// Top-level windows of forms; `procedure` is the form's window procedure.
const wchar_t* FormClassName(WNDPROC procedure);

}  // namespace gui::win32
