// The saved-entry store: index lines, the saved table, hozon.dat and the category choices.
#include <gtest/gtest.h>

#include "core/saved_store.h"
#include "core_fakes.h"
#include "form_fixture.h"
#include "recording_file_system.h"

namespace {

using core::Text;
using testing_support::U16;
using testing_support::U8;
namespace fs = std::filesystem;

// ---- Portable logic ----

TEST(UseCount, AcceptsDecimalWithLeadingBlanksAndSign) {
  EXPECT_EQ(core::ParseUseCount(u"00003"), 3);
  EXPECT_EQ(core::ParseUseCount(u"100000"), 100000);
  EXPECT_EQ(core::ParseUseCount(u"  \t12"), 12);
  EXPECT_EQ(core::ParseUseCount(u"+7"), 7);
  EXPECT_EQ(core::ParseUseCount(u"-1"), -1);
  EXPECT_EQ(core::ParseUseCount(u"2147483647"), 2147483647);
  EXPECT_EQ(core::ParseUseCount(u"-2147483648"), INT32_MIN);
}

TEST(UseCount, RejectsEverythingElse) {
  for (const Text& bad : {Text(u""), Text(u" "), Text(u"-"), Text(u"12 "), Text(u"1a"),
                          Text(u"0x10"), Text(u"$10"), Text(u"１２"), Text(u"2147483648"),
                          Text(u"-2147483649"), Text(u"99999999999999999999")}) {
    EXPECT_FALSE(core::ParseUseCount(bad).has_value()) << U8(bad);
  }
}

TEST(IndexLines, KeepsReadableEntriesAndSetsTheOthersAside) {
  const std::vector<Text> lines = {
      u"仕事,挨拶文,20240115 093012,00003",
      u"壊れた,行,20240116 100000,abc",  // use count not a number
      u"",                               // an empty line carries nothing
      u"短い,行だけ",                     // two fields
      u"趣味,,20240117 110000,7",         // empty title is fine; count reformatted
      u"余分,な,20240118 120000,00001,後ろ",  // fields after the fourth are not read
  };
  core::IndexContents c = core::ReadIndexLines(lines);
  ASSERT_EQ(c.entries.size(), 3u);
  EXPECT_EQ(c.entries[0].category, u"仕事");
  EXPECT_EQ(c.entries[0].title, u"挨拶文");
  EXPECT_EQ(c.entries[0].createdKey, u"20240115 093012");
  EXPECT_EQ(c.entries[0].useCount, u"00003");
  EXPECT_EQ(c.entries[1].title, u"");
  EXPECT_EQ(c.entries[1].useCount, u"00007");
  EXPECT_EQ(c.entries[2].useCount, u"00001");
  ASSERT_EQ(c.unreadable.size(), 2u);
  EXPECT_EQ(c.unreadable[0], lines[1]);
  EXPECT_EQ(c.unreadable[1], lines[3]);
}

// The created key names a file: only "yyyymmdd hhnnss" may, and a line with any other key
// is set aside like any other unreadable line.
TEST(IndexLines, OnlyAKeyOfTheExactFormNamesAContentFile) {
  struct Case {
    const char16_t* key;
    bool accepted;
  } cases[] = {
      {u"20240115 093012", true},   {u"00000000 000000", true},  {u"99999999 999999", true},
      {u"", false},                 {u"\\..\\..\\secret", false}, {u"..\\x", false},
      {u"2024011 0930123", false},  {u"20240115093012", false},  {u"20240115  093012", false},
      {u"20240115_093012", false},  {u"20240115\t093012", false}, {u"２0240115 093012", false},
      {u"20240115 09301a", false},  {u" 20240115 093012", false}, {u"20240115 093012 ", false},
      {u"20240115 093012\\..", false},
  };
  for (const Case& c : cases) {
    const Text line = u"cat,title," + Text(c.key) + u",00001";
    core::IndexContents contents = core::ReadIndexLines({line});
    EXPECT_EQ(contents.entries.size(), c.accepted ? 1u : 0u) << U8(c.key);
    EXPECT_EQ(contents.unreadable.size(), c.accepted ? 0u : 1u) << U8(c.key);
    EXPECT_EQ(core::IsCreatedKey(c.key), c.accepted) << U8(c.key);
    if (c.accepted) {
      EXPECT_EQ(core::ContentFileName(c.key), u"h" + Text(c.key) + u".dat");
    } else {
      EXPECT_THROW(core::ContentFileName(c.key), core::AppError) << U8(c.key);
    }
  }
}

TEST(IndexLines, SixDigitCountsRoundTrip) {
  core::IndexContents c = core::ReadIndexLines({u"a,b,20240115 093012,100000"});
  ASSERT_EQ(c.entries.size(), 1u);
  EXPECT_EQ(c.entries[0].useCount, u"100000");
}

TEST(SavedTable, FillLeavesOnePlaceholderRowWhenEmpty) {
  core::CellTable t(7, 4);
  for (int c = 1; c < 7; ++c) t.SetCell(c, 1, u"old");
  t.SetCell(1, 3, u"stale");
  core::FillSavedTable(t, {});
  EXPECT_EQ(t.RowCount(), 2);
  for (int c = 0; c < 7; ++c) EXPECT_EQ(t.Cell(c, 1), u"") << c;
}

TEST(SavedTable, FillClearsMarksAndSortKeys) {
  core::CellTable t(7, 2);
  t.SetCell(5, 1, u"×");
  t.SetCell(6, 2, u"999");
  core::FillSavedTable(t, {{u"a", u"t1", u"20240101 000000", u"00001"},
                           {u"b", u"t2", u"20240102 000000", u"00002"}});
  EXPECT_EQ(t.RowCount(), 3);
  EXPECT_EQ(t.Cell(1, 2), u"b");
  EXPECT_EQ(t.Cell(4, 2), u"00002");
  EXPECT_EQ(t.Cell(5, 1), u"");
  EXPECT_EQ(t.Cell(6, 2), u"");
}

struct Row {
  const char16_t *cat, *title, *key, *uses, *mark;
};

core::CellTable TableOf(const std::vector<Row>& rows) {
  core::CellTable t(7, static_cast<int>(rows.size()) + 1);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    int r = static_cast<int>(i) + 1;
    t.SetRow(r, {u"", rows[i].cat, rows[i].title, rows[i].key, rows[i].uses, rows[i].mark, u"x"});
  }
  return t;
}

TEST(IndexText, SortsByCategoryThenTitleStablyAndLeavesTheTableSo) {
  core_fakes::FakeCollator collator;
  core::CellTable t = TableOf({
      {u"b", u"z", u"20240101 000001", u"00001", u""},
      {u"a", u"y", u"20240101 000002", u"00002", u""},
      {u"B", u"a", u"20240101 000003", u"00003", u""},  // equal to "b" without case
      {u"a", u"y", u"20240101 000004", u"00004", u""},  // equal to row 2: keeps its place
  });
  core::IndexText out = core::BuildIndexText(t, collator);
  EXPECT_EQ(out.written, 4);
  EXPECT_EQ(U8(out.text),
            "a,y,20240101 000002,00002\r\n"
            "a,y,20240101 000004,00004\r\n"
            "B,a,20240101 000003,00003\r\n"
            "b,z,20240101 000001,00001\r\n");
  EXPECT_EQ(t.Cell(3, 1), u"20240101 000002");
  EXPECT_EQ(t.Cell(3, 3), u"20240101 000003");
  EXPECT_EQ(t.Cell(3, 4), u"20240101 000001");
}

TEST(IndexText, SkipsMarkedAndCategoryLessRowsButKeepsThemInTheTable) {
  core_fakes::FakeCollator collator;
  core::CellTable t = TableOf({
      {u"a", u"keep", u"20240101 000001", u"00001", u""},
      {u"a", u"gone", u"20240101 000002", u"00002", u"×"},
      {u"", u"nocat", u"20240101 000003", u"00003", u""},
  });
  core::IndexText out = core::BuildIndexText(t, collator);
  EXPECT_EQ(out.written, 1);
  EXPECT_EQ(U8(out.text), "a,keep,20240101 000001,00001\r\n");
  EXPECT_EQ(t.RowCount(), 4);
}

TEST(IndexText, PlaceholderOnlyTableWritesNothing) {
  core_fakes::FakeCollator collator;
  core::CellTable t(7, 2);
  core::IndexText out = core::BuildIndexText(t, collator);
  EXPECT_EQ(out.written, 0);
  EXPECT_TRUE(out.text.empty());
}

TEST(IndexText, SixDigitUseCountIsWrittenAsItStands) {
  core_fakes::FakeCollator collator;
  core::CellTable t = TableOf({{u"a", u"b", u"20240101 000001", u"100000", u""}});
  EXPECT_EQ(U8(core::BuildIndexText(t, collator).text), "a,b,20240101 000001,100000\r\n");
}

TEST(CategoryChoices, EachRunOnceInFileOrder) {
  EXPECT_EQ(U8(core::CategoryChoices({})), "\r\n");
  const Text k = u"20240115 093012";
  EXPECT_EQ(U8(core::CategoryChoices({u"a,1," + k + u",0", u"a,2," + k + u",0",
                                      u"b,1," + k + u",0", u"B,1," + k + u",0"})),
            "a\r\nb\r\nB\r\n");
  // A category-less first line is taken over by the next category.
  EXPECT_EQ(U8(core::CategoryChoices({u",1," + k + u",0", u"x,2," + k + u",0"})), "x\r\n");
  // Unreadable lines offer no category.
  EXPECT_EQ(U8(core::CategoryChoices({u"a,1," + k + u",0", u"bad,line", u"c,1,k,0"})), "a\r\n");
}

TEST(KeptLines, AppendsOnlyLinesNotKeptYet) {
  std::vector<Text> merged = core::MergeKeptLines({u"old1", u"old2"}, {u"old2", u"new", u"new"});
  EXPECT_EQ(merged, (std::vector<Text>{u"old1", u"old2", u"new"}));
}

// ---- The store in the main window ----

class SavedStore : public testing_support::AppFolderTest {
 protected:
  fs::path Index() const { return DataDir() / "hozon.dat"; }
  fs::path Kept() const { return DataDir() / "読み込めなかった保存データ.txt"; }
  const core::CellTable& Table() { return form->StringGrid2.Table(); }
};

TEST_F(SavedStore, TableHasSevenColumnsWithHeadersAndWidthsSizedLikeTheHistory) {
  ui::TMainForm& f = Start();
  const core::CellTable& t = f.StringGrid2.Table();
  ASSERT_EQ(t.ColCount(), 7);
  const char16_t* headers[] = {u"", u"カテゴリー", u"タイトル", u"作成日時", u"回数", u"", u"SORT"};
  const int widths[] = {10, 170, 400, 130, 0, 30, 0};
  for (int c = 0; c < 7; ++c) {
    EXPECT_EQ(t.Cell(c, 0), headers[c]) << c;
    EXPECT_EQ(t.ColWidth(c), widths[c]) << c;
  }
  f.StringGrid1.SetBounds({0, 0, 777, 333});
  f.SetupSavedTable();
  EXPECT_EQ(f.StringGrid2.Width(), 777);
  EXPECT_EQ(f.StringGrid2.Height(), 333);
}

TEST_F(SavedStore, NoIndexIsAnEmptyStore) {
  ui::TMainForm& f = Start();
  EXPECT_EQ(f.tbl_Cnt, 0);
  EXPECT_EQ(Table().RowCount(), 2);
  EXPECT_EQ(f.Memo_Categori.GetText(), u"");
  EXPECT_FALSE(f.indexLoadFailed);
  EXPECT_FALSE(f.Lbl_List.Enabled());
}

TEST_F(SavedStore, ZeroByteIndexOffersOneEmptyCategory) {
  WriteBytes(Index(), "");
  ui::TMainForm& f = Start();
  EXPECT_EQ(f.tbl_Cnt, 0);
  EXPECT_EQ(Table().RowCount(), 2);
  EXPECT_EQ(f.Memo_Categori.GetText(), u"\r\n");
  EXPECT_TRUE(gui::headless::ShownBoxes().empty());
}

TEST_F(SavedStore, LoadsEntriesWithFiveDigitCountsAndShowsTheHistoryIndicator) {
  WriteBytes(Index(), Cp932("仕事,挨拶文,20240115 093012,3\r\n趣味,本,20240116 080000,00012\r\n"));
  ui::TMainForm& f = Start();
  f.Img_Log1.Hide();
  f.Img_List1.Show();
  f.StringGrid2.Table().SetCell(5, 1, u"×");
  f.HozonData_Load();
  EXPECT_EQ(f.tbl_Cnt, 2);
  EXPECT_EQ(Table().RowCount(), 3);
  EXPECT_EQ(Table().Cell(4, 1), u"00003");
  EXPECT_EQ(Table().Cell(2, 2), u"本");
  EXPECT_EQ(Table().Cell(5, 1), u"");
  EXPECT_TRUE(f.Img_Log1.Visible());
  EXPECT_FALSE(f.Img_List1.Visible());
  EXPECT_TRUE(f.Lbl_List.Enabled());
  EXPECT_EQ(f.Memo_Categori.GetText(), u"仕事\r\n趣味\r\n");
}

TEST_F(SavedStore, WriteSortsSkipsAndReloadDropsTheSkippedRows) {
  WriteBytes(Index(), Cp932("b,t,20240101 000001,00001\r\na,t,20240101 000002,00002\r\n"
                            "c,t,20240101 000003,00003\r\n"));
  ui::TMainForm& f = Start();
  core::CellTable& t = f.StringGrid2.Table();
  // Rows are found by key: the load keeps file order.
  t.SetCell(5, 3, u"×");  // c: marked
  t.SetCell(1, 1, u"");   // b: lost its category
  f.HozonData_SAVE();
  EXPECT_EQ(f.tbl_Cnt, 1);
  EXPECT_EQ(ReadBytes(Index()), "a,t,20240101 000002,00002\r\n");
  EXPECT_EQ(t.RowCount(), 4);        // still in the table until the next load
  EXPECT_EQ(t.Cell(1, 1), u"");      // "" sorts first
  EXPECT_EQ(t.Cell(1, 2), u"a");
  f.HozonData_Load();
  EXPECT_EQ(t.RowCount(), 2);
  EXPECT_EQ(t.Cell(3, 1), u"20240101 000002");
}

TEST_F(SavedStore, WritingThePlaceholderGivesAZeroByteFile) {
  ui::TMainForm& f = Start();
  f.HozonData_SAVE();
  EXPECT_TRUE(fs::exists(Index()));
  EXPECT_EQ(fs::file_size(Index()), 0u);
  EXPECT_EQ(f.tbl_Cnt, 0);
}

TEST_F(SavedStore, RaisedCountOfSixDigitsIsStoredAndReadBack) {
  WriteBytes(Index(), "a,b,20240101 000001,99999\r\n");
  ui::TMainForm& f = Start();
  EXPECT_EQ(f.StringGrid2.Table().Cell(4, 1), u"99999");
  f.StringGrid2.Table().SetCell(4, 1, core::ZeroPadded(99999 + 1, 5));
  f.HozonData_SAVE();
  EXPECT_EQ(ReadBytes(Index()), "a,b,20240101 000001,100000\r\n");
  f.HozonData_Load();
  EXPECT_EQ(f.StringGrid2.Table().Cell(4, 1), u"100000");
}

TEST_F(SavedStore, NewRowNotYetWrittenIsNoCategoryChoice) {
  WriteBytes(Index(), "a,b,20240101 000001,1\r\n");
  ui::TMainForm& f = Start();
  core::CellTable& t = f.StringGrid2.Table();
  t.SetRowCount(3);
  t.SetRow(2, {u"", u"z", u"new", u"20240102 000000", u"00000"});
  f.Sub_Categori();
  EXPECT_EQ(f.Memo_Categori.GetText(), u"a\r\n");
}

TEST_F(SavedStore, MalformedLinesAreKeptReportedOnceAndTheRestSurvives) {
  const std::string bad1 = Cp932("壊れた,行,20240116 100000,abc");
  const std::string bad2 = Cp932("短い行");
  WriteBytes(Index(), Cp932("仕事,挨拶文,20240115 093012,00003\r\n") + bad1 + "\r\n" + bad2 +
                          "\r\n" + Cp932("趣味,本,20240117 110000,00001\r\n"));
  ui::TMainForm& f = Start();
  EXPECT_FALSE(f.indexLoadFailed);
  EXPECT_EQ(f.tbl_Cnt, 2);
  EXPECT_EQ(f.StringGrid2.Table().Cell(2, 2), u"本");
  EXPECT_EQ(ReadBytes(Kept()), bad1 + "\r\n" + bad2 + "\r\n");

  auto& boxes = gui::headless::ShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  const std::string notice = U8(boxes[0].text);
  EXPECT_NE(notice.find("2 行を読み込めませんでした"), std::string::npos) << notice;
  EXPECT_NE(notice.find("読み込めなかった保存データ.txt"), std::string::npos) << notice;

  // The next write keeps both readable entries; the kept lines stay in their file.
  f.HozonData_SAVE();
  EXPECT_EQ(ReadBytes(Index()), Cp932("仕事,挨拶文,20240115 093012,00003\r\n趣味,本,20240117 110000,00001\r\n"));
  EXPECT_EQ(ReadBytes(Kept()), bad1 + "\r\n" + bad2 + "\r\n");
}

TEST_F(SavedStore, LinesWithAForeignKeyAreSetAsideWithTheOtherUnreadableOnes) {
  const std::string escape = "x,secret,\\..\\..\\secret,00001";
  const std::string empty = "y,nokey,,00002";
  WriteBytes(Index(), "a,b,20240101 000001,1\r\n" + escape + "\r\nshort\r\n" + empty + "\r\n");
  ui::TMainForm& f = Start();
  EXPECT_EQ(f.tbl_Cnt, 1);
  EXPECT_EQ(ReadBytes(Kept()), escape + "\r\nshort\r\n" + empty + "\r\n");
  ASSERT_EQ(gui::headless::ShownBoxes().size(), 1u);  // one notice for all of them
  EXPECT_NE(U8(gui::headless::ShownBoxes()[0].text).find("3 行を読み込めませんでした"),
            std::string::npos);
  EXPECT_EQ(f.Memo_Categori.GetText(), u"a\r\n");
}

TEST_F(SavedStore, KeptLinesAreAppendedToEarlierOnesOnce) {
  WriteBytes(Kept(), "earlier,line\r\n");
  WriteBytes(Index(), "x,y,20240101 000001,notanumber\r\n");
  ui::TMainForm& f = Start();
  f.HozonData_Load();  // the same line again: kept once
  EXPECT_EQ(ReadBytes(Kept()), "earlier,line\r\nx,y,20240101 000001,notanumber\r\n");
  EXPECT_EQ(f.tbl_Cnt, 0);
  EXPECT_EQ(f.StringGrid2.Table().RowCount(), 2);  // the placeholder row
}

class SavedStoreFaults : public testing_support::RecordedAppTest {};

TEST_F(SavedStoreFaults, AnIndexThatCannotBeReadIsNeverOverwritten) {
  const std::string index = "a,b,20240101 000001,1\r\n";
  WriteBytes(DataDir() / "hozon.dat", index);
  ui::TMainForm& f = StartRecorded();
  recorder->failRead = [](const Text& path) { return path.find(u"hozon.dat") != Text::npos; };
  EXPECT_THROW(f.HozonData_Load(), core::AppError);
  EXPECT_TRUE(f.indexLoadFailed);
  EXPECT_THROW(f.HozonData_SAVE(), core::AppError);
  EXPECT_EQ(ReadBytes(DataDir() / "hozon.dat"), index);
}

TEST_F(SavedStoreFaults, UnreadableLinesThatCannotBeKeptLeaveTheIndexAlone) {
  const std::string index = "a,b,20240101 000001,1\r\nbroken\r\n";
  WriteBytes(DataDir() / "hozon.dat", index);
  ui::TMainForm& f = StartRecorded();
  recorder->failWrite = [](const Text& path) { return path.find(u".txt") != Text::npos; };
  EXPECT_THROW(f.HozonData_Load(), core::AppError);
  EXPECT_TRUE(f.indexLoadFailed);
  EXPECT_THROW(f.HozonData_SAVE(), core::AppError);
  EXPECT_EQ(ReadBytes(DataDir() / "hozon.dat"), index);
}

}  // namespace
