// Files held for a moment by another program.
//
// Virus scanners, search indexers, sync clients and backup tools open files for a moment,
// most often just after they were written. A call on such a file (an open, a rename over
// it, a delete, a copy) then fails although it would succeed a moment later. The Windows
// file layer runs each of its calls through RetryWhileHeld, so that such a hold costs a
// short wait instead of a failed save; the rule itself lives here, apart from the calls,
// so that it can be tried with a clock that only pretends to wait.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/clock.h"

namespace platform {

// Error numbers as Windows gives them (GetLastError).
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorSharingViolation = 32;
inline constexpr std::uint32_t kErrorLockViolation = 33;

// The waits between tries grow by this step (25, 50, 75 ... ms) ...
inline constexpr std::uint32_t kHeldFileWaitStepMs = 25;
// ... until this long has passed since the first try of the call.
inline constexpr std::uint32_t kHeldFileBoundMs = 3000;

// Whether a failure with `error` may end once another program lets go of the file. Windows
// reports a rename over an open file, or a delete of one, as access denied, the same error
// a read-only file gives: access denied counts only when `ordinaryFile` says the file is
// there and is not read-only (it is asked only then; an empty one counts as "no"). A
// read-only file thus keeps its own handling, without a wait.
bool IsHeldFileError(std::uint32_t error, const std::function<bool()>& ordinaryFile);

// Runs `attempt`, which returns 0 on success or the call's error, again after each failure
// that IsHeldFileError counts, waiting 25 ms longer each time, until it succeeds, fails
// otherwise, or kHeldFileBoundMs have passed since the first try (the last wait is cut to
// end at the bound, and one more try follows it). Returns the last try's result. Every
// try must leave things as they were when it fails, so that the next one starts afresh.
std::uint32_t RetryWhileHeld(Clock& clock, const std::function<std::uint32_t()>& attempt,
                             const std::function<bool()>& ordinaryFile = {});

}  // namespace platform
