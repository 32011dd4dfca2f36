#pragma once
#include "platform/clipboard.h"
#include "platform/shell.h"

namespace platform::win32 {

// The system clipboard, Unicode text only. Each read opens and closes the clipboard once;
// a write tries again while another program holds it open, for up to a second.
class Win32Clipboard : public Clipboard {
 public:
  Win32Clipboard() = default;
  Win32Clipboard(const Win32Clipboard&) = delete;
  Win32Clipboard& operator=(const Win32Clipboard&) = delete;
  ~Win32Clipboard() override;  // on the thread that wrote, like every window

  ClipboardContent Read() override;
  void WriteText(const core::Text& text) override;
  std::uint32_t SequenceNumber() override;

  // The window that owns what WriteText puts on the clipboard. Without one, a hidden
  // message-only window of this object owns it: with no owner at all, Windows documents
  // that SetClipboardData after EmptyClipboard fails.
  void SetOwner(NativeWindow owner) { owner_ = owner; }

 private:
  NativeWindow Owner();

  NativeWindow owner_ = nullptr;
  NativeWindow ownWindow_ = nullptr;
};

}  // namespace platform::win32
