// Application-wide services of the windowing layer; each backend supplies them.
#pragma once
#include <exception>
#include <functional>
#include <optional>
#include <vector>
#include "gui/form.h"

namespace gui {

inline const Text kAppTitle = u"ソラミツ";

// Creates the backend's peers for a form and all its controls, menus and timers.
// Call once, after the form has built its controls.
void Realize(Form& form);

// The work areas (the screen without task bars) of the monitors attached now, in the
// coordinates of the forms' frames. A window that meets none of them cannot be seen.
std::vector<Rect> MonitorWorkAreas();
// The part of a main window's title bar that moves the window when dragged, for a window
// with the frame `frame` (same coordinates): the caption row inside the resize border,
// without the window's icon at its left and its buttons at its right.
Rect TitleBarGrip(const Rect& frame);

// Runs the message loop until `mainForm` has closed.
void RunMessageLoop(Form& mainForm);

// Hands every pending window message to its handler once, then returns.
void ProcessMessages();

// Plain notice: OK button, titled "ソラミツ".
void ShowMessage(const Text& text);
// Question: information icon, Yes and No; true unless the answer was No.
bool AskYesNo(const Text& text);
// The same, with "No" as the default button when `defaultNo` (the answer a stray Enter
// gives): for questions whose Yes cannot be undone, such as leaving without saving.
bool AskYesNo(const Text& text, bool defaultNo);
// How a question box ended: with an answer, or not shown at all (its call failed).
enum class QuestionResult { Yes, No, NotShown };
// Whether the command goes on after the question. A plain question stops only on No. One
// whose Yes cannot be undone (`defaultNo`) goes on only on an explicit Yes: a box that
// could not be shown counts as No there.
bool QuestionGoesOn(QuestionResult result, bool defaultNo);
// Information box with OK (the entry editor's input errors).
void ShowInformation(const Text& text);
// Error icon with OK.
void ShowErrorBox(const Text& text);

// The system's colour for text in windows (black unless the user chose another).
Color WindowTextColor();

// The colours the user chose for the system, which replace the designed ones while
// Windows' high-contrast mode is on.
struct SystemColors {
  Color window, windowText, highlight, highlightText, buttonFace, buttonText;
};
// The system colours while high contrast is on; nothing otherwise (always, headless).
std::optional<SystemColors> HighContrastColors();

// Shows the busy (hourglass) pointer over the program's windows while it lives; the normal
// pointer comes back when the last one goes. A modal form opened meanwhile shows the
// normal pointer until it closes: the user has to work in it.
class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};
bool BusyCursorShown();

// Takes the busy pointer away for one scope (a modal form) and gives it back after.
class BusyCursorPause {
 public:
  BusyCursorPause();
  ~BusyCursorPause();
  BusyCursorPause(const BusyCursorPause&) = delete;
  BusyCursorPause& operator=(const BusyCursorPause&) = delete;

 private:
  int depth_;
};

// Backend: told each time the busy pointer comes or goes.
void BusyCursorChanged(bool shown);

// The application's general error report for an exception that escaped a handler:
// its text (with "." added by core::ErrorReportText) in an error box. The program goes on.
void ReportException(const std::exception& error);

// Runs a handler so that an escaping exception becomes the error report.
void Guarded(const std::function<void()>& handler);

// The text the error report shows for an exception: an AppError's own message, any other
// exception's UTF-8 what(); both with the full stop rule of core::ErrorReportText.
Text ErrorReportFor(const std::exception& error);
// What the report says for an exception that is not a std::exception.
const Text& UnknownErrorText();

}  // namespace gui
