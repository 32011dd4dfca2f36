// Which failures wait for another program to let go of a file, how often they are tried,
// and where the waiting ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/held_file_retry.h"

namespace {

// Time passes only when the caller sleeps or a try takes it.
class PretendClock : public platform::Clock {
 public:
  explicit PretendClock(std::uint32_t start) : now(start) {}
  platform::LocalDateTime Now() override { return {}; }
  std::uint32_t TickCount() override { return now; }
  void Sleep(std::uint32_t ms) override {
    waits.push_back(ms);
    now += ms;
  }
  std::uint32_t now;
  std::vector<std::uint32_t> waits;
};

struct Case {
  const char* what;
  std::vector<std::uint32_t> errors;  // one per try; the last repeats
  int ordinaryFile;                   // -1: no check given, 0: missing or read-only, 1: ordinary
  std::uint32_t tryTakesMs;
  std::uint32_t clockStart;
  int tries;
  std::uint32_t result;
};

constexpr std::uint32_t kShare = platform::kErrorSharingViolation;
constexpr std::uint32_t kLock = platform::kErrorLockViolation;
constexpr std::uint32_t kDenied = platform::kErrorAccessDenied;
constexpr std::uint32_t kNotFound = 2, kDiskFull = 112;

TEST(HeldFileRetry, TriesAgainOnlyWhileAnotherProgramMayHoldTheFile) {
  const Case cases[] = {
      {"success at once", {0}, 1, 0, 1000, 1, 0},
      {"sharing violation, then released", {kShare, kShare, 0}, 1, 0, 1000, 3, 0},
      {"lock violation, then released", {kLock, 0}, -1, 0, 1000, 2, 0},
      {"access denied on an ordinary file, then released", {kDenied, kDenied, 0}, 1, 0, 1000, 3, 0},
      {"held for good: 25, 50 ... 375 ms make 3 s", {kShare}, 1, 0, 1000, 16, kShare},
      {"access denied for good on an ordinary file", {kDenied}, 1, 0, 1000, 16, kDenied},
      {"access denied on a read-only or missing file", {kDenied}, 0, 0, 1000, 1, kDenied},
      {"access denied with nothing to check", {kDenied}, -1, 0, 1000, 1, kDenied},
      {"a missing file", {kNotFound}, 1, 0, 1000, 1, kNotFound},
      {"a full disk after a hold", {kShare, kDiskFull}, 1, 0, 1000, 2, kDiskFull},
      {"slow tries count towards the bound", {kShare}, 1, 1000, 1000, 3, kShare},
      {"the last wait ends at the bound", {kShare}, 1, 10, 1000, 16, kShare},
      {"the counter wraps meanwhile", {kLock}, 1, 0, 0xFFFFFF00u, 16, kLock},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PretendClock clock(c.clockStart);
    int tries = 0, checks = 0;
    auto attempt = [&] {
      clock.now += c.tryTakesMs;
      const std::size_t i = static_cast<std::size_t>(tries++);
      return c.errors[std::min(i, c.errors.size() - 1)];
    };
    std::function<bool()> ordinary;
    if (c.ordinaryFile >= 0) ordinary = [&] { return ++checks, c.ordinaryFile == 1; };

    EXPECT_EQ(platform::RetryWhileHeld(clock, attempt, ordinary), c.result);
    EXPECT_EQ(tries, c.tries);
    // Each wait 25 ms longer than the one before; the last one may be cut to the bound.
    ASSERT_EQ(clock.waits.size(), static_cast<std::size_t>(c.tries - 1));
    for (std::size_t i = 0; i < clock.waits.size(); ++i) {
      if (i + 1 < clock.waits.size()) {
        EXPECT_EQ(clock.waits[i], 25 * (i + 1));
      } else {
        EXPECT_LE(clock.waits[i], 25 * (i + 1));
      }
    }
    // A hold that never ends is given up once 3 s have passed, and not much later.
    if (c.result == kShare || c.result == kLock || (c.result == kDenied && c.tries > 1)) {
      EXPECT_GE(clock.now - c.clockStart, 3000u);
      EXPECT_LE(clock.now - c.clockStart, 3000u + c.tryTakesMs);
    }
    // The file is looked at only to tell a hold from a read-only file.
    if (c.errors.front() == kDenied && c.ordinaryFile >= 0) {
      EXPECT_GT(checks, 0);
    } else {
      EXPECT_EQ(checks, 0);
    }
  }
}

}  // namespace
