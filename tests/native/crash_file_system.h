// An in-memory disk that records every change as the Windows file layer makes it, and can
// rebuild what a crash after any of those changes would leave behind.
//
// The model: folder creation, file creation, rename (replace included) and deletion are
// done or not done, in order. Written bytes are durable once their file is flushed; bytes
// not flushed yet may be missing, cut short, or garbage. WriteFileAtomic writes a
// temporary file beside the target ("<name>.tmp<process>-<n>"), flushes it and renames it
// over the target; AppendFile writes and flushes; a copy is made like CopyFileW (the
// destination is created, then filled) and counts as durable once the copy returned.
#pragma once
#include <map>
#include <string>
#include <vector>
#include "core/text.h"
#include "platform/file_system.h"
#include "platform/name_pattern.h"

namespace crash_test {

using core::Text;

struct Disk {
  struct File {
    std::string durable, current;  // `current` = `durable` + bytes not flushed yet
  };
  std::map<Text, File> files;  // by full path
  std::map<Text, bool> folders;
};

struct Op {
  enum Kind { MakeFolder, Create, Write, Flush, Rename, Remove } kind;
  Text path, to;
  std::string bytes;
};

class CrashFileSystem : public platform::FileSystem {
 public:
  explicit CrashFileSystem(Disk disk = {}) : disk_(std::move(disk)), initial_(disk_) {}

  // The changes made since construction (or since Forget), in order.
  const std::vector<Op>& Ops() const { return ops_; }
  const Disk& Now() const { return disk_; }
  // Makes the current disk the starting point: what was written so far is durable.
  void Forget() {
    for (auto& [path, file] : disk_.files) file.durable = file.current;
    initial_ = disk_;
    ops_.clear();
  }
  // The disk after the first `count` changes, unflushed bytes still marked as such.
  Disk Replay(std::size_t count) const {
    Disk d = initial_;
    for (std::size_t i = 0; i < count; ++i) Apply(d, ops_[i]);
    return d;
  }
  static bool Unflushed(const Disk& d) {
    for (const auto& [path, file] : d.files)
      if (file.current != file.durable) return true;
    return false;
  }
  // The crash: each file shows what `cut` makes of its durable bytes and all it was given.
  template <class Cut>
  static Disk Crash(Disk d, Cut cut) {
    for (auto& [path, file] : d.files) {
      if (file.current != file.durable) file.current = cut(file.durable, file.current);
      file.durable = file.current;
    }
    return d;
  }

  bool FolderExists(const core::Text& path) override { return disk_.folders.count(Folder(path)) > 0; }
  bool FileExists(const core::Text& path) override { return disk_.files.count(path) > 0; }
  bool CreateFolder(const core::Text& path) override {
    if (FolderExists(path) || FileExists(Folder(path))) return false;
    Do({Op::MakeFolder, Folder(path), {}, {}});
    return true;
  }
  std::string ReadFile(const core::Text& path) override {
    auto it = disk_.files.find(path);
    if (it == disk_.files.end()) throw core::AppError(path + u" を読み込めません");
    return it->second.current;
  }
  void WriteFileAtomic(const core::Text& path, const std::string& bytes) override {
    if (!FolderExists(Parent(path)) || FolderExists(path)) throw core::AppError(path + u" に書き込めません");
    const Text temp = path + u".tmp4242-" + core::FromUtf8(std::to_string(counter_++));
    Do({Op::Create, temp, {}, {}});
    Do({Op::Write, temp, {}, bytes});
    Do({Op::Flush, temp, {}, {}});
    Do({Op::Rename, temp, path, {}});
  }
  bool AppendFile(const core::Text& path, const std::string& bytes) override {
    if (!FolderExists(Parent(path)) || FolderExists(path)) return false;
    if (!FileExists(path)) Do({Op::Create, path, {}, {}});
    Do({Op::Write, path, {}, bytes});
    Do({Op::Flush, path, {}, {}});
    return true;
  }
  bool RemoveFile(const core::Text& path) override {
    if (!FileExists(path)) return false;
    Do({Op::Remove, path, {}, {}});
    return true;
  }
  bool CopyFileReplacing(const core::Text& source, const core::Text& destination) override {
    if (!FileExists(source) || !FolderExists(Parent(destination)) || FolderExists(destination)) return false;
    const std::string bytes = disk_.files[source].current;
    Do({Op::Create, destination, {}, {}});
    Do({Op::Write, destination, {}, bytes});
    Do({Op::Flush, destination, {}, {}});  // the copy has returned
    return true;
  }
  bool ClearReadOnly(const core::Text& path) override { return FileExists(path); }
  platform::Listing List(const core::Text& folder, const core::Text& pattern) override {
    platform::Listing listing;
    const Text dir = Folder(folder);
    auto add = [&](const Text& path, bool isFolder) {
      if (Parent(path) != dir) return;
      platform::DirEntry entry;
      entry.name = path.substr(dir.size() + 1);
      entry.isFolder = isFolder;
      if (platform::MatchesNamePattern(entry.name, pattern)) listing.entries.push_back(entry);
    };
    for (const auto& [path, file] : disk_.files) add(path, false);
    for (const auto& [path, unused] : disk_.folders) add(path, true);
    listing.complete = FolderExists(folder);
    return listing;
  }
  core::Text ExecutablePath() override { return u"C:\\app\\Soramitsu.exe"; }

  static Text Folder(Text path) {
    while (!path.empty() && path.back() == u'\\') path.pop_back();
    return path;
  }
  static Text Parent(const Text& path) {
    const Text p = Folder(path);
    const std::size_t slash = p.rfind(u'\\');
    return slash == Text::npos ? Text() : p.substr(0, slash);
  }

 private:
  void Do(Op op) {
    Apply(disk_, op);
    ops_.push_back(std::move(op));
  }
  static void Apply(Disk& d, const Op& op) {
    switch (op.kind) {
      case Op::MakeFolder: d.folders[op.path] = true; break;
      case Op::Create: d.files[op.path] = {}; break;
      case Op::Write: d.files[op.path].current += op.bytes; break;
      case Op::Flush: d.files[op.path].durable = d.files[op.path].current; break;
      case Op::Rename: {
        Disk::File moved = d.files[op.path];
        d.files.erase(op.path);
        d.files[op.to] = std::move(moved);
        break;
      }
      case Op::Remove: d.files.erase(op.path); break;
    }
  }

  Disk disk_, initial_;
  std::vector<Op> ops_;
  unsigned counter_ = 0;
};

}  // namespace crash_test
