// The saved-entry views of the main window: by category, recently saved, frequently used.
// The orders themselves are in core/saved_views; these handlers switch the window.
#include <functional>
#include <initializer_list>
#include <utility>

#include "core/saved_store.h"
#include "core/saved_views.h"
#include "gui/accessible_text.h"
#include "gui/announcement.h"
#include "gui/application.h"
#include "ui/main_form.h"

namespace ui {

namespace {

const Text kCategoryViewTitle = u"カテゴリー順";
const Text kRecentViewTitle = u"最近保存した順";
const Text kFrequentViewTitle = u"よく使う順";

}  // namespace

void TMainForm::SwitchToSavedView(const Text& title) {
  for (gui::Control* control : std::initializer_list<gui::Control*>{
           &Label2, &Edt_Serch, &SpeedB_Serch, &SpeedB_Clr, &SpeedB_All, &StringGrid3})
    control->Hide();
  Lbl_Titol.SetCaption(title);
  StringGrid2.SetAccessibleName(title);
  gui::Announce(*this, gui::CountReading(gui::RecordCount(StringGrid2.Table())));
}

void TMainForm::ShowViewIndicator(gui::Image& indicator) {
  for (gui::Image* image : {&Img_Log1, &Img_List1, &Img_new1, &Img_High1})
    image->SetVisible(image == &indicator);
}

void TMainForm::Img_ListClick() {
  SwitchToSavedView(kCategoryViewTitle);
  Sub_ListBox();
}

void TMainForm::Img_newClick() {
  SwitchToSavedView(kRecentViewTitle);
  Sub_SORT1();
}

void TMainForm::Img_HighClick() {
  SwitchToSavedView(kFrequentViewTitle);
  Sub_SORT2();
}

void TMainForm::Sub_ListBox() {
  wSortSw = u"1";
  ShowViewIndicator(Img_List1);
  ListBox1.Show();
  ListBox1.Clear();
  core::CellTable& table = StringGrid2.Table();
  core::SortByCategory(table, services.collator);
  for (Text& item : core::CategoryListItems(table)) ListBox1.Add(std::move(item));
  StringGrid1.Hide();
  StringGrid2.Show();
  if (tbl_Cnt > 0) ListBox1.SetSelected(0);
  EnableSavedCommands(tbl_Cnt != 0);
  ShowFirstSavedEntry();
}

void TMainForm::Sub_SORT1() {
  ShowViewIndicator(Img_new1);
  wSortSw = u"2";
  ListBox1.Hide();
  core::SortNewestFirst(StringGrid2.Table(), services.collator);
  StringGrid1.Hide();
  StringGrid2.Show();
  EnableSavedCommands(tbl_Cnt != 0);
  ShowFirstSavedEntry();
}

void TMainForm::Sub_SORT2() {
  ShowViewIndicator(Img_High1);
  wSortSw = u"3";
  ListBox1.Hide();
  core::SortMostUsedFirst(StringGrid2.Table(), services.collator);
  StringGrid1.Hide();
  StringGrid2.Show();
  EnableSavedCommands(tbl_Cnt != 0);
  ShowFirstSavedEntry();
}

void TMainForm::ShowFirstSavedEntry() {
  // The view lands on row 1 by itself: the user did not choose that entry.
  const bool wasBuilding = std::exchange(buildingSavedView, true);
  try {
    MoveSavedCell(core::kSavedColCategory, 1);
  } catch (...) {
    buildingSavedView = wasBuilding;
    throw;
  }
  buildingSavedView = wasBuilding;
  StringGrid2.SetFocus();
}

void TMainForm::ListBox1Click() {
  const int selected = ListBox1.Selected();
  if (selected < 0 || selected >= static_cast<int>(ListBox1.Items().size())) return;
  // Coming from the bottom, the grid scrolls up only as far as the found row needs, so that
  // row ends up at the top. Passing the last row opens nothing: only the entry the jump
  // lands on counts as opened.
  const core::CellTable& table = StringGrid2.Table();
  const int fromCol = table.CurrentCol();
  const int fromRow = table.CurrentRow();
  const int lastRow = table.RowCount() - 1;
  PlaceSavedCellQuietly(fromCol, lastRow);
  const bool found =
      Serch_Sec(core::kSavedColCategory, ListBox1.Items()[static_cast<std::size_t>(selected)]);
  // Landing on the last row from column 1 looked like no move to the search; it was one.
  const bool landedUnseen = table.CurrentRow() == lastRow && fromCol == core::kSavedColCategory;
  if (found && landedUnseen && fromRow != lastRow && table.onClick) table.onClick();
  // The real grid lays its rows out once the handler is done, and would then only bring
  // the found row into view from wherever it stood: ask for it at the top instead.
  if (found) StringGrid2.ShowRowAtTop(table.CurrentRow());
}

bool TMainForm::Serch_Sec(int SNo, const Text& SMoji) {
  gui::BusyCursor busy;
  const core::CellTable& table = StringGrid2.Table();
  const int row = core::FindPrefixRow(table, SNo, SMoji);
  if (row == 0) {
    StringGrid2.SetFocus();
    return false;
  }
  MoveSavedCell(core::kSavedColCategory, row);
  StringGrid2.SetFocus();
  return true;
}

void TMainForm::RefreshSavedView() {
  if (wSortSw == u"1") Sub_ListBox();
  if (wSortSw == u"2") Sub_SORT1();
  if (wSortSw == u"3") Sub_SORT2();
}

void TMainForm::PlaceSavedCellQuietly(int col, int row) {
  core::CellTable& table = StringGrid2.Table();
  std::function<void()> onClick = std::move(table.onClick);
  table.onClick = nullptr;
  table.SetCurrentRow(row);
  table.SetCurrentCol(col);
  table.onClick = std::move(onClick);
}

void TMainForm::MoveSavedCell(int col, int row) {
  const core::CellTable& table = StringGrid2.Table();
  const bool moves = table.CurrentCol() != col || table.CurrentRow() != row;
  PlaceSavedCellQuietly(col, row);
  // One move of the cell opens the entry it reaches once, however many coordinates change.
  if (moves && table.onClick) table.onClick();
}

}  // namespace ui
