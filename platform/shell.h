#pragma once
#include "core/text.h"

namespace platform {

// Opaque owner window for shell calls (an HWND on Windows, nullptr elsewhere).
using NativeWindow = void*;

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecuteW(owner, "Open", target, nullptr, nullptr, SW_SHOW). False when the shell
  // reports that it could not open the target (a missing file, no program for its type).
  virtual bool Open(NativeWindow owner, const core::Text& target) = 0;
};

class SpecialFolders {
 public:
  virtual ~SpecialFolders() = default;
  // Path of a CSIDL special folder without a trailing backslash; empty when unknown.
  virtual core::Text GetDirectoryFromCSIDL(int nFolder) = 0;
};

inline constexpr int kCsidlDesktop = 0;
inline constexpr int kCsidlStartup = 7;

class ShellLinks {
 public:
  virtual ~ShellLinks() = default;
  // Saves `linkPath` (a full .lnk path) pointing at `target` with `workingDirectory`.
  virtual bool CreateLink(const core::Text& target, const core::Text& workingDirectory,
                          const core::Text& linkPath) = 0;
  // Target of the link file, or empty when it cannot be loaded.
  virtual core::Text GetLinkTarget(const core::Text& linkPath) = 0;
};

}  // namespace platform
