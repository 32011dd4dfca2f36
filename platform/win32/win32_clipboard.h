#pragma once
#include "platform/clipboard.h"
#include "platform/shell.h"

namespace platform::win32 {

// The system clipboard, Unicode text only. Each call opens and closes the clipboard once.
class Win32Clipboard : public Clipboard {
 public:
  ClipboardContent Read() override;
  void WriteText(const core::Text& text) override;
  std::uint32_t SequenceNumber() override;

  // The window that owns what WriteText puts on the clipboard (nullptr: the task).
  void SetOwner(NativeWindow owner) { owner_ = owner; }

 private:
  NativeWindow owner_ = nullptr;
};

}  // namespace platform::win32
