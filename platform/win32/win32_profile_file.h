#pragma once
#include "platform/profile.h"

namespace platform::win32 {

// GetPrivateProfileStringW / WritePrivateProfileStringW: the system keeps the file's format.
class Win32ProfileFile : public ProfileFile {
 public:
  core::Text ReadString(const core::Text& section, const core::Text& key,
                        const core::Text& defaultValue, const core::Text& path) override;
  bool WriteString(const core::Text& section, const core::Text& key, const core::Text& value,
                   const core::Text& path) override;
  // Always true: Windows versions differ in what the flush call returns, and its writes
  // have been reported by WriteString already.
  bool Flush(const core::Text& path) override;
};

}  // namespace platform::win32
