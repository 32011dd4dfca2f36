#include <gtest/gtest.h>

#include "core/cell_table.h"

namespace {

using core::CellTable;
using core::Text;

class CellTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    table.onClick = [this] { ++clicks; };
    table.onChanged = [this] { ++changes; };
  }
  void Fill(int rows) {
    table.SetRowCount(rows);
    for (int r = 1; r < rows; ++r) table.SetCell(1, r, u"row" + core::IntToText(r));
  }
  CellTable table{5, 5};
  int clicks = 0;
  int changes = 0;
};

TEST_F(CellTableTest, RowsCutOffByTheCountComeBackWhenItGrows) {
  Fill(5);
  table.SetRowCount(2);
  EXPECT_EQ(table.RowCount(), 2);
  table.SetRowCount(5);
  EXPECT_EQ(table.Cell(1, 2), u"row2");
  EXPECT_EQ(table.Cell(1, 3), u"row3");
  EXPECT_EQ(table.Cell(1, 4), u"row4");
  // Rows beyond the count can be read and written as the data model needs.
  table.SetRowCount(2);
  table.SetCell(1, 4, u"");
  table.SetRowCount(5);
  EXPECT_EQ(table.Cell(1, 4), u"");
  EXPECT_EQ(table.Cell(1, 3), u"row3");
}

TEST_F(CellTableTest, ColumnsCutOffByTheCountComeBackWhenItGrows) {
  table.SetCell(4, 1, u"hidden");
  table.SetColCount(3);
  EXPECT_EQ(table.Row(1).size(), 3u);
  table.SetColCount(5);
  EXPECT_EQ(table.Cell(4, 1), u"hidden");
}

TEST_F(CellTableTest, NeverWrittenCellsReadEmpty) {
  EXPECT_EQ(table.Cell(3, 3), u"");
  EXPECT_EQ(table.Cell(100, 100000), u"");
  table.SetRowCount(100000);
  EXPECT_EQ(table.Cell(1, 99999), u"");
}

TEST_F(CellTableTest, WidthsDefaultTo64AndHiddenColumnsKeepTheirTexts) {
  EXPECT_EQ(table.ColWidth(0), 64);
  EXPECT_EQ(table.ColWidth(4), 64);
  table.SetColWidth(2, 0);
  table.SetCell(2, 1, u"secret");
  EXPECT_EQ(table.ColWidth(2), 0);
  EXPECT_EQ(table.ColWidth(3), 64);
  EXPECT_EQ(table.Cell(2, 1), u"secret");
}

TEST_F(CellTableTest, ProgramMovesRunTheClickHandlerOnlyOnRealChange) {
  table.SetCurrentRow(1);  // already current
  table.SetCurrentCol(1);
  EXPECT_EQ(clicks, 0);
  table.SetCurrentRow(3);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(table.CurrentRow(), 3);
  table.SetCurrentRow(3);
  EXPECT_EQ(clicks, 1);
  table.SetCurrentCol(2);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(table.CurrentCol(), 2);
}

TEST_F(CellTableTest, UserSelectionAlwaysRunsTheClickHandler) {
  table.SelectByUser(1, 1);  // clicking the cell that is already current counts
  EXPECT_EQ(clicks, 1);
  table.SelectByUser(2, 4);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(table.CurrentCol(), 2);
  EXPECT_EQ(table.CurrentRow(), 4);
}

TEST_F(CellTableTest, ShrinkingBelowTheCurrentRowMakesTheLastRowCurrentSilently) {
  Fill(10);
  table.SetCurrentRow(8);
  clicks = 0;
  table.SetRowCount(4);
  EXPECT_EQ(table.CurrentRow(), 3);
  table.SetRowCount(2);
  EXPECT_EQ(table.CurrentRow(), 1);
  table.SetRowCount(10);  // growing does not move it back
  EXPECT_EQ(table.CurrentRow(), 1);
  EXPECT_EQ(clicks, 0);
}

TEST_F(CellTableTest, WritesAndCountsRunNoClickHandlerButReportChanges) {
  table.SetCell(1, 1, u"x");
  table.SetRowCount(7);
  table.SetColCount(6);
  table.SetColWidth(1, 10);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(changes, 4);
}

TEST_F(CellTableTest, ColumnAndRowLists) {
  table.SetRowCount(3);
  table.SetCell(2, 0, u"head");
  table.SetCell(2, 1, u"a");
  table.SetCell(2, 2, u"b");
  EXPECT_EQ(table.Column(2), (std::vector<Text>{u"head", u"a", u"b"}));
  table.SetCell(0, 1, u"m");
  table.SetCell(4, 1, u"e");
  EXPECT_EQ(table.Row(1), (std::vector<Text>{u"m", u"", u"a", u"", u"e"}));
}

TEST_F(CellTableTest, WritingARowListGoesAsFarAsBothReach) {
  table.SetCell(3, 1, u"kept");
  table.SetCell(4, 1, u"kept too");
  table.SetRow(1, {u"0", u"1", u"2"});
  EXPECT_EQ(table.Row(1), (std::vector<Text>{u"0", u"1", u"2", u"kept", u"kept too"}));
  table.SetColCount(2);
  table.SetRow(1, {u"a", u"b", u"c", u"d"});
  table.SetColCount(5);
  EXPECT_EQ(table.Row(1), (std::vector<Text>{u"a", u"b", u"2", u"kept", u"kept too"}));
}

TEST_F(CellTableTest, ReorderMovesWholeRowsAndLeavesTheHeader) {
  Fill(4);
  table.SetCell(0, 0, u"h0");
  table.SetCell(1, 0, u"h1");
  table.SetCell(4, 3, u"hidden3");
  table.SetCurrentRow(2);
  clicks = 0;
  table.ReorderDataRows({3, 1, 2});
  EXPECT_EQ(table.Column(1), (std::vector<Text>{u"h1", u"row3", u"row1", u"row2"}));
  EXPECT_EQ(table.Cell(4, 1), u"hidden3");
  EXPECT_EQ(table.Cell(4, 3), u"");
  EXPECT_EQ(table.Cell(0, 0), u"h0");
  EXPECT_EQ(table.CurrentRow(), 2);
  EXPECT_EQ(clicks, 0);
}

TEST_F(CellTableTest, ReorderLeavesCellsBeyondTheColumnCountUnderTheirRowNumber) {
  Fill(3);
  table.SetCell(4, 1, u"beyond1");
  table.SetColCount(3);
  table.ReorderDataRows({2, 1});
  table.SetColCount(5);
  EXPECT_EQ(table.Cell(1, 1), u"row2");
  EXPECT_EQ(table.Cell(4, 1), u"beyond1");
  EXPECT_EQ(table.Cell(4, 2), u"");
}

TEST_F(CellTableTest, ReorderOnlyTheDataRowsInsideTheCount) {
  Fill(5);
  table.SetRowCount(3);  // rows 3 and 4 are kept but outside
  table.ReorderDataRows({2, 1});
  table.SetRowCount(5);
  EXPECT_EQ(table.Column(1), (std::vector<Text>{u"", u"row2", u"row1", u"row3", u"row4"}));
}

}  // namespace
