// The three orders in which saved entries are shown, and the small rules behind them.
// They reorder the saved table in place and read no file.
#pragma once
#include <optional>
#include <vector>
#include "core/cell_table.h"
#include "core/text.h"
#include "platform/locale.h"

namespace core {

// Ascending by category, equal categories ascending by title, ties in their previous order.
void SortByCategory(CellTable& table, platform::Collator& collator);

// Newest created key first; entries with the same key swap relative to their previous order.
void SortNewestFirst(CellTable& table, platform::Collator& collator);

// Highest use count first, equal counts by descending title, then by descending category.
// Counts compare by value, so 100000 stands above 99999.
void SortMostUsedFirst(CellTable& table, platform::Collator& collator);

// Row i (from 1) gets 9999999999 - i in ten digits in the sort-key column: falling keys,
// so a stable ascending sort by them turns the table upside down.
void FillSortKeys(CellTable& table);

// The category list beside the category-order view: one item for each run of equal
// categories (exact comparison) in table order. Empty categories at the top are skipped;
// a table of one empty row gives one empty item.
std::vector<Text> CategoryListItems(const CellTable& table);

// The first data row whose cell in `col` begins with `prefix`; 0 when none does.
int FindPrefixRow(const CellTable& table, int col, TextView prefix);

// A use count raised by one, in the "00000" format. Nothing when the text is no count, or
// when the count cannot rise any more without becoming unreadable in the index.
std::optional<Text> RaisedUseCount(TextView count);

// A row that holds an entry (not the empty placeholder row of an empty store).
bool HoldsSavedEntry(const CellTable& table, int row);

}  // namespace core
