// Windows' high-contrast mode: while it is on, the tables, the panels, the forms and the
// current cell are painted in the colours the user chose for the system instead of the
// designed ones. Every painter asks here, so the decision is made in one place.
#pragma once
#include <windows.h>

#include <optional>

#include "gui/control.h"
#include "gui/types.h"

namespace gui::win32 {

// Whether high contrast is on. The answer is kept until ColorSchemeChanged().
bool HighContrastOn();
// The system's settings or colours changed (WM_SETTINGCHANGE, WM_SYSCOLORCHANGE).
void ColorSchemeChanged();
// Tests: decide the mode instead of the system (Wine cannot switch it on); nullopt gives
// the decision back.
void SetHighContrastForTesting(std::optional<bool> on);

gui::Color SystemColor(int index);  // GetSysColor
// `designed` normally; the system colour `index` (COLOR_WINDOW...) in high contrast.
gui::Color SchemeColor(gui::Color designed, int index);
// What a form (COLOR_WINDOW) or a panel (COLOR_BTNFACE) is filled with, and the colour
// of text and lines drawn on it (COLOR_WINDOWTEXT, COLOR_BTNTEXT).
gui::Color ContainerBackground(const gui::Control& container, gui::Color designed);
gui::Color ContainerText(const gui::Control& container, gui::Color designed);

// Repaints `top` and every window inside it after a change of the settings or colours;
// `tellChildren` passes WM_SYSCOLORCHANGE on to them (only top-level windows receive it).
void RepaintForNewColors(HWND top, bool tellChildren);

}  // namespace gui::win32
