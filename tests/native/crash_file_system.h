// An in-memory disk that records every change as the Windows file layer makes it, and
// rebuilds what a crash after any of those changes would leave. The model: creating a
// folder or file, renaming (replacing included) and deleting are done or not, in order;
// written bytes are durable once their file is flushed, and bytes not flushed yet may be
// missing, cut short or garbage. WriteFileAtomic writes "<name>.tmp<process>-<n>",
// flushes it and renames it over the target; AppendFile writes and flushes; a copy is made
// like CopyFileW (created, then filled) and is whole once it has returned. The Windows layer
// tries a call again while another program holds the file; a try that fails changes
// nothing (the temporary file waits beside the target until its rename succeeds), so those
// tries add no changes to the record.
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
  std::map<Text, File> files;       // by full path
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

  const std::vector<Op>& Ops() const { return ops_; }
  const Disk& Now() const { return disk_; }
  // The disk as it is becomes durable and the starting point of the record.
  void Forget() {
    for (auto& [path, file] : disk_.files) file.durable = file.current;
    initial_ = disk_;
    ops_.clear();
  }
  // The disk after the first `count` changes, with its unflushed bytes.
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
  // The crash: every unflushed file holds what `cut` makes of its durable and all its bytes.
  template <class Cut>
  static Disk Crash(Disk d, Cut cut) {
    for (auto& [path, file] : d.files) {
      if (file.current != file.durable) file.current = cut(file.durable, file.current);
      file.durable = file.current;
    }
    return d;
  }

  bool FolderExists(const Text& path) override { return disk_.folders.count(Folder(path)) > 0; }
  bool FileExists(const Text& path) override { return disk_.files.count(path) > 0; }
  bool CreateFolder(const Text& path) override {
    if (FolderExists(path) || FileExists(Folder(path))) return false;
    Do({Op::MakeFolder, Folder(path), {}, {}});
    return true;
  }
  std::string ReadFile(const Text& path) override {
    if (!FileExists(path)) throw core::AppError(path + u" を読み込めません");
    return disk_.files[path].current;
  }
  void WriteFileAtomic(const Text& path, const std::string& bytes) override {
    if (!CanWrite(path)) throw core::AppError(path + u" に書き込めません");
    const Text temp = path + u".tmp4242-" + core::FromUtf8(std::to_string(counter_++));
    Fill(temp, bytes);
    Do({Op::Rename, temp, path, {}});
  }
  bool AppendFile(const Text& path, const std::string& bytes) override {
    if (!CanWrite(path)) return false;
    if (!FileExists(path)) Do({Op::Create, path, {}, {}});
    Do({Op::Write, path, {}, bytes});
    Do({Op::Flush, path, {}, {}});
    return true;
  }
  bool RemoveFile(const Text& path) override {
    if (!FileExists(path)) return false;
    Do({Op::Remove, path, {}, {}});
    return true;
  }
  bool CopyFileReplacing(const Text& source, const Text& destination) override {
    if (!FileExists(source) || !CanWrite(destination)) return false;
    Fill(destination, disk_.files[source].current);
    return true;
  }
  bool ClearReadOnly(const Text& path) override { return FileExists(path); }
  platform::Listing List(const Text& folder, const Text& pattern) override {
    platform::Listing listing;
    listing.complete = FolderExists(folder);
    auto add = [&](const Text& path, bool isFolder, std::size_t size) {
      if (Parent(path) != Folder(folder)) return;
      platform::DirEntry entry{path.substr(Folder(folder).size() + 1), isFolder};
      entry.size = size;
      if (platform::MatchesNamePattern(entry.name, pattern)) listing.entries.push_back(entry);
    };
    for (const auto& [path, file] : disk_.files) add(path, false, file.current.size());
    for (const auto& [path, unused] : disk_.folders) add(path, true, 0);
    return listing;
  }
  Text ExecutablePath() override { return u"C:\\app\\Soramitsu.exe"; }

  static Text Folder(Text path) {
    while (!path.empty() && path.back() == u'\\') path.pop_back();
    return path;
  }
  static Text Parent(const Text& path) {
    const Text p = Folder(path);
    return p.substr(0, std::min(p.size(), p.rfind(u'\\')));
  }

 private:
  bool CanWrite(const Text& path) { return FolderExists(Parent(path)) && !FolderExists(path); }
  void Fill(const Text& path, const std::string& bytes) {
    Do({Op::Create, path, {}, {}});
    Do({Op::Write, path, {}, bytes});
    Do({Op::Flush, path, {}, {}});
  }
  void Do(Op op) {
    Apply(disk_, op);
    ops_.push_back(std::move(op));
  }
  static void Apply(Disk& d, const Op& op) {
    Disk::File& file = d.files[op.path];  // created where missing, as each change needs
    switch (op.kind) {
      case Op::MakeFolder: d.files.erase(op.path); d.folders[op.path] = true; break;
      case Op::Create: file = {}; break;
      case Op::Write: file.current += op.bytes; break;
      case Op::Flush: file.durable = file.current; break;
      case Op::Rename: d.files[op.to] = file; d.files.erase(op.path); break;
      case Op::Remove: d.files.erase(op.path); break;
    }
  }

  Disk disk_, initial_;
  std::vector<Op> ops_;
  unsigned counter_ = 0;
};

}  // namespace crash_test
