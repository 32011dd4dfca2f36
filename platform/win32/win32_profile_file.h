#pragma once
#include <string>
#include <vector>
#include "platform/profile.h"
#include "platform/win32/win32_clock.h"

namespace platform::win32 {

// GetPrivateProfileStringW / WritePrivateProfileStringW: the system keeps the file's format.
//
// The system rewrites the file in place at each write, so a crash or a full disk could leave
// it half written. The writes therefore go to a copy beside it, and Flush puts the copy in
// place with one rename: the file holds either all the values of a writing or none of them.
// Reads of a path that has writes pending see the copy. A failed write drops the copy, so the
// file stays as it was.
//
// Every call waits a moment while another program holds the file (held_file_retry.h). A
// file held past that wait reads as missing, as the system reads it; it is then not written
// in this run either, so that the defaults never replace the values it keeps.
class Win32ProfileFile : public ProfileFile {
 public:
  Win32ProfileFile();
  // The waits between tries are measured and slept with `clock`.
  explicit Win32ProfileFile(Clock& clock);
  Win32ProfileFile(const Win32ProfileFile&) = delete;
  Win32ProfileFile& operator=(const Win32ProfileFile&) = delete;
  ~Win32ProfileFile() override;  // drops copies never flushed

  core::Text ReadString(const core::Text& section, const core::Text& key,
                        const core::Text& defaultValue, const core::Text& path) override;
  bool WriteString(const core::Text& section, const core::Text& key, const core::Text& value,
                   const core::Text& path) override;
  // Writes out the system's cache and renames the copy over the file; false when that fails.
  bool Flush(const core::Text& path) override;

 private:
  struct Pending {
    std::wstring target, copy;
  };
  Pending* Find(const std::wstring& target);
  Pending* Begin(const std::wstring& target);  // nullptr when the file may not be written
  void Drop(const std::wstring& target);

  std::vector<Pending> pending_;
  std::vector<std::wstring> unread_;  // files held past the wait when read
  Win32Clock ownClock_;
  Clock& clock_;
};

}  // namespace platform::win32
