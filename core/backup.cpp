#include "core/backup.h"

namespace core {

namespace {

bool IsOrdinaryFile(const platform::DirEntry& entry) {
  return !entry.isFolder && !entry.hidden && !entry.system;
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

int CopyAllFiles(platform::FileSystem& fs, const Text& fromDir, const Text& toDir,
                 ReadOnlyFiles inToDir) {
  if (!fs.FolderExists(fromDir) || !fs.FolderExists(toDir)) return kFolderMissing;
  const bool makeWritable = inToDir == ReadOnlyFiles::MakeWritable;
  const platform::Listing listing = fs.List(fromDir, u"*.*");
  for (const platform::DirEntry& entry : listing.entries) {
    if (!IsOrdinaryFile(entry)) continue;
    const Text destination = toDir + entry.name;
    // A destination that does not exist yet simply has nothing to clear.
    if (makeWritable && fs.FileExists(destination)) fs.ClearReadOnly(destination);
    if (!fs.CopyFileReplacing(fromDir + entry.name, destination)) return kFolderFailed;
    // The next backup into this slot must be able to delete or replace the copy. The copy
    // itself is complete either way, and a later backup clears the attribute again.
    if (makeWritable) fs.ClearReadOnly(destination);
  }
  return listing.complete ? kFolderOk : kFolderFailed;
}

int DeleteAllFiles(platform::FileSystem& fs, const Text& dir, ReadOnlyFiles inDir) {
  if (!fs.FolderExists(dir)) return kFolderMissing;
  const platform::Listing listing = fs.List(dir, u"*.*");
  for (const platform::DirEntry& entry : listing.entries) {
    if (!IsOrdinaryFile(entry)) continue;
    const Text path = dir + entry.name;
    // A failure to clear shows in the deletion that follows.
    if (inDir == ReadOnlyFiles::MakeWritable) fs.ClearReadOnly(path);
    if (!fs.RemoveFile(path)) return kFolderFailed;
  }
  return listing.complete ? kFolderOk : kFolderFailed;
}

}  // namespace core
