// Real services on Linux: files, listings, profile files, collation, code page 932.
#pragma once
#include "platform/file_system.h"
#include "platform/locale.h"
#include "platform/profile.h"

namespace platform::posix {

// Windows paths are mapped: "\" becomes "/". Hidden: a name starting with "."; system:
// never (tests mark files hidden or system with MarkAttributes). Listings come sorted by
// name (as under Wine) so that tests see one order; a folder that cannot be opened gives an
// empty listing with complete = false. A file without its owner's write permission (chmod
// u-w) is read-only, and behaves as on Windows: writing over it, copying onto it and
// deleting it fail, and its copy is read-only too. FailOperationsOn makes an operation fail.
class PosixFileSystem : public FileSystem {
 public:
  bool FolderExists(const core::Text& path) override;
  bool FileExists(const core::Text& path) override;
  bool CreateFolder(const core::Text& path) override;
  std::string ReadFile(const core::Text& path) override;
  void WriteFileAtomic(const core::Text& path, const std::string& bytes) override;
  bool AppendFile(const core::Text& path, const std::string& bytes) override;
  bool RemoveFile(const core::Text& path) override;
  bool CopyFileReplacing(const core::Text& source, const core::Text& destination) override;
  bool ClearReadOnly(const core::Text& path) override;  // chmod u+w
  Listing List(const core::Text& folder, const core::Text& pattern) override;
  core::Text ExecutablePath() override;

  // Tests place the "executable" where they like.
  void SetExecutablePath(core::Text path) { exePath_ = std::move(path); }
  // Tests give files the hidden or system attribute Linux does not have (kept in memory).
  void MarkAttributes(const core::Text& path, bool hidden, bool system);
  // Tests make the next listing of `folder` break off after `entries` entries.
  void BreakListingAfter(const core::Text& folder, int entries);
  // Tests make RemoveFile, AppendFile, and CopyFileReplacing from or to `path`, fail (a
  // locked file).
  void FailOperationsOn(const core::Text& path);

 private:
  bool Fails(const std::string& nativePath) const;

  core::Text exePath_;
  struct Marked { std::string path; bool hidden, system; };
  std::vector<Marked> marked_;
  std::vector<std::string> failing_;
  std::string brokenFolder_;
  int brokenAfter_ = -1;
};

class PosixProfileFile : public ProfileFile {
 public:
  explicit PosixProfileFile(FileSystem& fs) : fs_(fs) {}
  core::Text ReadString(const core::Text& section, const core::Text& key,
                        const core::Text& defaultValue, const core::Text& path) override;
  bool WriteString(const core::Text& section, const core::Text& key, const core::Text& value,
                   const core::Text& path) override;
  bool Flush(const core::Text& path) override;

 private:
  FileSystem& fs_;
};

// Case folding, then code-unit order.
class PosixCollator : public Collator {
 public:
  int Compare(core::TextView a, core::TextView b) override;
};

// iconv with CP932 (the default) or another code page.
class IconvAnsiCodePage : public AnsiCodePage {
 public:
  explicit IconvAnsiCodePage(unsigned codePage = 932);
  unsigned CodePage() const override { return codePage_; }
  core::Text Decode(std::string_view bytes) override;
  std::optional<std::string> EncodeExact(core::TextView text) override;

  // Conversion tables, built from iconv once per code page and shared by all instances.
  struct Tables;

 private:
  unsigned codePage_;
  const Tables* tables_;
};

}  // namespace platform::posix
