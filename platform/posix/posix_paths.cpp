#include "platform/posix/posix_paths.h"

namespace platform::posix {

std::string NativePath(core::TextView path) {
  std::string native = core::ToUtf8(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

std::string NormalizedFolder(core::TextView path) {
  std::string native = NativePath(path);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  return native;
}

}  // namespace platform::posix
