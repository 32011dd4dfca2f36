#include "platform/held_file_retry.h"

#include <algorithm>

namespace platform {

bool IsHeldFileError(std::uint32_t error, const std::function<bool()>& ordinaryFile) {
  if (error == kErrorSharingViolation || error == kErrorLockViolation) return true;
  return error == kErrorAccessDenied && ordinaryFile && ordinaryFile();
}

std::uint32_t RetryWhileHeld(Clock& clock, const std::function<std::uint32_t()>& attempt,
                             const std::function<bool()>& ordinaryFile) {
  const std::uint32_t start = clock.TickCount();
  std::uint32_t wait = 0;
  for (;;) {
    const std::uint32_t error = attempt();
    if (error == 0 || !IsHeldFileError(error, ordinaryFile)) return error;
    // Unsigned difference: right across the wrap of the 32-bit counter.
    const std::uint32_t elapsed = clock.TickCount() - start;
    if (elapsed >= kHeldFileBoundMs) return error;
    wait += kHeldFileWaitStepMs;
    clock.Sleep(std::min(wait, kHeldFileBoundMs - elapsed));
  }
}

}  // namespace platform
