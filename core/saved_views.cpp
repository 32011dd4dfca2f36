#include "core/saved_views.h"

#include <cstdint>
#include <limits>

#include "core/saved_store.h"
#include "core/table_utils.h"

namespace core {

namespace {

constexpr std::int64_t kTopSortKey = 9999999999LL;
constexpr int kSortKeyDigits = 10;

// Puts each row's use count into the sort-key column as ten digits, so that a text sort
// by that column orders the counts by value. A count that is no number sorts as 0.
void FillUseCountKeys(CellTable& table) {
  for (int row = 1; row < table.RowCount(); ++row) {
    const std::optional<std::int32_t> count = ParseUseCount(table.Cell(kSavedColUses, row));
    const std::int64_t value = count && *count > 0 ? *count : 0;
    table.SetCell(kSavedColSort, row, ZeroPadded(value, kSortKeyDigits));
  }
}

}  // namespace

void SortByCategory(CellTable& table, platform::Collator& collator) {
  GridSort(table, kSavedColTitle, collator);
  GridSort(table, kSavedColCategory, collator);
}

void SortNewestFirst(CellTable& table, platform::Collator& collator) {
  GridSort(table, kSavedColCreated, collator);
  FillSortKeys(table);
  GridSort(table, kSavedColSort, collator);
}

void SortMostUsedFirst(CellTable& table, platform::Collator& collator) {
  GridSort(table, kSavedColCategory, collator);
  GridSort(table, kSavedColTitle, collator);
  FillUseCountKeys(table);
  GridSort(table, kSavedColSort, collator);
  FillSortKeys(table);
  GridSort(table, kSavedColSort, collator);
}

void FillSortKeys(CellTable& table) {
  for (int row = 1; row < table.RowCount(); ++row)
    table.SetCell(kSavedColSort, row, ZeroPadded(kTopSortKey - row, kSortKeyDigits));
}

std::vector<Text> CategoryListItems(const CellTable& table) {
  std::vector<Text> items;
  Text current;
  for (int row = 1; row < table.RowCount(); ++row) {
    const Text& category = table.Cell(kSavedColCategory, row);
    if (current.empty()) current = category;
    if (category != current) {
      items.push_back(current);
      current = category;
    }
  }
  items.push_back(table.Cell(kSavedColCategory, table.RowCount() - 1));
  return items;
}

int FindPrefixRow(const CellTable& table, int col, TextView prefix) {
  for (int row = 1; row < table.RowCount(); ++row) {
    if (TextView(table.Cell(col, row)).substr(0, prefix.size()) == prefix) return row;
  }
  return 0;
}

std::optional<Text> RaisedUseCount(TextView count) {
  const std::optional<std::int32_t> value = ParseUseCount(count);
  if (!value || *value == std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return ZeroPadded(static_cast<std::int64_t>(*value) + 1, 5);
}

bool HoldsSavedEntry(const CellTable& table, int row) {
  return row >= 1 && row < table.RowCount() && !table.Cell(kSavedColCreated, row).empty();
}

}  // namespace core
