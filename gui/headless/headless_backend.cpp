// The state-only backend: no windows; message boxes are recorded and questions answered
// from a queue, so that every form's logic runs in tests.
#include <utility>

#include "gui/application.h"
#include "gui/headless/headless.h"

namespace gui {

namespace {

struct HeadlessState {
  std::vector<headless::ShownBox> boxes;
  std::deque<bool> answers;
  std::function<void()> pending;
  std::function<void(Form&)> modalHandler;
  bool processing = false;
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

void RunMessageLoop(Form&) {}

void ProcessMessages() {
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

Color WindowTextColor() { return kBlack; }

void BusyCursorChanged(bool shown) {
  if (shown) ++State().busyShows;
}

bool AskYesNo(const Text& text) {
  Record(headless::BoxKind::Question, text);
  auto& answers = State().answers;
  if (answers.empty()) return true;
  const bool yes = answers.front();
  answers.pop_front();
  return yes;
}

// The default button matters only to a real box; the test's queue answers either way.
bool AskYesNo(const Text& text, bool) { return AskYesNo(text); }

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

void QueueAnswer(bool yes) { State().answers.push_back(yes); }

void SetPendingMessages(std::function<void()> work) { State().pending = std::move(work); }

void SetModalHandler(std::function<void(Form&)> handler) {
  State().modalHandler = std::move(handler);
}

int BusyCursorShows() { return State().busyShows; }

void Reset() {
  HeadlessState& state = State();
  state.busyShows = 0;
  state.boxes.clear();
  state.answers.clear();
  state.pending = nullptr;
  state.modalHandler = nullptr;
  state.processing = false;
}

}  // namespace headless

}  // namespace gui
