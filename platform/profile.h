#pragma once
#include "core/text.h"

namespace platform {

// Windows private-profile (.ini) files: case-insensitive sections and keys, keys replaced
// where they stand, unknown lines kept, a missing key appended to its section and a
// missing section appended to the file.
class ProfileFile {
 public:
  virtual ~ProfileFile() = default;
  // GetPrivateProfileStringW with a 2048-character buffer.
  virtual core::Text ReadString(const core::Text& section, const core::Text& key,
                                const core::Text& defaultValue, const core::Text& path) = 0;
  // WritePrivateProfileStringW; false on failure.
  virtual bool WriteString(const core::Text& section, const core::Text& key,
                           const core::Text& value, const core::Text& path) = 0;
  // WritePrivateProfileStringW(nullptr, nullptr, nullptr, path): writes out the cache.
  virtual bool Flush(const core::Text& path) = 0;
};

}  // namespace platform
