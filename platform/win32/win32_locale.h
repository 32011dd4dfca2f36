#pragma once
#include "platform/locale.h"

namespace platform::win32 {

// CompareStringW with the user's locale, letter case ignored (widths and kana kept).
class Win32Collator : public Collator {
 public:
  int Compare(core::TextView a, core::TextView b) override;
};

// The system's ANSI code page (GetACP).
class Win32AnsiCodePage : public AnsiCodePage {
 public:
  unsigned CodePage() const override;
  core::Text Decode(std::string_view bytes) override;
  std::optional<std::string> EncodeExact(core::TextView text) override;
};

}  // namespace platform::win32
