// The installer's window on the real windows: each paint raises it to the topmost layer,
// where it neither moves nor changes size.
#include <gtest/gtest.h>
#include <windows.h>

#include "gui/application.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"
#include "shortcut/installer_form.h"
#include "shortcut/win32/window_actions.h"
#include "tests/wine/client_pixels.h"

namespace {

TEST(InstallerWin32, EachPaintRaisesTheWindowToTheTopmostLayer) {
  platform::win32::Win32SpecialFolders folders;
  platform::win32::Win32ShellLinks links;
  platform::win32::Win32FileSystem files;
  shortcut::win32::Win32WindowActions actions;
  shortcut::TMainForm form({folders, links, files, actions});
  gui::Realize(form);
  HWND hwnd = static_cast<HWND>(form.NativeHandle());
  ASSERT_NE(hwnd, nullptr) << "no window could be made: run under a display";
  shortcut::win32::PaintHook hook(form);
  auto topmost = [hwnd] { return (::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  ASSERT_FALSE(topmost()) << "raised before any paint";
  RECT before{};
  ::GetWindowRect(hwnd, &before);

  form.ShowWindow();
  EXPECT_TRUE(wine_tests::PumpUntil(topmost)) << "not raised by its first paint";
  RECT after{};
  ::GetWindowRect(hwnd, &after);
  EXPECT_TRUE(::EqualRect(&before, &after)) << "the raise moved or sized the window";

  // Lowered by someone else, the next paint raises it again.
  ::SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ASSERT_FALSE(topmost());
  ::InvalidateRect(hwnd, nullptr, TRUE);
  EXPECT_TRUE(wine_tests::PumpUntil(topmost)) << "a later paint did not raise it";

  form.Close();
  gui::ProcessMessages();
}

}  // namespace
