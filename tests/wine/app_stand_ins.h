// Stand-ins for the services of a real form under Wine: the real file system with a scratch
// folder as the executable's folder (so Data\ and the backups land there), and a clipboard
// that only keeps its text, so that tests never race the display's clipboard.
#pragma once
#include <cstdint>
#include <utility>

#include "core/text.h"
#include "platform/clipboard.h"
#include "platform/win32/win32_file_system.h"

namespace wine_tests {

class AppFolderFileSystem : public platform::win32::Win32FileSystem {
 public:
  explicit AppFolderFileSystem(core::Text exe) : exe_(std::move(exe)) {}
  core::Text ExecutablePath() override { return exe_; }

 private:
  core::Text exe_;
};

class StandInClipboard : public platform::Clipboard {
 public:
  platform::ClipboardContent Read() override { return {text, false}; }
  void WriteText(const core::Text& t) override {
    text = t;
    ++sequence;
  }
  std::uint32_t SequenceNumber() override { return sequence; }
  core::Text text;
  std::uint32_t sequence = 1;
};

}  // namespace wine_tests
