// The exit sequence and the rotating backup of the data folder.
#include <chrono>
#include <exception>
#include <thread>

#include "core/backup.h"
#include "core/dates.h"
#include "core/history_journal.h"
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

// Tells later starts in the folder that the exit runs. An exit that is called off (the
// window stays open) takes it back; one that goes through leaves it until the process ends.
class ExitAnnouncement {
 public:
  ExitAnnouncement(platform::SingleInstance* instance, const bool& canClose)
      : instance_(instance), canClose_(canClose) {
    if (instance_ != nullptr) instance_->SetExiting(true);
  }
  ~ExitAnnouncement() {
    if (instance_ != nullptr && (!canClose_ || std::uncaught_exceptions() > 0))
      instance_->SetExiting(false);
  }
  ExitAnnouncement(const ExitAnnouncement&) = delete;
  ExitAnnouncement& operator=(const ExitAnnouncement&) = delete;

 private:
  platform::SingleInstance* instance_;
  const bool& canClose_;
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

Text TMainForm::SlotPath(int slot) const { return slot == 1 ? Bkup1Path : Bkup2Path; }

bool TMainForm::AutoBackup() {
  // Slot and date are chosen before anything on disk is touched, and only once per run: a
  // repeated exit must not fill the other slot with this run's data as well.
  core::BackupState state{Ini_BkupFlg, Ini_BkupDate1, Ini_BkupDate2};
  const int slot =
      core::ChooseRunSlot(state, backupSlot, core::FormatStamp(services.clock.Now()));
  Ini_BkupFlg = state.flag;
  Ini_BkupDate1 = state.date1;
  Ini_BkupDate2 = state.date2;
  const Text target = SlotPath(slot);

  FileAllDelete(target);  // a file that cannot be deleted is replaced by the copy
  {
    // While messages are handled the session may end; WMEndSession then makes the copy.
    FlagScope pending(backupCopyPending);
    Waitjob(1200);
    SetCaption(kBackupCaption);
    gui::ProcessMessages();
    if (!backupCopyPending) return backupCopySucceeded;
  }
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
  ExitAnnouncement announced(singleInstance, CanClose);
  try {
    // A history file that could not be read at start-up is left as it is on disk, and the
    // journal keeps the texts: a later start recovers them from it. Otherwise Log.dat
    // holds every record now and the journal goes, before the backup copies the folder.
    if (!historyLoadFailed) {
      WriteHistoryFile();
      core::history::DiscardJournal(services.fileSystem, JournalPath());
    } else {
      HoldJournal();
    }
    // From here on a recorded text would be shown and then lost: the monitor records none.
    historyWritten = true;
    if (!indexLoadFailed) HozonData_SAVE();
    // A failed backup has shown its message; the settings keep the last successful exit's
    // state, so the next exit backs up into the same slot again.
    if (AutoBackup() && !sessionEnded) WriteSettings();
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
  // The exit is already running (its backup pause, or the question whether to leave
  // without saving, handles messages): it goes on by itself, and the log-off must not be
  // cancelled for it. Should the session end before the exit is over, WMEndSession
  // finishes its writing.
  if (exitRunning) return true;
  bool canClose = true;
  FormCloseQuery(canClose);
  // No start can come in a session that is ending; should the log-off be cancelled, this
  // copy runs on and a later start has to find it running.
  if (singleInstance != nullptr) singleInstance->SetExiting(false);
  // Should the log-off be cancelled by another program, this one keeps running and
  // records again; the next close runs the whole sequence.
  if (!exitRunning) historyWritten = false;
  return canClose;
}

void TMainForm::WMEndSession() {
  // Only a running exit can have work left; a finished one has written everything, and
  // one that stopped at a write error has nothing more it could write.
  if (!exitRunning || !backupCopyPending) return;
  backupCopyPending = false;
  sessionEnded = true;
  // The session is going away: no box could be answered, so failures stay silent. The
  // settings follow a successful copy only, as at any exit.
  backupCopySucceeded = FileAllCopy(DataPath, SlotPath(backupSlot)) == core::kFolderOk;
  if (!backupCopySucceeded) return;
  try {
    WriteSettings();
  } catch (const std::exception&) {
  }
}

}  // namespace ui
