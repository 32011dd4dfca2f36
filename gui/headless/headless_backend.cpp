// The state-only backend: no windows; message boxes are recorded and questions answered
// from a queue, so that every form's logic runs in tests.
#include <utility>

#include "gui/announcement.h"
#include "gui/application.h"
#include "gui/headless/headless.h"

namespace gui {

namespace {

std::vector<Rect> DefaultWorkAreas() { return {Rect{0, 0, 1280, 984}}; }

struct HeadlessState {
  std::vector<headless::ShownBox> boxes;
  std::vector<Text> announcements;
  std::deque<QuestionResult> answers;
  std::function<void()> pending;
  std::function<void(Form&)> modalHandler;
  std::function<void()> whileAsking;
  bool processing = false;
  std::vector<Rect> workAreas = DefaultWorkAreas();
  int busyShows = 0;
};

HeadlessState& State() {
  static HeadlessState state;
  return state;
}

class HeadlessFormPeer : public FormPeer {
 public:
  explicit HeadlessFormPeer(Form& form) : form_(form) {}
  void Show() override {}
  void ShowModal() override {
    form_.RunShowEvent();
    // Copied: the handler may replace itself while it runs.
    auto handler = State().modalHandler;
    if (handler && !form_.IsClosed()) handler(form_);
    if (!form_.IsClosed()) form_.Close();
  }
  void Destroy() override {}
  void* NativeHandle() const override { return nullptr; }
  Rect RestoredFrame() const override { return form_.Bounds(); }

 private:
  Form& form_;
};

void Record(headless::BoxKind kind, const Text& text) {
  State().boxes.push_back(headless::ShownBox{kind, text});
}

}  // namespace

void Realize(Form& form) {
  if (form.FormPeerPtr() == nullptr) form.AttachFormPeer(std::make_unique<HeadlessFormPeer>(form));
}

std::vector<Rect> MonitorWorkAreas() { return State().workAreas; }

Rect TitleBarGrip(const Rect& frame) {
  // Windows 10 at 96 DPI: a resize border of 8, a caption of 23, the icon and three
  // buttons of 36.
  constexpr int kBorder = 8, kCaption = 23, kIcon = 24, kButtons = 3 * 36;
  return {frame.left + kBorder + kIcon, frame.top + kBorder,
          frame.width - 2 * kBorder - kIcon - kButtons, kCaption};
}

void RunMessageLoop(Form&) {}

void ProcessMessages() {
  headless::RunPostedWork();
  HeadlessState& state = State();
  // A tick that itself processes messages must not run the pending work again.
  if (state.processing || !state.pending) return;
  state.processing = true;
  auto work = state.pending;
  try {
    work();
  } catch (...) {
    state.processing = false;
    throw;
  }
  state.processing = false;
}

void ShowMessage(const Text& text) { Record(headless::BoxKind::Message, text); }

void Announce(Form&, const Text& text) { State().announcements.push_back(text); }

Color WindowTextColor() { return kBlack; }

std::optional<SystemColors> HighContrastColors() { return std::nullopt; }

void BusyCursorChanged(bool shown) {
  if (shown) ++State().busyShows;
}

namespace {

QuestionResult NextAnswer(const Text& text) {
  Record(headless::BoxKind::Question, text);
  // Copied: the handler may replace itself while it runs.
  if (auto work = State().whileAsking) work();
  auto& answers = State().answers;
  if (answers.empty()) return QuestionResult::Yes;
  const QuestionResult result = answers.front();
  answers.pop_front();
  return result;
}

}  // namespace

bool AskYesNo(const Text& text) { return QuestionGoesOn(NextAnswer(text), false); }

// The default button itself matters only to a real box; the test's queue answers either way.
bool AskYesNo(const Text& text, bool defaultNo) {
  return QuestionGoesOn(NextAnswer(text), defaultNo);
}

void ShowInformation(const Text& text) { Record(headless::BoxKind::Information, text); }

void ShowErrorBox(const Text& text) { Record(headless::BoxKind::Error, text); }

void ReportException(const std::exception& error) { ShowErrorBox(ErrorReportFor(error)); }

void Guarded(const std::function<void()>& handler) {
  try {
    if (handler) handler();
  } catch (const std::exception& error) {
    ReportException(error);
  } catch (...) {
    ShowErrorBox(UnknownErrorText());
  }
}

namespace headless {

std::vector<ShownBox>& ShownBoxes() { return State().boxes; }

std::vector<Text>& Announcements() { return State().announcements; }

void QueueAnswer(bool yes) {
  State().answers.push_back(yes ? QuestionResult::Yes : QuestionResult::No);
}

void QueueUnshownQuestion() { State().answers.push_back(QuestionResult::NotShown); }

void SetPendingMessages(std::function<void()> work) { State().pending = std::move(work); }

void SetWhileAsking(std::function<void()> work) { State().whileAsking = std::move(work); }

void SetModalHandler(std::function<void(Form&)> handler) {
  State().modalHandler = std::move(handler);
}

void SetMonitorWorkAreas(std::vector<Rect> areas) { State().workAreas = std::move(areas); }

int BusyCursorShows() { return State().busyShows; }

void Reset() {
  HeadlessState& state = State();
  state.workAreas = DefaultWorkAreas();
  state.busyShows = 0;
  state.boxes.clear();
  state.announcements.clear();
  state.answers.clear();
  state.pending = nullptr;
  state.modalHandler = nullptr;
  state.whileAsking = nullptr;
  state.processing = false;
}

}  // namespace headless

}  // namespace gui
