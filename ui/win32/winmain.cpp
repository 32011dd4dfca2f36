// Entry of the main program.
#include <windows.h>

#include <memory>

#include "gui/application.h"
#include "platform/win32/win32_services.h"
#include "ui/main_form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Built first and destroyed last: the services enter the thread's COM apartment.
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
  gui::Realize(*mainForm);
  // The show handler arms the splash timer; an error there is reported like any other.
  gui::Guarded([&] { mainForm->ShowWindow(); });
  gui::RunMessageLoop(*mainForm);
  ui::MainForm = nullptr;
  return 0;
}
