#pragma once
#include <cstdint>

namespace platform {

struct LocalDateTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() = 0;
  virtual std::uint32_t TickCount() = 0;  // GetTickCount: wraps after 49.7 days
  // Blocks the thread for about `milliseconds` (Sleep); waits are measured with TickCount.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace platform
