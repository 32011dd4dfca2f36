#include "core/table_utils.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

namespace core {

namespace {

// Up to 19 decimal digits fit an unsigned 64-bit number.
constexpr std::size_t kMaxPackedDigits = 19;

// Equal-length strings of ASCII digits: for such keys the locale order, the case-blind order
// and the code-unit order are one and the same, the order of the numbers they spell. When
// every key is one of them (and short enough to pack), fills `packed` with the numbers and
// the positions and returns true, so that the sort never calls the slow locale comparison.
bool PackEqualLengthDigits(const std::vector<const Text*>& keys,
                           std::vector<std::pair<std::uint64_t, int>>& packed) {
  const std::size_t length = keys.front()->size();
  if (length > kMaxPackedDigits) return false;
  packed.resize(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const Text& key = *keys[i];
    if (key.size() != length) return false;
    std::uint64_t value = 0;
    for (char16_t u : key) {
      if (u < u'0' || u > u'9') return false;
      value = value * 10 + static_cast<std::uint64_t>(u - u'0');
    }
    packed[i] = {value, static_cast<int>(i)};
  }
  return true;
}

}  // namespace

// Ordering rule: each row's key is its cell text followed by U+0001 and its old position as
// ten digits, and the keys are sorted under the locale comparison. The suffix exists only to
// make keys of equal texts distinct, in the order of their old positions. Comparing the texts
// first and, when the locale calls them equal, the old positions gives exactly that order:
// rows with equal texts keep their order (the sort is stable), and texts that differ are
// ordered by the locale comparison of the texts themselves. Where U+0001 would place a text
// against a longer text that starts with it, we take the text comparison's answer; that is
// the collation of U+0001 we choose. Sorting row indices with that tie-break needs no key
// strings at all, which keeps the sort of a large table fast.
void GridSort(CellTable& grid, int sortCol, platform::Collator& collator) {
  const int n = grid.RowCount() - 1;
  if (n <= 1) return;

  std::vector<const Text*> keys(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) keys[static_cast<std::size_t>(i)] = &grid.Cell(sortCol, i + 1);

  std::vector<int> order(static_cast<std::size_t>(n));
  std::iota(order.begin(), order.end(), 0);

  std::vector<std::pair<std::uint64_t, int>> packed;
  if (PackEqualLengthDigits(keys, packed)) {
    // The pairs are all distinct, so their plain order is the stable order.
    std::sort(packed.begin(), packed.end());
    for (std::size_t i = 0; i < packed.size(); ++i) order[i] = packed[i].second;
  } else {
    std::sort(order.begin(), order.end(), [&](int a, int b) {
      const Text& ka = *keys[static_cast<std::size_t>(a)];
      const Text& kb = *keys[static_cast<std::size_t>(b)];
      // Identical texts are equal under any locale comparison; skip the call.
      int c = ka == kb ? 0 : collator.Compare(ka, kb);
      return c != 0 ? c < 0 : a < b;
    });
  }

  for (int& row : order) ++row;  // data positions to row numbers
  grid.ReorderDataRows(order);
}

int InStr(int stapos, TextView fullstr, TextView substr) {
  if (stapos < 1) stapos = 1;
  if (fullstr.size() < static_cast<std::size_t>(stapos)) return 0;
  if (substr.empty()) return 0;
  std::size_t found = fullstr.find(substr, static_cast<std::size_t>(stapos - 1));
  if (found == TextView::npos) return 0;
  return static_cast<int>(found) + 1;
}

Text Piece(TextView fullstr, TextView substr, int p1, int p2) {
  if (p2 < p1) p2 = p1;
  // 64-bit counters: "k + P2" must not overflow for a large P2.
  const std::int64_t length = static_cast<std::int64_t>(fullstr.size());
  const std::int64_t delimiterLength = static_cast<std::int64_t>(substr.size());
  std::int64_t start = p1 <= 0 ? 1 : length + 1;
  std::int64_t end = 0;
  std::int64_t k = 1;
  std::int64_t s = 1;
  do {
    if (k == p1) start = s;
    int p = s > length ? 0 : InStr(static_cast<int>(s), fullstr, substr);
    if (p >= 1) {
      if (k == p2) end = p - 1;
      s = p + delimiterLength;
      k = k + 1;
    } else {
      end = length;
      k = k + p2;
    }
  } while (k <= p2);
  if (end < start) return Text();
  return Text(fullstr.substr(static_cast<std::size_t>(start - 1),
                             static_cast<std::size_t>(end - start + 1)));
}

}  // namespace core
