// Entry of the installer helper: places the desktop shortcut to Soramitsu.exe, which lies
// in the same folder, says so, and ends.
#include <windows.h>

#include "gui/application.h"
#include "platform/win32/com.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"
#include "shortcut/installer_form.h"
#include "shortcut/win32/window_actions.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // First in and last out: the shell link object needs the thread's apartment.
  platform::win32::ComApartment apartment;
  platform::win32::Win32SpecialFolders specialFolders;
  platform::win32::Win32ShellLinks shellLinks;
  platform::win32::Win32FileSystem fileSystem;
  shortcut::win32::Win32WindowActions windowActions;

  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  shortcut::InstallerLook look;
  look.buttonFace = gui::Color{GetRValue(face), GetGValue(face), GetBValue(face)};

  shortcut::TMainForm form({specialFolders, shellLinks, fileSystem, windowActions}, look);
  // The window's handle exists before FormCreate, which posts the close request to it.
  gui::Realize(form);
  shortcut::win32::PaintHook paintHook(form);
  // An error here is reported; no close request is then posted and the window stays open
  // until the user closes it.
  gui::Guarded([&form] { form.FormCreate(); });
  form.ShowWindow();
  gui::RunMessageLoop(form);
  return 0;
}
