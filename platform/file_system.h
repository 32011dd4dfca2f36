#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "core/text.h"

namespace platform {

// Paths are Windows paths ("C:\app\Data\Log.dat"); the POSIX implementation maps "\" to "/".
struct DirEntry {
  core::Text name;
  bool isFolder = false;
  bool hidden = false;
  bool system = false;
  bool readOnly = false;   // a file with the read-only attribute
  std::uint64_t size = 0;  // a file's length in bytes
};

struct Listing {
  std::vector<DirEntry> entries;  // in the order the platform yields them ("." and ".." left out)
  bool complete = true;           // false when the listing broke off with an error
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool FolderExists(const core::Text& path) = 0;  // trailing backslash allowed
  virtual bool FileExists(const core::Text& path) = 0;
  virtual bool CreateFolder(const core::Text& path) = 0;  // one level
  // Whole file as bytes. Throws core::AppError when it cannot be read.
  virtual std::string ReadFile(const core::Text& path) = 0;
  // Replaces the file atomically: temporary file beside it, flushed, then renamed over it.
  // Throws core::AppError on failure; the old file is then intact.
  virtual void WriteFileAtomic(const core::Text& path, const std::string& bytes) = 0;
  // Adds the bytes at the end of the file, creating it when missing, and returns only once
  // they are on the disk (flushed), so that a crash right afterwards keeps them. False
  // when the file cannot be opened or written; a failed write may leave part of the bytes.
  virtual bool AppendFile(const core::Text& path, const std::string& bytes) = 0;
  virtual bool RemoveFile(const core::Text& path) = 0;
  // DeleteFileW. Named apart from the Win32 macros.
  // CopyFileW(source, destination, FALSE): an existing destination is replaced, a
  // read-only one refuses. A copy cut short by a crash may leave a partial destination.
  virtual bool CopyFileReplacing(const core::Text& source, const core::Text& destination) = 0;
  // Clears the read-only attribute of a file (DeleteFileW refuses such a file, CopyFileW
  // refuses to replace one and gives its copy the attribute). True when the file exists
  // and is not read-only afterwards. Callers ask only about files the listing showed
  // read-only, or after a copy onto the file failed: each call costs time per file.
  virtual bool ClearReadOnly(const core::Text& path) = 0;
  // Lists `folder` (ending in a backslash) + `pattern` ("*.*" or "*.LNK").
  virtual Listing List(const core::Text& folder, const core::Text& pattern) = 0;
  // Full path of the running executable.
  virtual core::Text ExecutablePath() = 0;
};

}  // namespace platform
