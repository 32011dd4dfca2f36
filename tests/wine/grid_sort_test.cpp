// The stable table sort with the real CompareStringW of a Japanese system: letter case is
// ignored (rows differing only in case keep their order), width and kana type are not (such
// texts are told apart and grouped by the comparison, whatever their earlier order).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/table_utils.h"
#include "platform/win32/win32_locale.h"

namespace {

using core::Text;

// Sorts rows holding `texts` in column 1 and their first positions ("1", "2"...) in
// column 2; returns the positions in the new order.
std::vector<std::string> SortedPositions(const std::vector<Text>& texts) {
  core::CellTable table(3, static_cast<int>(texts.size()) + 1);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string position = std::to_string(i + 1);
    table.SetCell(1, static_cast<int>(i) + 1, texts[i]);
    table.SetCell(2, static_cast<int>(i) + 1, Text(position.begin(), position.end()));
  }
  platform::win32::Win32Collator collator;
  core::GridSort(table, 1, collator);
  std::vector<std::string> positions;
  for (int r = 1; r < table.RowCount(); ++r) positions.push_back(core::ToUtf8(table.Cell(2, r)));
  return positions;
}

using Order = std::vector<std::string>;

TEST(GridSortWin32, RowsDifferingOnlyInCaseKeepTheirOrder) {
  EXPECT_EQ(SortedPositions({u"abc", u"ABC"}), (Order{"1", "2"}));
  EXPECT_EQ(SortedPositions({u"ABC", u"abc"}), (Order{"1", "2"}));
  EXPECT_EQ(SortedPositions({u"ｓｏｒａ", u"ＳＯＲＡ"}), (Order{"1", "2"}));
  // Beyond nine rows the old positions still decide (ten digits, not "10" before "9").
  std::vector<Text> many;
  Order kept;
  for (int i = 0; i < 12; ++i) {
    many.push_back(i % 3 == 0 ? u"Sora" : i % 3 == 1 ? u"SORA" : u"sora");
    kept.push_back(std::to_string(i + 1));
  }
  EXPECT_EQ(SortedPositions(many), kept);
  // Case ties inside a sort that moves rows.
  EXPECT_EQ(SortedPositions({u"b", u"A", u"a", u"B"}), (Order{"2", "3", "1", "4"}));
  EXPECT_EQ(SortedPositions({u"さくら", u"あさひ", u"かえで"}), (Order{"2", "3", "1"}));
}

TEST(GridSortWin32, WidthAndKanaTypeAreToldApart) {
  const std::vector<std::pair<Text, Text>> pairs = {
      {u"ア", u"ｱ"}, {u"あ", u"ア"}, {u"abc", u"ａｂｃ"}, {u"かな", u"カナ"}};
  for (const auto& [first, second] : pairs) {
    SCOPED_TRACE(core::ToUtf8(first) + " / " + core::ToUtf8(second));
    // Both earlier orders end in one order: the comparison decides, not the position.
    const Order forward = SortedPositions({first, second});
    const Order backward = SortedPositions({second, first});
    EXPECT_NE(forward, backward);
    // Equal texts stay together, in their earlier order, on one side of the other form.
    const Order three = SortedPositions({first, second, first});
    EXPECT_TRUE(three == (Order{"1", "3", "2"}) || three == (Order{"2", "1", "3"}))
        << three[0] << three[1] << three[2];
  }
}

}  // namespace
