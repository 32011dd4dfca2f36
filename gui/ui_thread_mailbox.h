// Hands work from any thread to the window's thread.
#pragma once
#include <functional>
#include <memory>

namespace gui {

// Work posted here runs on the thread that made the mailbox, among its window messages
// (also inside a modal dialog, a message box, or gui::ProcessMessages); an exception that
// escapes it becomes the application's error report.
class UiThreadMailbox {
 public:
  using Work = std::function<void()>;
  using Poster = std::function<void(Work)>;

  UiThreadMailbox();  // on the window's thread
  ~UiThreadMailbox();
  UiThreadMailbox(const UiThreadMailbox&) = delete;
  UiThreadMailbox& operator=(const UiThreadMailbox&) = delete;

  // Callable from any thread, also after the mailbox has gone: work posted to a mailbox
  // that is gone is dropped.
  Poster GetPoster() const;

 struct Backend;  // the windowing backend's own

 private:
  std::shared_ptr<Backend> backend_;
};

}  // namespace gui
