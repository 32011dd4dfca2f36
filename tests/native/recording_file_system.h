// A file system decorator for tests of the data files and the backup: it records what is
// written, copied and removed, and can make single operations fail.
#pragma once
#include <functional>
#include <string>
#include <vector>
#include "core/text.h"
#include "form_fixture.h"
#include "platform/file_system.h"

namespace testing_support {

class RecordingFileSystem : public platform::FileSystem {
 public:
  explicit RecordingFileSystem(platform::FileSystem& inner) : inner_(inner) {}

  // Events as "write X", "copy X -> Y", "remove X", "clear X" (read-only attribute),
  // "read X" with paths after `root`.
  std::vector<std::string> events;
  core::Text root;
  bool recordReads = false;
  // The n-th copy from now on (1 = the next) fails, as a locked or vanished file would.
  int failCopyNumber = -1;
  // The n-th copy from now on leaves half of the file and reports success all the same.
  int cutCopyNumber = -1;
  // WriteFileAtomic throws (the old file stays) or ReadFile throws for these paths.
  // AppendFile fails for the paths of failWrite as well.
  std::function<bool(const core::Text&)> failWrite;
  std::function<bool(const core::Text&)> failRead;

  bool FolderExists(const core::Text& path) override { return inner_.FolderExists(path); }
  bool FileExists(const core::Text& path) override { return inner_.FileExists(path); }
  bool CreateFolder(const core::Text& path) override { return inner_.CreateFolder(path); }
  std::string ReadFile(const core::Text& path) override {
    if (recordReads) Record("read " + Short(path));
    if (failRead && failRead(path)) throw core::AppError(path + u" を読み込めません");
    return inner_.ReadFile(path);
  }
  void WriteFileAtomic(const core::Text& path, const std::string& bytes) override {
    Record("write " + Short(path));
    if (failWrite && failWrite(path)) throw core::AppError(path + u" に書き込めません");
    inner_.WriteFileAtomic(path, bytes);
  }
  bool AppendFile(const core::Text& path, const std::string& bytes) override {
    Record("append " + Short(path));
    if (failWrite && failWrite(path)) return false;
    return inner_.AppendFile(path, bytes);
  }
  bool RemoveFile(const core::Text& path) override {
    Record("remove " + Short(path));
    return inner_.RemoveFile(path);
  }
  bool CopyFileReplacing(const core::Text& source, const core::Text& destination) override {
    Record("copy " + Short(source) + " -> " + Short(destination));
    if (failCopyNumber > 0 && --failCopyNumber == 0) return false;
    if (cutCopyNumber > 0 && --cutCopyNumber == 0) {
      const std::string bytes = inner_.ReadFile(source);
      inner_.WriteFileAtomic(destination, bytes.substr(0, bytes.size() / 2));
      return true;
    }
    return inner_.CopyFileReplacing(source, destination);
  }
  bool ClearReadOnly(const core::Text& path) override {
    Record("clear " + Short(path));
    return inner_.ClearReadOnly(path);
  }
  platform::Listing List(const core::Text& folder, const core::Text& pattern) override {
    return inner_.List(folder, pattern);
  }
  core::Text ExecutablePath() override { return inner_.ExecutablePath(); }

  // Index of the first event that starts with `prefix`, or -1.
  int IndexOf(const std::string& prefix) const {
    for (std::size_t i = 0; i < events.size(); ++i) {
      if (events[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    }
    return -1;
  }
  int Count(const std::string& prefix) const {
    int n = 0;
    for (const auto& e : events) n += e.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

 private:
  void Record(std::string event) { events.push_back(std::move(event)); }
  std::string Short(const core::Text& path) const {
    core::Text p = path;
    if (!root.empty() && p.rfind(root, 0) == 0) p = p.substr(root.size());
    for (char16_t& u : p) {
      if (u == u'\\') u = u'/';
    }
    while (!p.empty() && p.front() == u'/') p.erase(0, 1);
    return core::ToUtf8(p);
  }

  platform::FileSystem& inner_;
};

// The main window over a recording file system (the settings file goes through it too).
class RecordedAppTest : public AppFolderTest {
 protected:
  ui::TMainForm& StartRecorded() {
    form.reset();
    recorder = std::make_unique<RecordingFileSystem>(services_.fileSystem);
    recorder->root = U16(root.string());
    profile = std::make_unique<platform::posix::PosixProfileFile>(*recorder);
    services = std::make_unique<platform::Services>(platform::Services{
        services_.clipboard, services_.shell, services_.specialFolders, services_.shellLinks,
        *profile, *recorder, services_.collator, services_.ansi, services_.clock});
    form = std::make_unique<ui::TMainForm>(*services);
    Settle();
    return *form;
  }
  void TearDown() override {
    form.reset();
    AppFolderTest::TearDown();
  }

  std::unique_ptr<RecordingFileSystem> recorder;
  std::unique_ptr<platform::posix::PosixProfileFile> profile;
};

}  // namespace testing_support
