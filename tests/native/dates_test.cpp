#include <gtest/gtest.h>

#include "core/dates.h"

namespace {

using platform::LocalDateTime;

bool SameDate(const LocalDateTime& a, int y, int m, int d) {
  return a.year == y && a.month == m && a.day == d;
}

TEST(DateFormats, FixedSeparatorsAndLeadingZeros) {
  LocalDateTime t{2026, 3, 7, 4, 5, 9};
  EXPECT_EQ(core::FormatDate(t), u"2026/03/07");
  EXPECT_EQ(core::FormatStamp(t), u"2026/03/07 04:05:09");
  EXPECT_EQ(core::FormatCreatedKey(t), u"20260307 040509");
  LocalDateTime late{1999, 12, 31, 23, 59, 58};
  EXPECT_EQ(core::FormatStamp(late), u"1999/12/31 23:59:58");
  EXPECT_EQ(core::FormatCreatedKey(late), u"19991231 235958");
}

TEST(AddDays, CrossesMonthsYearsAndLeapDays) {
  EXPECT_TRUE(SameDate(core::AddDays({2026, 12, 9}, -31), 2026, 11, 8));
  EXPECT_TRUE(SameDate(core::AddDays({2026, 1, 15}, -31), 2025, 12, 15));
  EXPECT_TRUE(SameDate(core::AddDays({2024, 3, 1}, -1), 2024, 2, 29));
  EXPECT_TRUE(SameDate(core::AddDays({2023, 3, 1}, -1), 2023, 2, 28));
  EXPECT_TRUE(SameDate(core::AddDays({2000, 2, 28}, 1), 2000, 2, 29));  // 400-year rule
  EXPECT_TRUE(SameDate(core::AddDays({2100, 2, 28}, 1), 2100, 3, 1));   // 100-year rule
  EXPECT_TRUE(SameDate(core::AddDays({2025, 12, 31}, 1), 2026, 1, 1));
  EXPECT_TRUE(SameDate(core::AddDays({2026, 5, 20}, 0), 2026, 5, 20));
  EXPECT_TRUE(SameDate(core::AddDays({2024, 1, 1}, 366), 2025, 1, 1));
}

TEST(AddDays, KeepsTheTime) {
  LocalDateTime t = core::AddDays({2026, 3, 1, 13, 14, 15}, -1);
  EXPECT_EQ(core::FormatStamp(t), u"2026/02/28 13:14:15");
}

}  // namespace
