// Reads the clipboard off the window's thread, one read at a time.
//
// A program that put a copy on the clipboard without its text renders it only when asked,
// and the asking thread waits inside the clipboard call until it has (Windows gives up
// after about 30 s, Wine never does). Each read therefore runs on a thread of its own
// that is never joined: a read still waiting when the program ends ends with the process.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include "platform/clipboard.h"

namespace platform {

// What one read yields: the content, or nothing when the clipboard could not be opened.
using ClipboardReading = std::optional<ClipboardContent>;

class ClipboardReader {
 public:
  // Runs on the reading thread; may read more than once (a retry), and should stop early
  // once `abandoned()` says the reader is gone.
  using Job = std::function<ClipboardReading(Clipboard& clipboard,
                                             const std::function<bool()>& abandoned)>;
  // Runs on the window's thread with the job's result.
  using Done = std::function<void(ClipboardReading)>;
  // Hands work from any thread to the window's thread (gui::UiThreadMailbox::Poster).
  using Poster = std::function<void(std::function<void()>)>;

  ClipboardReader(Clipboard& clipboard, Poster post);
  // Never waits for a read still pending: its thread finds the reader gone and ends.
  ~ClipboardReader();
  ClipboardReader(const ClipboardReader&) = delete;
  ClipboardReader& operator=(const ClipboardReader&) = delete;

  // The plain job: one read.
  static ClipboardReading ReadOnce(Clipboard& clipboard, const std::function<bool()>& abandoned);

  // Starts `job` unless a read is pending; false then, and nothing starts.
  bool Start(Job job, Done done);
  // Starts `job` now, or as soon as the pending read has been handed over. A later call
  // replaces a job still waiting to start.
  void StartWhenFree(Job job, Done done);
  // A read has started and its result has not been handed over yet.
  bool Pending() const { return pending_; }
  // Hands over a result that has arrived (its `done` runs here). The posted hand-over
  // does this by itself; callers that wait call it too. True when one was handed over.
  bool Deliver();
  // Blocks the calling (window) thread until no read is pending or `milliseconds` have
  // passed, handing over each result as it arrives. True when nothing is pending.
  bool WaitFor(std::uint32_t milliseconds);

 private:
  struct Shared {
    std::mutex mutex;
    std::condition_variable arrived;
    std::optional<ClipboardReading> result;  // arrived, not yet handed over
    bool abandoned = false;                   // the reader is gone
  };
  void Launch(Job job, Done done);

  Clipboard& clipboard_;
  Poster post_;
  std::shared_ptr<Shared> shared_;
  bool pending_ = false;
  Done done_;
  std::optional<std::pair<Job, Done>> next_;
};

}  // namespace platform
