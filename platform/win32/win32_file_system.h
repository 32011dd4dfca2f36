#pragma once
#include "platform/file_system.h"
#include "platform/win32/win32_clock.h"

namespace platform::win32 {

// Every call on a file is tried again for a moment while another program holds the file
// (platform/held_file_retry.h); then it fails as it always did.
class Win32FileSystem : public FileSystem {
 public:
  Win32FileSystem();
  // The waits between tries are measured and slept with `clock`.
  explicit Win32FileSystem(Clock& clock);
  Win32FileSystem(const Win32FileSystem&) = delete;
  Win32FileSystem& operator=(const Win32FileSystem&) = delete;

  bool FolderExists(const core::Text& path) override;
  bool FileExists(const core::Text& path) override;
  bool CreateFolder(const core::Text& path) override;
  std::string ReadFile(const core::Text& path) override;
  void WriteFileAtomic(const core::Text& path, const std::string& bytes) override;
  // FILE_APPEND_DATA, WriteFile, FlushFileBuffers.
  bool AppendFile(const core::Text& path, const std::string& bytes) override;
  bool RemoveFile(const core::Text& path) override;
  bool CopyFileReplacing(const core::Text& source, const core::Text& destination) override;
  bool ClearReadOnly(const core::Text& path) override;
  // A folder that cannot be searched at all, or a search that breaks off with an error,
  // gives complete = false; a pattern that matches nothing is a complete, empty listing.
  // Each entry carries the attributes and size FindFirstFileW returned with it.
  Listing List(const core::Text& folder, const core::Text& pattern) override;
  core::Text ExecutablePath() override;

 private:
  Win32Clock ownClock_;
  Clock& clock_;
};

}  // namespace platform::win32
