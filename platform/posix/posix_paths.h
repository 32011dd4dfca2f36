// Mapping of the program's Windows paths onto the Linux file system.
#pragma once
#include <string>
#include "core/text.h"

namespace platform::posix {

// "C:\x\Data\" style separators become "/"; the text becomes UTF-8.
std::string NativePath(core::TextView path);
// The same path without trailing separators ("/" stays "/"), so that folders compare equal.
std::string NormalizedFolder(core::TextView path);

}  // namespace platform::posix
