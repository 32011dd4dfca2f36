// The exit sequence and the rotating backup of the data folder.
#include <chrono>
#include <thread>

#include "core/backup.h"
#include "core/dates.h"
#include "ui/main_form.h"

namespace ui {

namespace {

const Text kBackupCaption = u"只今、自動バックアップ中です。";
const Text kBackupFailed = u"自動バックアップ中にエラーが発生しました";
const Text kLeaveWithoutSaving =
    u"データを保存できなかったため、終了を取りやめました。\r\n"
    u"保存せずに終了しますか？\r\n"
    u"（「はい」を選ぶと、今回の変更は失われます。）";

// Clears a flag however the scope is left.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

int TMainForm::FileAllCopy(const Text& FromDir, const Text& ToDir) {
  return core::CopyAllFiles(services.fileSystem, FromDir, ToDir);
}

int TMainForm::FileAllDelete(const Text& FromDir) {
  return core::DeleteAllFiles(services.fileSystem, FromDir);
}

void TMainForm::Waitjob(int Waittime) {
  const std::uint32_t wait = Waittime > 0 ? static_cast<std::uint32_t>(Waittime) : 0;
  const std::uint32_t start = services.clock.TickCount();
  for (;;) {
    gui::ProcessMessages();
    if (core::TicksElapsed(start, services.clock.TickCount()) > wait) return;
    // Yields the processor between passes; far below what the window's response needs.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

bool TMainForm::AutoBackup() {
  // Slot and date are chosen before anything on disk is touched.
  core::BackupState state{Ini_BkupFlg, Ini_BkupDate1, Ini_BkupDate2};
  const int slot = core::RotateBackup(state, core::FormatStamp(services.clock.Now()));
  Ini_BkupFlg = state.flag;
  Ini_BkupDate1 = state.date1;
  Ini_BkupDate2 = state.date2;
  const Text& target = slot == 1 ? Bkup1Path : Bkup2Path;

  FileAllDelete(target);  // a file that cannot be deleted is replaced by the copy
  Waitjob(1200);
  SetCaption(kBackupCaption);
  gui::ProcessMessages();
  if (FileAllCopy(DataPath, target) != core::kFolderOk) {
    gui::ShowMessage(kBackupFailed);
    return false;
  }
  return true;
}

void TMainForm::N17Click() {
  gui::ShowMessage(core::BackupInformationText({Ini_BkupFlg, Ini_BkupDate1, Ini_BkupDate2},
                                               Bkup1Path, Bkup2Path));
}

void TMainForm::FormCloseQuery(bool& CanClose) {
  // A close request that arrives while the sequence waits for the backup is ignored; the
  // running sequence completes and closes the window. A second run would rotate to the
  // other slot as well and leave both slots holding the same data.
  if (exitRunning) {
    CanClose = false;
    return;
  }
  FlagScope running(exitRunning);
  try {
    // A history file that could not be read at start-up is left as it is on disk.
    if (!historyLoadFailed) WriteHistoryFile();
    // From here on a recorded text would be shown and then lost: the monitor records none.
    historyWritten = true;
    if (!indexLoadFailed) HozonData_SAVE();
    // A failed backup has shown its message; the settings keep the last successful exit's
    // state, so the next exit backs up into the same slot again.
    if (AutoBackup()) WriteSettings();
  } catch (const std::exception& error) {
    // Nothing could be stored safely: the window stays open with everything in memory,
    // unless the user chooses to leave without saving.
    gui::ShowErrorBox(gui::ErrorReportFor(error));
    if (gui::AskYesNo(kLeaveWithoutSaving, /*defaultNo=*/true)) return;
    CanClose = false;
    historyWritten = false;  // the next close starts again with the history file
  } catch (...) {
    gui::ShowErrorBox(gui::UnknownErrorText());
    if (gui::AskYesNo(kLeaveWithoutSaving, /*defaultNo=*/true)) return;
    CanClose = false;
    historyWritten = false;
  }
}

bool TMainForm::WMQueryEndSession() {
  bool canClose = true;
  FormCloseQuery(canClose);
  // Should the log-off be cancelled by another program, this one keeps running and
  // records again; the next close runs the whole sequence.
  if (!exitRunning) historyWritten = false;
  return canClose;
}

}  // namespace ui
