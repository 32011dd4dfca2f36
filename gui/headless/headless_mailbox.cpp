// Posted work waits in one queue until the test's window thread runs it (ProcessMessages
// or headless::RunPostedWork).
#include <deque>
#include <mutex>
#include <utility>

#include "gui/application.h"
#include "gui/headless/headless.h"
#include "gui/ui_thread_mailbox.h"

namespace gui {

struct UiThreadMailbox::Backend {
  bool open = true;  // read and changed on the window's thread only
};

namespace {

struct Posted {
  std::shared_ptr<UiThreadMailbox::Backend> mailbox;
  UiThreadMailbox::Work work;
};

struct Queue {
  std::mutex mutex;
  std::deque<Posted> posted;
};

// Never destroyed: a reading thread may still post while the process ends.
Queue& TheQueue() {
  static Queue* queue = new Queue;
  return *queue;
}

}  // namespace

UiThreadMailbox::UiThreadMailbox() : backend_(std::make_shared<Backend>()) {}

UiThreadMailbox::~UiThreadMailbox() { backend_->open = false; }

UiThreadMailbox::Poster UiThreadMailbox::GetPoster() const {
  std::shared_ptr<Backend> backend = backend_;
  return [backend](Work work) {
    Queue& queue = TheQueue();
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.posted.push_back(Posted{backend, std::move(work)});
  };
}

namespace headless {

int RunPostedWork() {
  int ran = 0;
  for (;;) {
    Posted next;
    {
      Queue& queue = TheQueue();
      std::lock_guard<std::mutex> lock(queue.mutex);
      if (queue.posted.empty()) return ran;
      next = std::move(queue.posted.front());
      queue.posted.pop_front();
    }
    if (!next.mailbox->open || !next.work) continue;
    ++ran;
    Guarded(next.work);
  }
}

}  // namespace headless

}  // namespace gui
