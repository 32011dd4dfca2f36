#pragma once
#include <optional>
#include <string>
#include "core/text.h"

namespace platform {

class Collator {
 public:
  virtual ~Collator() = default;
  // CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, ...): <0, 0 or >0.
  virtual int Compare(core::TextView a, core::TextView b) = 0;
};

// The system's ANSI code page (932 on the users' machines).
class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  virtual unsigned CodePage() const = 0;
  virtual core::Text Decode(std::string_view bytes) = 0;
  // The bytes, or nothing when some character has no exact form in the code page.
  virtual std::optional<std::string> EncodeExact(core::TextView text) = 0;
};

}  // namespace platform
