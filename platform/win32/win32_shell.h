#pragma once
#include "platform/shell.h"

namespace platform::win32 {

class Win32Shell : public Shell {
 public:
  bool Open(NativeWindow owner, const core::Text& target) override;
};

class Win32SpecialFolders : public SpecialFolders {
 public:
  core::Text GetDirectoryFromCSIDL(int nFolder) override;
};

// Shell link files through the shell link object; needs a COM apartment on the thread.
class Win32ShellLinks : public ShellLinks {
 public:
  // Throws core::AppError when the shell link object or its interfaces are not available.
  bool CreateLink(const core::Text& target, const core::Text& workingDirectory,
                  const core::Text& linkPath) override;
  core::Text GetLinkTarget(const core::Text& linkPath) override;
};

}  // namespace platform::win32
