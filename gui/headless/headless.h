// Test controls of the headless backend: what the message boxes said, scripted answers.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>
#include "gui/form.h"

namespace gui::headless {

enum class BoxKind { Message, Question, Information, Error };

struct ShownBox {
  BoxKind kind;
  Text text;
};

// Every box shown since the last Reset(), in order.
std::vector<ShownBox>& ShownBoxes();
// Every text given to gui::Announce since the last Reset(), in order.
std::vector<Text>& Announcements();
// Answers for the next questions; an empty queue answers Yes.
void QueueAnswer(bool yes);
// The next question box cannot be shown (its call fails); it is still recorded.
void QueueUnshownQuestion();
// Runs while a question box is open, before it is answered (a real box handles messages).
void SetWhileAsking(std::function<void()> work);
// Runs inside each ProcessMessages() call (to simulate a tick or click mid-work).
void SetPendingMessages(std::function<void()> work);
// Runs the work posted to mailboxes (gui::UiThreadMailbox) so far; ProcessMessages runs it
// too. Returns how many pieces ran.
int RunPostedWork();
// Runs when a form is shown modally; the test interacts, then the form closes.
void SetModalHandler(std::function<void(Form&)> handler);
// What MonitorWorkAreas() reports; by default one monitor of 1280 x 1024 with a task bar
// of 40 pixels at its foot. TitleBarGrip() measures as Windows 10 does at 96 DPI.
void SetMonitorWorkAreas(std::vector<Rect> areas);
// How often the busy pointer has come since the last Reset() (it is gone again when
// gui::BusyCursorShown() is false).
int BusyCursorShows();
void Reset();

}  // namespace gui::headless
