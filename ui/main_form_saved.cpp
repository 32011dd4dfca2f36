// The saved-entry store of the main window: the saved table, hozon.dat and the category
// choices.
#include "core/saved_store.h"
#include "ui/main_form.h"

namespace ui {

namespace {

struct SavedColumn {
  const char16_t* header;
  int width;
};

// Column 5 holds the delete mark and has no header; columns 4 and 6 are hidden.
constexpr SavedColumn kSavedColumns[core::kSavedColCount] = {
    {u"", 10},     {u"カテゴリー", 170}, {u"タイトル", 400}, {u"作成日時", 130},
    {u"回数", 0},  {u"", 30},           {u"SORT", 0},
};

}  // namespace

void TMainForm::SetupSavedTable() {
  core::CellTable& table = StringGrid2.Table();
  table.SetColCount(core::kSavedColCount);
  for (int c = 0; c < core::kSavedColCount; ++c) {
    table.SetCell(c, 0, kSavedColumns[c].header);
    table.SetColWidth(c, kSavedColumns[c].width);
  }
  StringGrid2.SetWidth(StringGrid1.Width());
  StringGrid2.SetHeight(StringGrid1.Height());
}

void TMainForm::HozonData_Load() {
  // Stays set if reading fails: the exit must then not write the half-loaded table over
  // the index it could not read.
  indexLoadFailed = true;
  tbl_Cnt = 0;
  Img_Log1.Show();
  Img_List1.Hide();
  Img_new1.Hide();
  Img_High1.Hide();

  core::CellTable& table = StringGrid2.Table();
  core::FillSavedTable(table, {});

  const Text indexPath = DataPath + core::kIndexFileName;
  if (services.fileSystem.FileExists(indexPath)) {
    Memo_wk.LoadFromFile(indexPath);
    TellKeptOriginal(Memo_wk, indexPath);
    core::IndexContents contents = core::ReadIndexLines(Memo_wk.Lines());
    if (!contents.unreadable.empty()) {
      // Kept before anything else happens: once they are safe on disk the next index write
      // may leave them out. If keeping them fails, the load counts as failed and the index
      // stays as it is.
      const Text keptPath = DataPath + core::kUnreadableIndexFileName;
      core::LineBuffer kept(services.fileSystem, services.ansi);
      std::vector<Text> alreadyKept;
      if (services.fileSystem.FileExists(keptPath)) {
        kept.LoadFromFile(keptPath);
        TellKeptOriginal(kept, keptPath);
        alreadyKept = kept.Lines();
      }
      Text keptText;
      for (const Text& line : core::MergeKeptLines(alreadyKept, contents.unreadable)) {
        keptText += line;
        keptText += u"\r\n";
      }
      kept.SetText(keptText);
      try {
        kept.SaveToFile(keptPath);
      } catch (const core::AppError&) {
        throw core::AppError(keptPath + u" に書き込めません");
      }
      gui::ShowMessage(
          core::UnreadableLinesNotice(static_cast<int>(contents.unreadable.size()), keptPath));
    }
    core::FillSavedTable(table, contents.entries);
    tbl_Cnt = static_cast<int>(contents.entries.size());
  }
  indexLoadFailed = false;
  EnableSavedCommands(tbl_Cnt != 0);
}

void TMainForm::HozonData_SAVE() {
  if (indexLoadFailed) {
    // The table does not hold what the index holds; writing it would lose entries.
    throw core::AppError(u"保存データの一覧を読み込めなかったため、" + DataPath +
                         core::kIndexFileName + u" に書き込めません");
  }
  tbl_Cnt = 0;
  core::IndexText index = core::BuildIndexText(StringGrid2.Table(), services.collator);
  tbl_Cnt = index.written;
  Memo_wk.SetText(index.text);
  Memo_wk.SaveToFile(DataPath + core::kIndexFileName);
}

void TMainForm::Sub_Categori() {
  const Text indexPath = DataPath + core::kIndexFileName;
  if (!services.fileSystem.FileExists(indexPath)) {
    Memo_Categori.SetText(Text());
    return;
  }
  // A reader of its own, so that the encoding Memo_wk remembers stays that of its files.
  core::LineBuffer reader(services.fileSystem, services.ansi);
  reader.LoadFromFile(indexPath);
  Memo_Categori.SetText(core::CategoryChoices(reader.Lines()));
}

}  // namespace ui
