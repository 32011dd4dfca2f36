#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include "core/table_utils.h"
#include "tests/native/core_fakes.h"

namespace {

using core::CellTable;
using core::GridSort;
using core::InStr;
using core::Piece;
using core::Text;

class GridSortTest : public ::testing::Test {
 protected:
  // Rows given as lists of cells, from column 0; the header row is set apart.
  void Load(const std::vector<std::vector<Text>>& rows) {
    table.SetRowCount(static_cast<int>(rows.size()) + 1);
    table.SetRow(0, {u"", u"H1", u"H2", u"H3", u"H4", u"H5"});
    for (std::size_t r = 0; r < rows.size(); ++r) table.SetRow(static_cast<int>(r) + 1, rows[r]);
  }
  std::vector<Text> Col(int c) {
    auto items = table.Column(c);
    items.erase(items.begin());
    return items;
  }
  CellTable table{6, 2};
  core_fakes::FakeCollator collator;
};

TEST_F(GridSortTest, OneDataRowIsLeftAlone) {
  Load({{u"", u"", u"", u""}});
  GridSort(table, 1, collator);
  EXPECT_EQ(table.Row(1), std::vector<Text>(6));
  Load({{u"m", u"z", u"y"}});
  GridSort(table, 1, collator);
  EXPECT_EQ(table.Cell(1, 1), u"z");
  EXPECT_EQ(collator.calls, 0);
}

TEST_F(GridSortTest, EqualTextsIgnoringCaseKeepTheirOrder) {
  Load({{u"", u"abc", u"b", u"first"}, {u"", u"ABC", u"a", u"second"}});
  GridSort(table, 1, collator);
  EXPECT_EQ(Col(3), (std::vector<Text>{u"first", u"second"}));
}

TEST_F(GridSortTest, SwapsWholeRowsHiddenColumnsIncluded) {
  Load({{u"m1", u"abc", u"b", u"first", u"h1", u"x1"},
        {u"m2", u"ABC", u"a", u"second", u"h2", u"x2"}});
  table.SetColWidth(4, 0);
  table.SetColWidth(5, 0);
  GridSort(table, 2, collator);
  EXPECT_EQ(table.Row(1), (std::vector<Text>{u"m2", u"ABC", u"a", u"second", u"h2", u"x2"}));
  EXPECT_EQ(table.Row(2), (std::vector<Text>{u"m1", u"abc", u"b", u"first", u"h1", u"x1"}));
  EXPECT_EQ(table.Cell(1, 0), u"H1");
}

TEST_F(GridSortTest, AllEmptyColumnKeepsTheOrder) {
  Load({{u"", u"c", u""}, {u"", u"a", u""}, {u"", u"b", u""}});
  GridSort(table, 2, collator);
  EXPECT_EQ(Col(1), (std::vector<Text>{u"c", u"a", u"b"}));
}

TEST_F(GridSortTest, SortingByFourThenThreeOrdersByThreeWithTiesByFour) {
  Load({{u"", u"r1", u"", u"b", u"2"},
        {u"", u"r2", u"", u"a", u"3"},
        {u"", u"r3", u"", u"b", u"1"},
        {u"", u"r4", u"", u"a", u"1"},
        {u"", u"r5", u"", u"B", u"0"}});
  GridSort(table, 4, collator);
  GridSort(table, 3, collator);
  EXPECT_EQ(Col(1), (std::vector<Text>{u"r4", u"r2", u"r5", u"r3", u"r1"}));
}

TEST_F(GridSortTest, CurrentCellKeepsItsNumbersAndNoClickRuns) {
  Load({{u"", u"c"}, {u"", u"a"}, {u"", u"b"}});
  int clicks = 0;
  table.onClick = [&] { ++clicks; };
  table.SetCurrentRow(3);
  clicks = 0;
  GridSort(table, 1, collator);
  EXPECT_EQ(table.CurrentRow(), 3);
  EXPECT_EQ(table.Cell(1, 3), u"c");
  EXPECT_EQ(clicks, 0);
}

TEST_F(GridSortTest, DigitKeysOfUnequalLengthGoThroughTheLocaleComparison) {
  Load({{u"", u"9"}, {u"", u"10"}, {u"", u"09"}});
  GridSort(table, 1, collator);
  EXPECT_EQ(Col(1), (std::vector<Text>{u"09", u"10", u"9"}));
  EXPECT_GT(collator.calls, 0);
}

TEST_F(GridSortTest, EqualLengthDigitKeysSortLikeTheLocaleComparison) {
  // The same keys through the digit fast path and, with one letter added, through the
  // collator must give the same order of the digit rows, ties kept in place.
  std::mt19937 random(7);
  std::vector<std::vector<Text>> rows;
  for (int i = 0; i < 300; ++i) {
    Text key = core::ZeroPadded(static_cast<std::int64_t>(random() % 50), 6);
    rows.push_back({u"", key, core::IntToText(i)});
  }
  Load(rows);
  GridSort(table, 1, collator);
  EXPECT_EQ(collator.calls, 0);
  auto fastKeys = Col(1);
  auto fastIds = Col(2);

  rows.push_back({u"", u"zzzzzz", u"last"});
  Load(rows);
  GridSort(table, 1, collator);
  EXPECT_GT(collator.calls, 0);
  auto slowKeys = Col(1);
  auto slowIds = Col(2);
  slowKeys.pop_back();
  slowIds.pop_back();
  EXPECT_EQ(fastKeys, slowKeys);
  EXPECT_EQ(fastIds, slowIds);
  EXPECT_TRUE(std::is_sorted(fastKeys.begin(), fastKeys.end()));
}

TEST_F(GridSortTest, LargeTablesSortStably) {
  const int n = 20000;
  std::vector<std::vector<Text>> rows;
  for (int i = 0; i < n; ++i) rows.push_back({u"", core::IntToText(i % 7), core::IntToText(i)});
  Load(rows);
  GridSort(table, 1, collator);
  for (int r = 2; r <= n; ++r) {
    const Text& a = table.Cell(1, r - 1);
    const Text& b = table.Cell(1, r);
    ASSERT_LE(a, b);
    if (a == b) {
      ASSERT_LT(std::stoi(core::ToUtf8(table.Cell(2, r - 1))), std::stoi(core::ToUtf8(table.Cell(2, r))));
    }
  }
}

TEST(Piece, FieldsOfACommaList) {
  EXPECT_EQ(Piece(u"a,b,c", u",", 2, 2), u"b");
  EXPECT_EQ(Piece(u"a,b,c", u",", 3, 3), u"c");
  EXPECT_EQ(Piece(u"a,b,c", u",", 4, 4), u"");
  EXPECT_EQ(Piece(u"a,b,c", u",", 1, 2), u"a,b");
  EXPECT_EQ(Piece(u"a,b,c", u",", 2, 5), u"b,c");
  EXPECT_EQ(Piece(u"a,b,c", u",", 3, 1), u"c");  // P2 raised to P1
  EXPECT_EQ(Piece(u"a,b,c", u",", 0, 1), u"a");
  EXPECT_EQ(Piece(u"a,b,c", u",", 1, 1), u"a");
}

TEST(Piece, EmptyFields) {
  EXPECT_EQ(Piece(u"a,,c", u",", 2, 2), u"");
  EXPECT_EQ(Piece(u"a,,c", u",", 3, 3), u"c");
  EXPECT_EQ(Piece(u"a,b,", u",", 3, 3), u"");
  EXPECT_EQ(Piece(u",b", u",", 1, 1), u"");
}

TEST(Piece, NoDelimiterEmptyTextAndEmptyDelimiter) {
  EXPECT_EQ(Piece(u"abc", u",", 1, 1), u"abc");
  EXPECT_EQ(Piece(u"abc", u",", 2, 2), u"");
  EXPECT_EQ(Piece(u"", u",", 1, 1), u"");
  EXPECT_EQ(Piece(u"", u",", 2, 2), u"");
  EXPECT_EQ(Piece(u"a,b", u"", 1, 1), u"a,b");
  EXPECT_EQ(Piece(u"a,b", u"", 2, 2), u"");
}

TEST(Piece, MultiCharacterDelimiterSearchesAfterThePreviousOccurrence) {
  EXPECT_EQ(Piece(u"a:::b", u"::", 2, 2), u":b");
  EXPECT_EQ(Piece(u"a:::b", u"::", 1, 1), u"a");
}

TEST(Piece, ExtremeFieldNumbersReturnNormally) {
  EXPECT_EQ(Piece(u"a,b", u",", 2, 2147483647), u"b");
  EXPECT_EQ(Piece(u"a,b", u",", -5, -5), u"");
  EXPECT_EQ(Piece(u"a,b", u",", 0, 0), u"");
  EXPECT_EQ(Piece(u"日本,語", u",", 2, 2), u"語");
}

TEST(InStr, StartPositionsAndCase) {
  EXPECT_EQ(InStr(1, u"a,b", u","), 2);
  EXPECT_EQ(InStr(2, u"a,b", u","), 2);  // a match at the start counts
  EXPECT_EQ(InStr(3, u"a,b", u","), 0);
  EXPECT_EQ(InStr(4, u"a,b", u","), 0);
  EXPECT_EQ(InStr(1, u"ABC", u"b"), 0);
  EXPECT_EQ(InStr(1, u"ABC", u"BC"), 2);
  EXPECT_EQ(InStr(1, u"ab", u"abc"), 0);
}

TEST(InStr, EmptyTexts) {
  EXPECT_EQ(InStr(1, u"abc", u""), 0);
  EXPECT_EQ(InStr(1, u"", u""), 0);
  EXPECT_EQ(InStr(1, u"", u"a"), 0);
}

TEST(InStr, CountsCodeUnits) {
  EXPECT_EQ(InStr(1, u"\U0001F600,x", u","), 3);  // a surrogate pair is two units
}

}  // namespace
