// The program's message loop and the processing of pending messages in the middle of
// its own work.
#include "gui/application.h"
#include "gui/win32/form_window.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

bool PreTranslateMessage(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.hwnd == nullptr) return false;
  FormWindow* form = FormWindow::FromHandle(::GetAncestor(message.hwnd, GA_ROOT));
  return form != nullptr && form->PreTranslateKey(message);
}

}  // namespace gui::win32

namespace gui {

void RunMessageLoop(Form& mainForm) {
  MSG message{};
  while (!mainForm.IsClosed()) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    if (!win32::PreTranslateMessage(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

void ProcessMessages() {
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the loop that owns the program's end.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!win32::PreTranslateMessage(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

}  // namespace gui
