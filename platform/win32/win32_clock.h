#pragma once
#include "platform/clock.h"

namespace platform::win32 {

class Win32Clock : public Clock {
 public:
  LocalDateTime Now() override;
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace platform::win32
