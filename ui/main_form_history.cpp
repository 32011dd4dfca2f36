// The clipboard history of the main window: Log.dat, the clipboard monitor, the search and
// the commands on history rows. The logic is in core/history; these are the handlers.
#include <exception>
#include <optional>
#include "core/dates.h"
#include "core/history.h"
#include "core/history_journal.h"
#include "gui/accessible_text.h"
#include "gui/announcement.h"
#include "gui/application.h"
#include "ui/main_form.h"

namespace ui {

namespace history = core::history;

namespace {

const Text kLogFileName = u"Log.dat";
const Text kEmptySearchMessage = u"検索する文字を指定して下さい";
const Text kNoResultMessage =
    u"指定した内容に該当する履歴は見つかりませんでした\r\n\r\n"
    u"この検索では大小文字を区別しています。\r\n"
    u"例えば、\"OK\"と\"ok\" は別文字となります。\r\n"
    u"ご注意下さい。";
const Text kClearQuestion = u"過去の履歴内容を本当にクリアしてよろしいですか?";
const Text kNotAnAddressNotice =
    u"この内容はURLとして開けません。\r\n"
    u"1行目が http:// または https:// で始まり、空白や引用符などを含まない場合だけ、"
    u"ブラウザで開きます。";
const Text kNoRecordsReason = u"履歴の記録が見つかりません。";
const Text kHistoryHeldNotice =
    u"\r\n読み込めるようになるまで、新しい履歴は Log.journal に保存し、読み込めるようになったら"
    u"履歴に戻します。同じ理由では、次回からこのお知らせを表示しません。";

const Text& CurrentText(const gui::Grid& grid) {
  const core::CellTable& table = grid.Table();
  return table.Cell(history::kTextCol, table.CurrentRow());
}

}  // namespace

// ---- history file ----

void TMainForm::Log_Load() {
  // Stays set if reading throws: the exit must then not overwrite the file it could not read.
  historyLoadFailed = true;
  const Text cutOff = history::CutOffDate(services.clock.Now());
  core::CellTable& table = StringGrid1.Table();
  Log_Cnt = 0;
  history::ResetHistoryTable(table);
  // Before the file is read: a file that cannot be read must not leave the hidden key
  // columns showing.
  history::SetHistoryHeaders(table);
  const Text path = DataPath + kLogFileName;
  if (services.fileSystem.FileExists(path)) {
    Memo_wk.LoadFromFile(path);
    TellKeptOriginal(Memo_wk, path);
    if (history::LacksRecordHeaders(Memo_wk.GetText())) {
      // Writing the table at exit would replace the whole of that text with this run's.
      Memo_wk.SetText({});
      throw core::AppError(kNoRecordsReason);
    }
    Log_Cnt = history::ReadHistoryRecords(table, Memo_wk.GetText(), cutOff);
    Memo_wk.SetText({});  // the table holds the texts now; the buffer keeps the encoding
  }
  history::SortHistory(table, services.collator);
  historyLoadFailed = false;
}

void TMainForm::WriteHistoryFile() {
  Memo_wk.SetText(history::HistoryFileText(StringGrid1.Table()));
  Memo_wk.SaveToFile(DataPath + kLogFileName);
  Memo_wk.SetText({});
}

// ---- history journal ----

Text TMainForm::JournalPath() const { return DataPath + history::kJournalFileName; }

void TMainForm::RecoverJournal() {
  std::optional<std::uint32_t> holdReason;
  std::vector<history::JournalRecord> left, held;
  journalRead = false;
  try {
    if (services.fileSystem.FileExists(JournalPath())) {
      for (history::JournalRecord& record :
           history::ParseJournal(services.fileSystem.ReadFile(JournalPath()), &holdReason)) {
        (record.held ? held : left).push_back(std::move(record));
      }
    }
    journalRead = true;
  } catch (const std::exception&) {
  }
  // Told once per reason: the exit marks the journal with the reason it has told of.
  if (historyLoadFailed &&
      holdReason != history::HoldReasonChecksum(historyUnreadableReason)) {
    ReportUnreadableFile(u"履歴ファイル", DataPath + kLogFileName, historyUnreadableReason,
                         kHistoryHeldNotice);
  }
  // Whatever the journal holds, start-up goes on: at worst nothing is recovered.
  try {
    const Text cutOff = history::CutOffDate(services.clock.Now());
    core::CellTable& table = StringGrid1.Table();
    const int fromCrash =
        history::RecoverJournalRecords(table, Log_Cnt, left, cutOff, services.collator);
    const int fromHold =
        history::RecoverJournalRecords(table, Log_Cnt, held, cutOff, services.collator);
    if (fromCrash > 0) {
      gui::ShowMessage(u"前回正しく終了できなかったため保存されていなかった履歴を、" +
                       core::IntToText(fromCrash) + u" 件復元しました。");
    }
    // While Log.dat still cannot be read the held texts are only shown, as at every start.
    if (fromHold > 0 && !historyLoadFailed) {
      gui::ShowMessage(u"履歴ファイルを読み込めなかった間の履歴を、" + core::IntToText(fromHold) +
                       u" 件履歴に戻しました。");
    }
  } catch (const std::exception&) {
  }
}

void TMainForm::HoldJournal() {
  // Log.dat is left as it is, so the journal stays the only copy of the history: it gets
  // what the table shows (a month's texts, no older) and the mark that this run ended
  // normally. A journal that could not be read at start-up, or cannot be rewritten now,
  // keeps what it holds: the table lacks its texts.
  if (!journalRead) return;
  history::HoldJournal(services.fileSystem, JournalPath(),
                       history::JournalRecordsOf(StringGrid1.Table()), historyUnreadableReason);
}

// ---- clipboard monitor ----

void TMainForm::Timer2Timer() {
  // Once the exit has written Log.dat a record would be shown and then lost. Ending here
  // also leaves oldStr alone, so a text copied now is still recorded should the exit fail
  // and the window stay open.
  if (historyWritten) return;

  // A result whose hand-over is still on its way is taken now.
  clipboardReader.Deliver();
  // Before the start-up text is known any text might be it. While a read is pending (a
  // program renders its copy slowly) no other starts: its text is taken when it arrives.
  if (!clipboardBaselineKnown || clipboardReader.Pending()) return;

  // An unchanged sequence number means the clipboard holds what the last successful read
  // saw, which oldStr already holds: reading again would end the tick at once. Zero means
  // the platform cannot tell (no clipboard access), so read.
  const std::uint32_t sequence = services.clipboard.SequenceNumber();
  if (haveClipboardSequence && sequence != 0 && sequence == lastClipboardSequence) return;

  clipboardReader.Start(platform::ClipboardReader::ReadOnce,
                        [this, sequence](platform::ClipboardReading reading) {
                          ClipboardArrived(sequence, std::move(reading));
                        });
}

void TMainForm::ClipboardArrived(std::uint32_t sequence, platform::ClipboardReading reading) {
  if (historyWritten) return;  // the exit has run while the read was pending

  platform::ClipboardContent first;
  if (reading) {
    first = std::move(*reading);
    lastClipboardSequence = sequence;
    haveClipboardSequence = true;
  } else {
    // Held by another program: counts as no text. oldStr may now differ from what the
    // clipboard holds, so the next tick must read.
    haveClipboardSequence = false;
  }

  if (first.text == oldStr) return;
  oldStr = first.text;
  // Marked by a password manager: remembered, so it is not picked up again, but neither
  // shown nor kept.
  if (first.excludedFromHistory) return;
  if (first.text.empty()) return;
  if (Memo_Board.GetText() == first.text) return;
  Memo_Board.SetText(first.text);

  // Stamped when it arrived: a text that a slow program took long to hand over is the
  // copy of that moment. The record keeps the text this read took; a second opening of
  // the clipboard would only hold it open again, and might meet the slow program again.
  const Text stamp = core::FormatStamp(services.clock.Now());
  // On the disk before it shows in the table. A journal that cannot be written is passed
  // over in silence: the monitor goes on, and Log.dat still gets the record at exit.
  history::AppendJournalRecord(services.fileSystem, JournalPath(), stamp, first.text);
  history::AddHistoryRecord(StringGrid1.Table(), Log_Cnt, stamp, std::move(first.text),
                            services.collator);
}

// ---- search ----

void TMainForm::SetupExtractTable() {
  core::CellTable& table = StringGrid3.Table();
  table.SetColCount(history::kColCount);
  table.SetCell(history::kTextCol, 0, Text(history::kExtractHeader));
  table.SetCell(history::kStampCol, 0, Text(history::kStampHeader));
  for (int c = 0; c < history::kColCount; ++c) table.SetColWidth(c, history::kColWidths[c]);
}

void TMainForm::SpeedB_SerchClick() {
  if (Edt_Serch.GetText().empty()) {
    gui::ShowMessage(kEmptySearchMessage);
    Edt_Serch.SetFocus();
    return;
  }
  Log_Select();
}

void TMainForm::Log_Select() {
  const core::CellTable& table = StringGrid1.Table();
  const std::vector<int> rows = history::FindHistoryRows(table, Edt_Serch.GetText());
  if (rows.empty()) {
    gui::ShowMessage(kNoResultMessage);
    return;
  }
  core::CellTable& extract = StringGrid3.Table();
  history::CopyHistoryRows(table, rows, extract);
  // Read as the search bar reads: 履歴の検索「…」.
  StringGrid3.SetAccessibleName(Label2.Caption() + u"「" + Edt_Serch.GetText() + u"」");
  StringGrid1.Hide();
  StringGrid3.Show();
  SpeedB_All.SetEnabled(true);
  extract.SetCell(history::kTextCol, 0, history::ResultHeader(static_cast<int>(rows.size())));
  gui::Announce(*this, gui::ExtractReading(static_cast<int>(rows.size())));
}

void TMainForm::SpeedB_AllClick() {
  StringGrid3.Hide();
  StringGrid1.Show();
  SpeedB_All.SetEnabled(false);
  gui::Announce(*this, gui::CountReading(gui::RecordCount(StringGrid1.Table())));
}

void TMainForm::SpeedB_ClrClick() {
  Edt_Serch.SetText({});
  Edt_Serch.SetFocus();
}

// ---- commands on history rows ----

namespace {

// Puts a chosen text on the board and, without its empty lines as the board lays it out,
// on the clipboard. Nothing happens when the board already shows it.
void ChooseText(gui::Memo& board, platform::Clipboard& clipboard, const Text& text) {
  if (board.GetText() == text) return;
  board.SetText(text);
  board.SetText(history::RebuildBoardText(board.DisplayedLines()));
  clipboard.WriteText(board.GetText());
}

}  // namespace

void TMainForm::StringGrid1Click() {
  const Text text = CurrentText(StringGrid1);
  ChooseText(Memo_Board, services.clipboard, text);
  if (URL1) URL1->SetEnabled(history::IsWebAddress(text));
}

void TMainForm::StringGrid3Click() {
  const Text text = CurrentText(StringGrid3);
  ChooseText(Memo_Board, services.clipboard, text);
  if (URL2) URL2->SetEnabled(history::IsWebAddress(text));
}

void TMainForm::N8Click() { services.clipboard.WriteText(CurrentText(StringGrid1)); }

void TMainForm::N16Click() { services.clipboard.WriteText(CurrentText(StringGrid3)); }

void TMainForm::URL1Click() {
  // The item's state may be stale (the table was sorted or reloaded): check the row again.
  const std::optional<Text> address = history::WebAddressToOpen(CurrentText(StringGrid1));
  if (!address) {
    gui::ShowMessage(kNotAnAddressNotice);
    return;
  }
  services.shell.Open(NativeHandle(), *address);
}

void TMainForm::URL3Click() {
  const std::optional<Text> address = history::WebAddressToOpen(CurrentText(StringGrid3));
  if (!address) {
    gui::ShowMessage(kNotAnAddressNotice);
    return;
  }
  services.shell.Open(NativeHandle(), *address);
}

void TMainForm::Img_ClrerClick() {
  // Clearing cannot be undone: a stray Enter answers No.
  if (!gui::AskYesNo(kClearQuestion, /*defaultNo=*/true)) return;
  const Text path = DataPath + kLogFileName;
  if (services.fileSystem.FileExists(path)) services.fileSystem.RemoveFile(path);
  // Cleared texts must not come back from the journal at the next start.
  history::DiscardJournal(services.fileSystem, JournalPath());
  Log_Load();
}

void TMainForm::Img_ClipClick() {
  // The button reads "clear clipboard": the board and the clipboard are both emptied, so a
  // text the user wants gone (a password, say) cannot be pasted any more. The monitor then
  // reads the empty text and records nothing.
  Memo_Board.SetText({});
  services.clipboard.WriteText({});
}

}  // namespace ui
