#include "platform/clipboard_reader.h"

#include <chrono>
#include <exception>
#include <thread>
#include <utility>

namespace platform {

ClipboardReader::ClipboardReader(Clipboard& clipboard, Poster post)
    : clipboard_(clipboard), post_(std::move(post)), shared_(std::make_shared<Shared>()) {}

ClipboardReader::~ClipboardReader() {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->abandoned = true;
}

ClipboardReading ClipboardReader::ReadOnce(Clipboard& clipboard, const std::function<bool()>&) {
  try {
    return clipboard.Read();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool ClipboardReader::Start(Job job, Done done) {
  if (pending_) return false;
  Launch(std::move(job), std::move(done));
  return true;
}

void ClipboardReader::StartWhenFree(Job job, Done done) {
  if (!pending_) {
    Launch(std::move(job), std::move(done));
    return;
  }
  next_.emplace(std::move(job), std::move(done));
}

void ClipboardReader::Launch(Job job, Done done) {
  pending_ = true;
  done_ = std::move(done);
  std::shared_ptr<Shared> shared = shared_;
  try {
    std::thread([shared, &clipboard = clipboard_, job = std::move(job), post = post_, this] {
      const std::function<bool()> abandoned = [shared] {
        std::lock_guard<std::mutex> lock(shared->mutex);
        return shared->abandoned;
      };
      ClipboardReading reading;
      try {
        reading = job(clipboard, abandoned);
      } catch (...) {
        reading = std::nullopt;  // counts as a clipboard that could not be opened
      }
      {
        std::lock_guard<std::mutex> lock(shared->mutex);
        if (shared->abandoned) return;  // nobody left to hand it to
        shared->result = std::move(reading);
        // Posted under the lock that the reader's destructor takes too: once the reader is
        // gone, no post reaches a poster whose owner may be gone with it. The posted work
        // looks at the reader only on its own thread, where it cannot go away meanwhile.
        if (post) {
          post([shared, this] {
            {
              std::lock_guard<std::mutex> lock(shared->mutex);
              if (shared->abandoned) return;
            }
            Deliver();
          });
        }
      }
      shared->arrived.notify_all();
    }).detach();
  } catch (const std::exception&) {
    // No thread to be had: the read failed, and is handed over at the next chance.
    std::lock_guard<std::mutex> lock(shared->mutex);
    shared->result = ClipboardReading();
  }
}

bool ClipboardReader::Deliver() {
  std::optional<ClipboardReading> arrived;
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    arrived.swap(shared_->result);
  }
  if (!arrived) return false;
  pending_ = false;
  Done done = std::move(done_);
  done_ = nullptr;
  // The waiting job starts first: `done` may fail, and the job must not be lost with it.
  if (next_) {
    auto [job, nextDone] = std::move(*next_);
    next_.reset();
    Launch(std::move(job), std::move(nextDone));
  }
  if (done) done(std::move(*arrived));
  return true;
}

bool ClipboardReader::WaitFor(std::uint32_t milliseconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    Deliver();
    if (!pending_) return true;
    std::unique_lock<std::mutex> lock(shared_->mutex);
    if (!shared_->arrived.wait_until(lock, deadline, [this] { return shared_->result.has_value(); }))
      return false;
  }
}

}  // namespace platform
