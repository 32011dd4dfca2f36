#pragma once
#include <cstdint>
#include "core/text.h"

namespace platform {

// What one open of the clipboard yields.
struct ClipboardContent {
  core::Text text;            // empty when the clipboard holds no Unicode text
  bool excludedFromHistory = false;  // marked by a password manager
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Throws core::AppError when the clipboard cannot be opened (held by another program).
  virtual ClipboardContent Read() = 0;
  core::Text ReadText() { return Read().text; }
  // Replaces the whole clipboard with `text`. A clipboard held open by another program is
  // waited for a moment; one that this program's own read holds open (a read may wait for
  // a slow program for long) fails at once. Throws core::AppError on failure.
  virtual void WriteText(const core::Text& text) = 0;
  // Changes whenever any program changes the clipboard.
  virtual std::uint32_t SequenceNumber() = 0;
};

}  // namespace platform
