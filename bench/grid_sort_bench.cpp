// GridSort on a history-sized table: 100,000 rows sorted by the inverted time key (6 digits)
// and then by the inverted date key (8 digits), as each load and each new record does.
#include <benchmark/benchmark.h>

#include <optional>
#include <random>
#include "core/table_utils.h"
#include "platform/posix/posix_services.h"

namespace {

constexpr int kRows = 100000;

core::Text Digits(std::uint32_t value, int width) { return core::ZeroPadded(value, width); }

// Columns as in the history table: 1 text, 2 stamp, 3 date key, 4 time key.
core::CellTable MakeHistoryTable(unsigned seed) {
  std::mt19937 random(seed);
  core::CellTable table(5, kRows + 1);
  const core::Text words[] = {u"議事録", u"https://example.com/", u"メモ", u"Build", u"住所",
                              u"abc", u"ABC", u"パスワード"};
  for (int r = 1; r <= kRows; ++r) {
    std::uint32_t day = random() % 31;
    std::uint32_t second = random() % 86400;
    table.SetCell(1, r, words[random() % 8] + core::IntToText(random() % 1000));
    table.SetCell(3, r, Digits(99999999 - (20261100 + day), 8));
    table.SetCell(4, r, Digits(999999 - (second / 3600 * 10000 + second / 60 % 60 * 100 + second % 60), 6));
  }
  return table;
}

void BM_GridSort_TimeThenDateKeys(benchmark::State& state) {
  platform::posix::PosixCollator collator;
  const core::CellTable original = MakeHistoryTable(1);
  std::optional<core::CellTable> table;
  for (auto _ : state) {
    state.PauseTiming();
    table.emplace(original);  // copying and freeing the table stay out of the timing
    state.ResumeTiming();
    core::GridSort(*table, 4, collator);
    core::GridSort(*table, 3, collator);
    benchmark::DoNotOptimize(table->Cell(1, 1).data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_GridSort_TimeThenDateKeys)->Unit(benchmark::kMillisecond);

// A new record on an already sorted table: what every clipboard change costs.
void BM_GridSort_OneNewRowOnSortedTable(benchmark::State& state) {
  platform::posix::PosixCollator collator;
  core::CellTable sorted = MakeHistoryTable(2);
  core::GridSort(sorted, 4, collator);
  core::GridSort(sorted, 3, collator);
  sorted.SetRowCount(kRows + 2);
  sorted.SetCell(1, kRows + 1, u"new");
  sorted.SetCell(3, kRows + 1, Digits(0, 8));
  sorted.SetCell(4, kRows + 1, Digits(0, 6));
  std::optional<core::CellTable> table;
  for (auto _ : state) {
    state.PauseTiming();
    table.emplace(sorted);
    state.ResumeTiming();
    core::GridSort(*table, 4, collator);
    core::GridSort(*table, 3, collator);
    benchmark::DoNotOptimize(table->Cell(1, 1).data());
  }
}
BENCHMARK(BM_GridSort_OneNewRowOnSortedTable)->Unit(benchmark::kMillisecond);

// For comparison: a column of free texts, which goes through the locale comparison.
void BM_GridSort_TextColumn(benchmark::State& state) {
  platform::posix::PosixCollator collator;
  const core::CellTable original = MakeHistoryTable(3);
  std::optional<core::CellTable> table;
  for (auto _ : state) {
    state.PauseTiming();
    table.emplace(original);  // copying and freeing the table stay out of the timing
    state.ResumeTiming();
    core::GridSort(*table, 1, collator);
    benchmark::DoNotOptimize(table->Cell(1, 1).data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_GridSort_TextColumn)->Unit(benchmark::kMillisecond);

}  // namespace
