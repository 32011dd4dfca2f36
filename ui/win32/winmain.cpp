// Entry of the main program.
#include <windows.h>

#include <memory>

#include "gui/application.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_single_instance.h"
#include "ui/main_form.h"

namespace {

core::Text ExecutableFolder() {
  const core::Text exe = platform::win32::Win32FileSystem().ExecutablePath();
  const auto last = exe.find_last_of(u"\\/");
  return last == core::Text::npos ? exe : exe.substr(0, last + 1);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // One copy per folder, settled before any file is read, created or written: a second
  // start brings the running copy's window to the front and ends. Held until the process
  // ends, so it is made first.
  platform::win32::Win32SingleInstance instance;
  if (!instance.Claim(ExecutableFolder())) {
    instance.ActivateHolder();
    return 0;
  }

  // Built before the window and destroyed after it: the services enter the thread's COM
  // apartment.
  platform::win32::Win32Services win32;
  platform::Services services = win32.Get();

  std::unique_ptr<ui::TMainForm> mainForm;
  try {
    // Creating the window runs its start-up; an error there is reported by the form itself
    // and the window opens all the same.
    mainForm = std::make_unique<ui::TMainForm>(services);
  } catch (const std::exception& error) {
    gui::ReportException(error);
    return 1;
  }
  ui::MainForm = mainForm.get();
  mainForm->singleInstance = &instance;
  gui::Realize(*mainForm);
  instance.Publish(mainForm->NativeHandle());
  // Measured on the frame the window really has, before it is shown.
  gui::Guarded([&] { mainForm->KeepFrameOnAMonitor(); });
  // The show handler arms the splash timer; an error there is reported like any other.
  gui::Guarded([&] { mainForm->ShowWindow(); });
  gui::RunMessageLoop(*mainForm);
  ui::MainForm = nullptr;
  return 0;
}
