#pragma once
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/locale.h"
#include "platform/profile.h"
#include "platform/shell.h"

namespace platform {

// The services the forms call; owned by whoever builds the program (main or a test).
struct Services {
  Clipboard& clipboard;
  Shell& shell;
  SpecialFolders& specialFolders;
  ShellLinks& shellLinks;
  ProfileFile& profile;
  FileSystem& fileSystem;
  Collator& collator;
  AnsiCodePage& ansi;
  Clock& clock;
};

}  // namespace platform
