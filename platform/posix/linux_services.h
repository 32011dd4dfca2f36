// The Linux services in one bundle, for tools, benchmarks and tests that want all of them.
#pragma once
#include "platform/posix/memory_services.h"
#include "platform/posix/posix_services.h"
#include "platform/services.h"

namespace platform::posix {

class LinuxServices {
 public:
  LinuxServices() { shellLinks.fileSystem = &fileSystem; }
  LinuxServices(const LinuxServices&) = delete;
  LinuxServices& operator=(const LinuxServices&) = delete;

  Services Get() {
    return Services{clipboard, shell,    specialFolders, shellLinks, profile,
                    fileSystem, collator, ansi,           clock};
  }

  MemoryClipboard clipboard;
  RecordingShell shell;
  MemorySpecialFolders specialFolders;
  MemoryShellLinks shellLinks;
  PosixFileSystem fileSystem;
  PosixProfileFile profile{fileSystem};
  PosixCollator collator;
  IconvAnsiCodePage ansi;
  FixedClock clock;
};

}  // namespace platform::posix
