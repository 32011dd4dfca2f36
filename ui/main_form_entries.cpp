// The commands on saved entries: save, edit, delete, open (with use counting) and copy,
// and the saving of history and extract texts as entries.
#include <functional>
#include <memory>

#include "core/history.h"
#include "core/saved_store.h"
#include "core/saved_views.h"
#include "core/text_file.h"
#include "gui/application.h"
#include "ui/edt_form.h"
#include "ui/main_form.h"

namespace ui {

namespace {

const Text kDeleteQuestion = u"この内容を本当に削除してよろしいですか?";

Text MissingContentNotice(const Text& path) {
  return u"保存した内容のファイルが見つかりません。\r\n" + path;
}

Text MissingContentBeforeEditNotice(const Text& path) {
  return MissingContentNotice(path) +
         u"\r\n\r\n編集画面には、今クリップボードにある内容が表示されます。"
         u"保存すると、その内容がこの項目の内容になります。";
}

// While the index could not be read it must not be written (it would lose the entries it
// holds), so a new entry could never be listed: its content file would be left behind with
// no entry. Tells the user so and answers true.
bool RefuseSaveWhileIndexUnread(const TMainForm& form) {
  if (!form.indexLoadFailed) return false;
  gui::ShowMessage(u"保存内容の一覧ファイルを読み込めなかったため、保存できません。\r\n" +
                   form.DataPath + core::kIndexFileName +
                   u"\r\n\r\nファイルを確認してから、ソラミツを起動し直してください。");
  return true;
}

}  // namespace

void TMainForm::WireSavedEntryEvents() {
  // Every handler runs guarded: an escaping error becomes the application's error report.
  auto handler = [this](void (TMainForm::*method)()) {
    return std::function<void()>(
        [this, method] { gui::Guarded([this, method] { (this->*method)(); }); });
  };

  Img_List.onClick = handler(&TMainForm::Img_ListClick);
  Img_List1.onClick = handler(&TMainForm::Img_ListClick);
  Img_new.onClick = handler(&TMainForm::Img_newClick);
  Img_new1.onClick = handler(&TMainForm::Img_newClick);
  // The indicator of the frequently-used view has no click action.
  Img_High.onClick = handler(&TMainForm::Img_HighClick);
  ListBox1.onSelect = handler(&TMainForm::ListBox1Click);
  StringGrid2.Table().onClick = handler(&TMainForm::StringGrid2Click);

  Img_Sv.onClick = handler(&TMainForm::Img_SvClick);
  Img_Edit.onClick = handler(&TMainForm::Img_EditClick);
  Img_Del.onClick = handler(&TMainForm::Img_DelClick);
  N9->onClick = handler(&TMainForm::N9Click);
  N10->onClick = handler(&TMainForm::N10Click);
  N14->onClick = handler(&TMainForm::N14Click);
  N15->onClick = handler(&TMainForm::N15Click);
  N19->onClick = handler(&TMainForm::N19Click);
}

bool TMainForm::ShowEntryEditor(const Text& mode) {
  wEditSw = mode;
  auto dialog = std::make_unique<TEdtForm>(*this);
  // The dialog realizes itself and sets EdtForm while it is being built.
  dialog->ShowModal();
  // Closing cleared EdtForm already; the dialog goes with this scope.
  EdtForm = nullptr;
  return wEditSw == u"OK";
}

Text TMainForm::ContentFilePath(int row) const {
  return DataPath + core::ContentFileName(StringGrid2.Table().Cell(core::kSavedColCreated, row));
}

// ---- new entries ----

void TMainForm::Img_SvClick() {
  if (RefuseSaveWhileIndexUnread(*this)) return;
  Sub_Categori();
  if (!ShowEntryEditor(u"NEW")) return;
  HozonData_SAVE();
  HozonData_Load();
  RefreshSavedView();
  if (wSortSw == u"0") {
    // The reload enabled edit and delete with the view commands; no entry is chosen here.
    Lbl_Edit.SetEnabled(false);
    Img_Edit.SetEnabled(false);
    Lbl_Del.SetEnabled(false);
    Img_Del.SetEnabled(false);
  }
}

void TMainForm::SaveTextAsEntry(const Text& text) {
  // An empty text (the empty row of an empty table) goes the same way: the editor opens
  // empty, and refuses to save until a text is typed in.
  if (RefuseSaveWhileIndexUnread(*this)) return;
  services.clipboard.WriteText(text);
  Sub_Categori();
  if (!ShowEntryEditor(u"NEW")) return;
  HozonData_SAVE();
  // The first entry of an empty store must be reachable at once through the views.
  EnableSavedCommands(tbl_Cnt != 0);
  if (wSortSw == u"0") {
    Lbl_Edit.SetEnabled(false);
    Img_Edit.SetEnabled(false);
    Lbl_Del.SetEnabled(false);
    Img_Del.SetEnabled(false);
  }
}

void TMainForm::N9Click() {
  const core::CellTable& table = StringGrid1.Table();
  SaveTextAsEntry(table.Cell(core::history::kTextCol, table.CurrentRow()));
}

void TMainForm::N19Click() {
  const core::CellTable& table = StringGrid3.Table();
  SaveTextAsEntry(table.Cell(core::history::kTextCol, table.CurrentRow()));
}

// ---- edit and delete ----

void TMainForm::Img_EditClick() {
  const core::CellTable& table = StringGrid2.Table();
  const int row = table.CurrentRow();
  if (!core::HoldsSavedEntry(table, row)) return;
  const Text path = ContentFilePath(row);
  if (!services.fileSystem.FileExists(path)) gui::ShowMessage(MissingContentBeforeEditNotice(path));
  if (!ShowEntryEditor(u"EDIT")) return;
  HozonData_SAVE();
  RefreshSavedView();
}

void TMainForm::N15Click() { Img_EditClick(); }

void TMainForm::Img_DelClick() {
  core::CellTable& table = StringGrid2.Table();
  if (!core::HoldsSavedEntry(table, table.CurrentRow())) return;
  // A deletion cannot be undone: a stray Enter answers No.
  if (!gui::AskYesNo(kDeleteQuestion, /*defaultNo=*/true)) return;
  table.SetCell(core::kSavedColMark, table.CurrentRow(), core::kDeleteMark);
  try {
    HozonData_SAVE();
  } catch (...) {
    // The index still holds the entry: so must the table, or a later write would delete it
    // without a question. The write sorted the table, so the mark is looked for.
    for (int row = 1; row < table.RowCount(); ++row) {
      if (table.Cell(core::kSavedColMark, row) == core::kDeleteMark)
        table.SetCell(core::kSavedColMark, row, Text());
    }
    throw;
  }
  HozonData_Load();
  RefreshSavedView();
}

void TMainForm::N14Click() { Img_DelClick(); }

// ---- open and copy ----

void TMainForm::StringGrid2Click() {
  core::CellTable& table = StringGrid2.Table();
  const int row = table.CurrentRow();
  Memo_Board.SetText(Text());
  // The empty row of an empty store has no content file ("h.dat" would be no entry's):
  // the board stays empty and the view dialog shows the empty row.
  if (!core::HoldsSavedEntry(table, row)) {
    if (N4->Checked()) ShowEntryEditor(u"VIEW");
    return;
  }
  const Text path = ContentFilePath(row);
  if (!services.fileSystem.FileExists(path)) {
    // The view dialog would show the clipboard's text as if it were this entry's. Said only
    // to a user who opened the entry: a view that lands on it opens no box by itself.
    if (!buildingSavedView) gui::ShowMessage(MissingContentNotice(path));
    return;
  }
  core::LineBuffer content(services.fileSystem, services.ansi);
  content.LoadFromFile(path);
  TellKeptOriginal(content, path);
  Memo_Board.SetText(content.GetText());
  services.clipboard.WriteText(Memo_Board.GetText());
  if (auto raised = core::RaisedUseCount(table.Cell(core::kSavedColUses, row)))
    table.SetCell(core::kSavedColUses, row, std::move(*raised));
  if (N4->Checked()) ShowEntryEditor(u"VIEW");
}

void TMainForm::N10Click() {
  const core::CellTable& table = StringGrid2.Table();
  const int row = table.CurrentRow();
  if (!core::HoldsSavedEntry(table, row)) return;
  const Text path = ContentFilePath(row);
  if (!services.fileSystem.FileExists(path)) {
    gui::ShowMessage(MissingContentNotice(path));
    return;
  }
  core::LineBuffer content(services.fileSystem, services.ansi);
  content.LoadFromFile(path);
  TellKeptOriginal(content, path);
  Memo_Board.SetText(content.GetText());
  services.clipboard.WriteText(Memo_Board.GetText());
}

}  // namespace ui
