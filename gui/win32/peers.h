// Creation of the Win32 peer of each kind of child control.
#pragma once
#include <windows.h>

#include <memory>

#include "gui/control.h"
#include "gui/controls.h"

namespace gui::win32 {

std::unique_ptr<gui::ControlPeer> CreatePanelPeer(gui::Panel& panel, HWND parent);
std::unique_ptr<gui::ControlPeer> CreateSpeedButtonPeer(gui::SpeedButton& button, HWND parent);
std::unique_ptr<gui::ControlPeer> CreateEditPeer(gui::Edit& edit, HWND parent);
std::unique_ptr<gui::ControlPeer> CreateMemoPeer(gui::Memo& memo, HWND parent);
std::unique_ptr<gui::ControlPeer> CreateComboBoxPeer(gui::ComboBox& combo, HWND parent);
std::unique_ptr<gui::ControlPeer> CreateListBoxPeer(gui::ListBox& list, HWND parent);
std::unique_ptr<gui::ControlPeer> CreateListViewPeer(gui::ListView& view, HWND parent);

// Keys that text boxes share: Ctrl+A selects all; `singleLine` boxes do not beep at Enter.
bool HandleTextBoxKey(HWND hwnd, UINT message, WPARAM wParam, bool singleLine);

// The text for a Windows edit control: every lone CR or LF becomes CR LF.
std::wstring EditControlText(const gui::Text& text);
gui::Text WindowText(HWND hwnd);

}  // namespace gui::win32
