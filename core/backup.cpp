#include "core/backup.h"

#include <map>

#include "core/history_journal.h"
#include "core/saved_store.h"

namespace core {

namespace {

bool IsOrdinaryFile(const platform::DirEntry& entry) {
  return !entry.isFolder && !entry.hidden && !entry.system;
}

// Names as Windows compares them in a folder (ASCII letters without case).
Text Folded(Text name) {
  for (char16_t& c : name)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return name;
}

bool AllDigits(TextView s) {
  if (s.empty()) return false;
  for (char16_t c : s)
    if (c < u'0' || c > u'9') return false;
  return true;
}

bool IsOwnDataFileName(TextView name) {
  if (name == u"Log.dat" || name == history::kJournalFileName || name == kIndexFileName ||
      name == kUnreadableIndexFileName)
    return true;
  // The kept original of a file that was read with replaced characters.
  if (name.find(u"_元の内容") != TextView::npos && name.ends_with(u".txt")) return true;
  // "h" + created key + ".dat"
  return name.size() == 20 && name.front() == u'h' && name.substr(16) == u".dat" &&
         IsCreatedKey(name.substr(1, 15));
}

}  // namespace

int RotateBackup(BackupState& state, const Text& stamp) {
  if (state.flag != 0) {
    state.flag = 0;
    state.date2 = stamp;
    return 2;
  }
  state.flag = 1;
  state.date1 = stamp;
  return 1;
}

int ChooseRunSlot(BackupState& state, int& runSlot, const Text& stamp) {
  if (runSlot != 1 && runSlot != 2) {
    runSlot = RotateBackup(state, stamp);
    return runSlot;
  }
  (runSlot == 1 ? state.date1 : state.date2) = stamp;
  return runSlot;
}

Text BackupInformationText(const BackupState& state, const Text& bkup1Path,
                           const Text& bkup2Path) {
  if (state.date1.empty() && state.date2.empty()) return u"バックアップは一度も実行されていません";
  if (state.date1.empty()) {
    return u"バックアップは、" + state.date2 + u" に　" + bkup2Path + u"フォルダに保存されています。";
  }
  return u"バックアップは、\r\n" + state.date1 + u" に　" + bkup1Path + u"フォルダに" + u"\r\n" +
         state.date2 + u" に　" + bkup2Path + u"フォルダに" + u"\r\n" + u"保存されています。";
}

bool IsLeftoverTemporary(TextView name) {
  const std::size_t tmp = name.rfind(u".tmp");
  if (tmp == TextView::npos) return false;
  const TextView numbers = name.substr(tmp + 4);
  const std::size_t dash = numbers.find(u'-');
  return dash != TextView::npos && AllDigits(numbers.substr(0, dash)) &&
         AllDigits(numbers.substr(dash + 1)) && IsOwnDataFileName(name.substr(0, tmp));
}

void RemoveLeftoverTemporaries(platform::FileSystem& fs, const Text& dataDir) {
  const platform::Listing listing = fs.List(dataDir, u"*.*");
  for (const platform::DirEntry& entry : listing.entries) {
    if (entry.isFolder || !IsLeftoverTemporary(entry.name)) continue;
    fs.RemoveFile(dataDir + entry.name);
  }
}

int CopyAllFiles(platform::FileSystem& fs, const Text& fromDir, const Text& toDir,
                 ReadOnlyFiles inToDir) {
  if (!fs.FolderExists(fromDir) || !fs.FolderExists(toDir)) return kFolderMissing;
  const bool makeWritable = inToDir == ReadOnlyFiles::MakeWritable;
  const platform::Listing listing = fs.List(fromDir, u"*.*");
  std::map<Text, std::uint64_t> copied;
  for (const platform::DirEntry& entry : listing.entries) {
    if (!IsOrdinaryFile(entry) || IsLeftoverTemporary(entry.name)) continue;
    const Text source = fromDir + entry.name, destination = toDir + entry.name;
    // The attributes are asked about only when a copy fails: a read-only destination (a
    // slot filled by an older version) loses the attribute and the copy is tried again.
    if (!fs.CopyFileReplacing(source, destination) &&
        !(makeWritable && fs.FileExists(destination) && fs.ClearReadOnly(destination) &&
          fs.CopyFileReplacing(source, destination)))
      return kFolderFailed;
    // A copy is read-only exactly when its source is. The next backup into this slot must
    // be able to delete or replace it; the copy itself is complete either way.
    if (makeWritable && entry.readOnly) fs.ClearReadOnly(destination);
    copied[Folded(entry.name)] = entry.size;
  }
  if (!listing.complete) return kFolderFailed;
  // The backup counts only once every copy is known whole: one listing of the slot gives
  // each copy's size, without a call per file.
  const platform::Listing result = fs.List(toDir, u"*.*");
  for (const platform::DirEntry& entry : result.entries) {
    auto it = copied.find(Folded(entry.name));
    if (it != copied.end() && !entry.isFolder && entry.size == it->second) copied.erase(it);
  }
  return copied.empty() ? kFolderOk : kFolderFailed;
}

int DeleteAllFiles(platform::FileSystem& fs, const Text& dir, ReadOnlyFiles inDir) {
  if (!fs.FolderExists(dir)) return kFolderMissing;
  const platform::Listing listing = fs.List(dir, u"*.*");
  for (const platform::DirEntry& entry : listing.entries) {
    if (!IsOrdinaryFile(entry)) continue;
    const Text path = dir + entry.name;
    // A failure to clear shows in the deletion that follows.
    if (entry.readOnly && inDir == ReadOnlyFiles::MakeWritable) fs.ClearReadOnly(path);
    if (!fs.RemoveFile(path)) return kFolderFailed;
  }
  return listing.complete ? kFolderOk : kFolderFailed;
}

}  // namespace core
