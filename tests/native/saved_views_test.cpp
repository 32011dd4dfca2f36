// The saved-entry views: their orders, what each shows, the category jump and the refresh.
#include <gmock/gmock.h>
#include "core/saved_views.h"
#include "tests/native/saved_entries_support.h"

namespace saved_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Four entries in this starting order.
const std::vector<Entry> kFour = {
    {"home", "b", "20240105 120000", "00002", "text 1"},
    {"work", "a", "20240101 090000", "00005", "text 2"},
    {"home", "a", "20240103 080000", "00005", "text 3"},
    {"work", "c", "20240105 120000", "00001", "text 4"},
};

class SavedViewsTest : public SavedEntriesTest {
 protected:
  // The entries named by their starting row, in the table's order.
  std::vector<std::string> Order() {
    std::vector<std::string> rows;
    for (int r = 1; r < Saved().RowCount(); ++r)
      for (std::size_t i = 0; i < kFour.size(); ++i)
        if (U8(Saved().Cell(core::kSavedColCategory, r)) == kFour[i].category &&
            U8(Saved().Cell(core::kSavedColTitle, r)) == kFour[i].title)
          rows.push_back(std::to_string(i + 1));
    return rows;
  }
};

TEST_F(SavedViewsTest, EachViewsOrderTitleIndicatorAndControls) {
  struct Case {
    gui::Image ui::TMainForm::*button;
    gui::Image ui::TMainForm::*indicator;
    const char* code;
    const char* title;
    std::vector<std::string> order;
  };
  for (const Case& c : {Case{&ui::TMainForm::Img_List, &ui::TMainForm::Img_List1, "1",
                             "カテゴリー順", {"3", "1", "2", "4"}},
                        Case{&ui::TMainForm::Img_new, &ui::TMainForm::Img_new1, "2",
                             "最近保存した順", {"4", "1", "3", "2"}},
                        Case{&ui::TMainForm::Img_High, &ui::TMainForm::Img_High1, "3",
                             "よく使う順", {"2", "3", "1", "4"}}}) {
    SCOPED_TRACE(c.title);
    ui::TMainForm& f = StartWith(kFour);
    (f.*c.button).Click();
    EXPECT_EQ(Order(), c.order);
    EXPECT_EQ(U8(f.wSortSw), c.code);
    EXPECT_EQ(U8(f.Lbl_Titol.Caption()), c.title);
    EXPECT_EQ(U8(f.StringGrid2.AccessibleName()), c.title) << "what a screen reader calls it";
    for (gui::Image* image : {&f.Img_Log1, &f.Img_List1, &f.Img_new1, &f.Img_High1})
      EXPECT_EQ(image->Visible(), image == &(f.*c.indicator));
    EXPECT_TRUE(f.StringGrid2.Visible() && f.StringGrid2.FocusRequested());
    for (gui::Control* hidden : std::initializer_list<gui::Control*>{
             &f.StringGrid1, &f.StringGrid3, &f.Label2, &f.Edt_Serch, &f.SpeedB_Serch,
             &f.SpeedB_Clr, &f.SpeedB_All})
      EXPECT_FALSE(hidden->Visible());
    EXPECT_EQ(f.ListBox1.Visible(), c.code == std::string("1"));
    EXPECT_EQ(Commands(), "on on on");
    // The current cell stayed at row 1, column 1: nothing was opened.
    EXPECT_EQ(Board(), "");
  }
  Start().Img_List.Click();
  EXPECT_THAT(ListItems(), ElementsAre("home", "work"));
  EXPECT_EQ(form->ListBox1.Selected(), 0);
}

TEST_F(SavedViewsTest, RecentViewSortKeysAndEntriesOfTheSameSecond) {
  ui::TMainForm& f = StartWith(kFour);
  f.Img_new.Click();
  // Keys fall in the order before the reversal, so they rise now.
  EXPECT_THAT(Column(core::kSavedColSort),
              ElementsAre("9999999995", "9999999996", "9999999997", "9999999998"));
  f.Img_new1.Click();
  EXPECT_THAT(Order(), ElementsAre("1", "4", "3", "2"));
}

TEST_F(SavedViewsTest, FrequentViewRanksCountsByValueThenTitleThenCategory) {
  StartWith({{"a", "x", "20240101 000001", "00003", "t"},
             {"c", "many", "20240101 000002", "100000", "t"},
             {"b", "y", "20240101 000003", "00003", "t"},
             {"b", "x", "20240101 000004", "00003", "t"},
             {"c", "almost", "20240101 000005", "99999", "t"}});
  form->Img_High.Click();
  EXPECT_THAT(Keys(), ElementsAre("20240101 000002", "20240101 000005", "20240101 000003",
                                  "20240101 000004", "20240101 000001"));
}

TEST_F(SavedViewsTest, EnteringAViewAwayFromTheFirstCellOpensTheNewFirstEntryOnce) {
  ui::TMainForm& f = StartWith(kFour);
  ScriptEditor();
  f.N4->SetChecked(true);
  Saved().SelectByUser(2, 3);
  ASSERT_THAT(editorModes, ElementsAre("VIEW"));
  f.Img_new.Click();  // row and column both change
  EXPECT_EQ(U8(Saved().Cell(core::kSavedColUses, 1)), "00002");  // entry 4, was 00001
  EXPECT_EQ(Board(), "text 4");
  EXPECT_EQ(ClipboardText(), "text 4");
  EXPECT_THAT(editorModes, ElementsAre("VIEW", "VIEW"));
  f.Img_List.Click();  // already at row 1, column 1
  EXPECT_EQ(editorModes.size(), 2u);
}

TEST_F(SavedViewsTest, EmptyStoreShowsOneEmptyItemAndItsEmptyRowOpensEmpty) {
  ui::TMainForm& f = StartWith({});
  ScriptEditor();
  f.N4->SetChecked(true);
  f.Img_List.Click();  // greyed: ignored
  EXPECT_EQ(U8(f.wSortSw), "0");
  f.Img_List1.Click();  // the indicator stays usable
  EXPECT_EQ(U8(f.wSortSw), "1");
  EXPECT_THAT(ListItems(), ElementsAre(""));
  EXPECT_EQ(f.ListBox1.Selected(), -1);
  EXPECT_EQ(Commands(), "off off off");
  f.Memo_Board.SetText(u"board");
  Saved().SelectByUser(2, 1);  // the empty row: the board empties and the view dialog opens
  EXPECT_EQ(Board(), "");
  EXPECT_THAT(editorModes, ElementsAre("VIEW"));
  EXPECT_THAT(gui::headless::ShownBoxes(), IsEmpty()) << "no file is missing";
  f.Img_High1.Click();  // no action
  EXPECT_EQ(U8(f.wSortSw), "1");
}

TEST_F(SavedViewsTest, ChoosingACategoryOpensItsFirstEntryOnly) {
  std::vector<Entry> ten;  // category "m" from row 5 on
  for (int i = 1; i <= 10; ++i)
    ten.push_back({i < 5 ? "a" : "m", std::string(1, static_cast<char>('a' + i)),
                   "2024010" + std::to_string(i % 10) + " 000000", "00000",
                   "text " + std::to_string(i)});
  ui::TMainForm& f = StartWith(ten);
  f.Img_List.Click();
  ScriptEditor();
  f.N4->SetChecked(true);
  f.PlaceSavedCellQuietly(2, 3);
  f.ListBox1.SelectByUser(1);
  EXPECT_EQ(Saved().CurrentRow(), 5);
  EXPECT_EQ(Saved().CurrentCol(), 1);
  EXPECT_EQ(Board(), "text 5");
  EXPECT_EQ(U8(Saved().Cell(core::kSavedColUses, 5)), "00001");
  EXPECT_EQ(U8(Saved().Cell(core::kSavedColUses, 10)), "00000") << "passed, not opened";
  EXPECT_THAT(editorModes, ElementsAre("VIEW"));
  EXPECT_EQ(f.StringGrid2.RowAskedAtTop(), 5) << "the found row is shown at the top";
  // Shown by the search, and again when the view dialog it opened had closed.
  EXPECT_EQ(gui::headless::BusyCursorShows(), 2);
  EXPECT_FALSE(gui::BusyCursorShown()) << "and took it away again";
  f.ListBox1.SetSelected(0);  // the program's selection does not jump
  EXPECT_EQ(Saved().CurrentRow(), 5);
  // A category that starts on the last row is opened too; choosing it again does not move.
  f.PlaceSavedCellQuietly(1, 1);
  Saved().SetCell(core::kSavedColCategory, 10, u"z");
  f.ListBox1.Add(u"z");
  f.ListBox1.SelectByUser(2);
  EXPECT_EQ(Board(), "text 10");
  f.ListBox1.SelectByUser(2);
  EXPECT_EQ(U8(Saved().Cell(core::kSavedColUses, 10)), "00001");
}

TEST(SavedViewRules, CategoryListItemsAndRaisedCounts) {
  auto items = [](std::vector<const char16_t*> categories) {
    core::CellTable table(core::kSavedColCount, static_cast<int>(categories.size()) + 1);
    for (std::size_t i = 0; i < categories.size(); ++i)
      table.SetCell(core::kSavedColCategory, static_cast<int>(i) + 1, categories[i]);
    return core::CategoryListItems(table);
  };
  EXPECT_THAT(items({u"", u"a", u"a", u"b"}), ElementsAre(u"a", u"b"));
  EXPECT_THAT(items({u""}), ElementsAre(u""));
  EXPECT_THAT(items({u"A", u"a", u"A"}), ElementsAre(u"A", u"a", u"A"));  // exact comparison
  core::CellTable prefixes(core::kSavedColCount, 3);
  prefixes.SetCell(core::kSavedColCategory, 1, u"ab");
  prefixes.SetCell(core::kSavedColCategory, 2, u"abc");
  EXPECT_EQ(core::FindPrefixRow(prefixes, core::kSavedColCategory, u"abc"), 2);
  EXPECT_EQ(core::FindPrefixRow(prefixes, core::kSavedColCategory, u"a"), 1);
  EXPECT_EQ(core::FindPrefixRow(prefixes, core::kSavedColCategory, u"b"), 0);

  EXPECT_EQ(core::RaisedUseCount(u"99999"), u"100000");
  // Raising further would write a count the index cannot read back.
  EXPECT_EQ(core::RaisedUseCount(u"2147483647"), std::nullopt);
  EXPECT_EQ(core::RaisedUseCount(u"x"), std::nullopt);
}

}  // namespace
}  // namespace saved_test
