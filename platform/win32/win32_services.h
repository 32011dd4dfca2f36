// The Windows services in one bundle, owned by the program's entry or a test.
#pragma once
#include "platform/services.h"
#include "platform/win32/com.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_locale.h"
#include "platform/win32/win32_profile_file.h"
#include "platform/win32/win32_shell.h"

namespace platform::win32 {

// Build it on the user-interface thread: it enters that thread's COM apartment, which the
// shell link and shell calls need, and leaves it when destroyed.
class Win32Services {
 public:
  Win32Services() = default;
  Win32Services(const Win32Services&) = delete;
  Win32Services& operator=(const Win32Services&) = delete;

  Services Get() {
    return Services{clipboard,  shell,    specialFolders, shellLinks, profile,
                    fileSystem, collator, ansi,           clock};
  }

  ComApartment apartment;  // first, so that it outlives every service
  Win32Clipboard clipboard;
  Win32Shell shell;
  Win32SpecialFolders specialFolders;
  Win32ShellLinks shellLinks;
  Win32ProfileFile profile;
  Win32FileSystem fileSystem;
  Win32Collator collator;
  Win32AnsiCodePage ansi;
  Win32Clock clock;
};

}  // namespace platform::win32
