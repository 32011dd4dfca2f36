// Stand-ins for the services of a real form under Wine: the real file system with a scratch
// folder as the executable's folder (so Data\ and the backups land there), and a clipboard
// that only keeps its text, so that tests never race the display's clipboard.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>

#include "core/text.h"
#include "gui/application.h"
#include "platform/clipboard.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_services.h"
#include "tests/wine/platform_test_support.h"
#include "ui/main_form.h"

namespace wine_tests {

class AppFolderFileSystem : public platform::win32::Win32FileSystem {
 public:
  explicit AppFolderFileSystem(core::Text exe) : exe_(std::move(exe)) {}
  core::Text ExecutablePath() override { return exe_; }

 private:
  core::Text exe_;
};

class StandInClipboard : public platform::Clipboard {
 public:
  platform::ClipboardContent Read() override { return {text, false}; }
  void WriteText(const core::Text& t) override {
    text = t;
    ++sequence;
  }
  std::uint32_t SequenceNumber() override { return sequence; }
  core::Text text;
  std::uint32_t sequence = 1;
};

// The real main window over these stand-ins, its files in a scratch folder.
class MainFormTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (form) form->Timer2.SetEnabled(false);
    form.reset();
    gui::ProcessMessages();
  }

  // Loads whatever the folder holds. The clipboard monitor stays off: nothing is recorded
  // while a test runs.
  ui::TMainForm& CreateForm() {
    services = std::make_unique<platform::Services>(platform::Services{
        clipboard, win32.shell, win32.specialFolders, win32.shellLinks, win32.profile,
        fileSystem, win32.collator, win32.ansi, win32.clock});
    form = std::make_unique<ui::TMainForm>(*services);
    form->Timer2.SetEnabled(false);
    // The start-up read runs on a thread of its own; the stand-in clipboard is not shared.
    EXPECT_TRUE(form->clipboardReader.WaitFor(10000));
    return *form;
  }
  // Shows the window past its logo, as the user first sees it.
  ui::TMainForm& ShowForm() {
    gui::Realize(*form);
    form->ShowWindow();
    form->Timer1Timer();
    gui::ProcessMessages();
    return *form;
  }

  wine_test::TempFolder folder;
  AppFolderFileSystem fileSystem{folder.Path(L"Soramitsu.exe")};
  StandInClipboard clipboard;
  platform::win32::Win32Services win32;
  std::unique_ptr<platform::Services> services;
  std::unique_ptr<ui::TMainForm> form;
};

}  // namespace wine_tests
