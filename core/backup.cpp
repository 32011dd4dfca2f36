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

int CopyAllFiles(platform::FileSystem& fs, const Text& fromDir, const Text& toDir) {
  if (!fs.FolderExists(fromDir) || !fs.FolderExists(toDir)) return kFolderMissing;
  const platform::Listing listing = fs.List(fromDir, u"*.*");
  for (const platform::DirEntry& entry : listing.entries) {
    if (!IsOrdinaryFile(entry)) continue;
    if (!fs.CopyFileReplacing(fromDir + entry.name, toDir + entry.name)) return kFolderFailed;
  }
  return listing.complete ? kFolderOk : kFolderFailed;
}

int DeleteAllFiles(platform::FileSystem& fs, const Text& dir) {
  if (!fs.FolderExists(dir)) return kFolderMissing;
  const platform::Listing listing = fs.List(dir, u"*.*");
  for (const platform::DirEntry& entry : listing.entries) {
    if (!IsOrdinaryFile(entry)) continue;
    if (!fs.RemoveFile(dir + entry.name)) return kFolderFailed;
  }
  return listing.complete ? kFolderOk : kFolderFailed;
}

}  // namespace core
