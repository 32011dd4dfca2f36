// The rotating backup of the data folder: two slot folders written in turn at each exit.
#pragma once
#include <cstdint>
#include "core/text.h"
#include "platform/file_system.h"

namespace core {

// The rotation state kept in the settings file between runs.
struct BackupState {
  int flag = 1;      // 0: the next backup goes to slot 1; any other value: slot 2
  Text date1, date2;  // stamps of the last backup into each slot, empty when none
};

// Chooses the slot of this backup (1 or 2), moves the flag on to the other slot and
// records `stamp` as that slot's date.
int RotateBackup(BackupState& state, const Text& stamp);

// The slot of a backup within one run. The first backup of a run rotates (`runSlot` 0: none
// chosen yet) and remembers its slot in `runSlot`. A later one, when the exit is repeated
// after a failed settings write or a log-off that another program cancelled, goes to the
// same slot and only renews that slot's date: the flag is not moved again, so the other
// slot keeps the older generation.
int ChooseRunSlot(BackupState& state, int& runSlot, const Text& stamp);

// The text of the backup information message.
Text BackupInformationText(const BackupState& state, const Text& bkup1Path,
                           const Text& bkup2Path);

// Milliseconds between two readings of the 32-bit tick counter, right across its wrap.
inline std::uint32_t TicksElapsed(std::uint32_t start, std::uint32_t now) { return now - start; }

// Folder operations on the ordinary files lying directly in a folder (not folders, not
// hidden, not system; read-only files count). Folders end in a backslash.
inline constexpr int kFolderOk = 0;
inline constexpr int kFolderMissing = -1;
inline constexpr int kFolderFailed = -2;  // a file failed, or the listing broke off

// What the operations may do to read-only files of the folder they change. Windows refuses
// to delete or replace such a file and copies the attribute along, so a backup slot that
// received one could never be emptied or refilled again. Only a slot's files may lose the
// attribute: the data folder is the user's, and its attributes are never touched.
enum class ReadOnlyFiles { Keep, MakeWritable };

// Copies each file of `fromDir` into `toDir`, replacing same-named files, leftover
// temporary files left out; stops at the first copy that fails. A listing that broke off
// is a failure even when every listed file was copied, since files are missing from the
// copy; so is a copy that the listing of `toDir` afterwards does not show with its
// source's size. With MakeWritable a copy of a read-only file loses the attribute, and a
// read-only file in `toDir` that refused to be replaced loses it and is replaced;
// attributes are asked about only then. `fromDir` is only read.
int CopyAllFiles(platform::FileSystem& fs, const Text& fromDir, const Text& toDir,
                 ReadOnlyFiles inToDir = ReadOnlyFiles::MakeWritable);
// Deletes each file of `dir`; stops at the first deletion that fails. With MakeWritable a
// file the listing shows read-only loses the attribute first.
int DeleteAllFiles(platform::FileSystem& fs, const Text& dir,
                   ReadOnlyFiles inDir = ReadOnlyFiles::MakeWritable);

// A temporary file the program's own atomic write left behind when it was killed half-way:
// the name of one of its data files ("Log.dat", "Log.journal", "hozon.dat", a content file,
// the file of set-aside index lines) followed by ".tmp", digits, "-", digits. Nothing else
// matches, so that no file of the user's is ever taken for one.
bool IsLeftoverTemporary(TextView name);

// Start-up: deletes the leftover temporary files lying in the data folder (they may hold
// texts the user cleared since). One that cannot be deleted stays; the backup skips it.
void RemoveLeftoverTemporaries(platform::FileSystem& fs, const Text& dataDir);

}  // namespace core
