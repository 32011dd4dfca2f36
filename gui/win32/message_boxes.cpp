// Modal message boxes titled with the application's name, and the error report.
#include <algorithm>
#include <string>
#include <vector>

#include "gui/application.h"
#include "gui/win32/form_window.h"
#include "gui/win32/win32_window.h"

namespace gui {

namespace {

std::wstring Wide(const Text& text) { return std::wstring(text.begin(), text.end()); }

int Box(const Text& text, UINT flags) {
  HWND owner = win32::DefaultOwnerWindow();
  // Without an owner window the box still blocks the program's other windows.
  if (owner == nullptr) flags |= MB_TASKMODAL;
  const std::wstring message = Wide(text);
  const std::wstring title = Wide(kAppTitle);
  return ::MessageBoxW(owner, message.c_str(), title.c_str(), flags | MB_SETFOREGROUND);
}

// A handler that fails again with the same error while it is still on screen (a timer
// tick each second, for instance) would pile up boxes: the repeat is not shown.
std::vector<Text>& OpenErrors() {
  static std::vector<Text> open;
  return open;
}

}  // namespace

void ShowMessage(const Text& text) { Box(text, MB_OK); }

namespace {

// MessageBoxW returns 0 when the box cannot be shown (no memory, a desktop that is going
// away at a log-off).
QuestionResult Question(const Text& text, UINT flags) {
  switch (Box(text, MB_YESNO | MB_ICONINFORMATION | flags)) {
    case IDYES: return QuestionResult::Yes;
    case IDNO: return QuestionResult::No;
    default: return QuestionResult::NotShown;
  }
}

}  // namespace

bool AskYesNo(const Text& text) { return QuestionGoesOn(Question(text, 0), false); }

bool AskYesNo(const Text& text, bool defaultNo) {
  return QuestionGoesOn(Question(text, defaultNo ? MB_DEFBUTTON2 : 0), defaultNo);
}

void ShowInformation(const Text& text) { Box(text, MB_OK | MB_ICONINFORMATION); }

void ShowErrorBox(const Text& text) {
  auto& open = OpenErrors();
  if (std::find(open.begin(), open.end(), text) != open.end()) return;
  open.push_back(text);
  Box(text, MB_OK | MB_ICONERROR);
  open.erase(std::find(open.begin(), open.end(), text));
}

void ReportException(const std::exception& error) {
  try {
    ShowErrorBox(ErrorReportFor(error));
  } catch (...) {
    // The report itself must never end the program.
  }
}

void Guarded(const std::function<void()>& handler) {
  try {
    if (handler) handler();
  } catch (const std::exception& error) {
    ReportException(error);
  } catch (...) {
    try {
      ShowErrorBox(UnknownErrorText());
    } catch (...) {
    }
  }
}

namespace win32 {

void RunGuarded(const std::function<void()>& handler) { gui::Guarded(handler); }

}  // namespace win32

}  // namespace gui
