#include "core/history.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <numeric>
#include <string>
#include "core/dates.h"
#include "core/table_utils.h"
#include "core/text_file.h"
#include "core/unicode_ranges.h"

namespace core::history {

namespace {

constexpr TextView kMarkerView{kMarker, kMarkerLength};

bool IsBreak(char16_t u) { return u == u'\r' || u == u'\n'; }

// A CR LF or LF CR pair is one break; a lone CR or LF another.
std::size_t BreakLength(TextView text, std::size_t at) {
  if (at + 1 < text.size()) {
    char16_t here = text[at], next = text[at + 1];
    if ((here == u'\r' && next == u'\n') || (here == u'\n' && next == u'\r')) return 2;
  }
  return 1;
}

std::size_t LineEnd(TextView text, std::size_t from) {
  const std::size_t n = text.size();
  std::size_t i = from;
  while (i < n && !IsBreak(text[i])) ++i;
  return i;
}

// Characters `first`..`first + count - 1` (counting from 1); shorter near the end.
Text Chars(TextView line, std::size_t first, std::size_t count) {
  if (line.size() < first) return Text();
  return Text(line.substr(first - 1, count));
}

std::int64_t DigitsAt(TextView text, std::initializer_list<std::size_t> positions) {
  std::int64_t value = 0;
  for (std::size_t p : positions) {
    char16_t u = p < text.size() ? text[p] : u'0';
    value = value * 10 + (u >= u'0' && u <= u'9' ? u - u'0' : 0);
  }
  return value;
}

}  // namespace

Text CutOffDate(const platform::LocalDateTime& today) {
  return FormatDate(AddDays(today, -kKeptDays));
}

void ResetHistoryTable(CellTable& table) {
  table.SetColCount(kColCount);
  table.ClearRowsFrom(1);
  table.SetRowCount(2);
}

void SetHistoryHeaders(CellTable& table) {
  table.SetCell(kTextCol, 0, Text(kHistoryHeader));
  table.SetCell(kStampCol, 0, Text(kStampHeader));
  for (int c = 0; c < kColCount; ++c) table.SetColWidth(c, kColWidths[c]);
}

int ReadHistoryRecords(CellTable& table, TextView fileText, TextView cutOff) {
  int count = 0;
  bool skipping = false;
  // The collected text of the current record is always one stretch of the file: from its
  // first non-empty content line to the end of its last content line, the CR LF breaks in
  // between included. Leading empty lines are never part of it.
  constexpr std::size_t kNone = TextView::npos;
  std::size_t collectedFrom = kNone, collectedTo = 0;
  auto storeCollected = [&] {
    if (collectedFrom == kNone) return;
    table.SetCell(kTextCol, count, Text(fileText.substr(collectedFrom, collectedTo - collectedFrom)));
    collectedFrom = kNone;
  };

  const std::size_t n = fileText.size();
  std::size_t pos = 0;
  while (pos < n) {
    const std::size_t end = LineEnd(fileText, pos);
    const TextView line = fileText.substr(pos, end - pos);
    if (line.substr(0, kMarkerLength) == kMarkerView) {
      storeCollected();
      // Dates compare as texts; a date cut short counts as the smaller.
      if (cutOff > line.substr(kMarkerLength, 10)) {
        skipping = true;
      } else {
        skipping = false;
        ++count;
        table.SetRowCount(count + 1);
        table.SetCell(kStampCol, count, Chars(line, 8, 19));
        table.SetCell(kDateKeyCol, count, Chars(line, 28, 8));
        table.SetCell(kTimeKeyCol, count, Chars(line, 36, 6));
      }
    } else if (!skipping && count > 0) {
      if (collectedFrom == kNone) {
        if (!line.empty()) {
          collectedFrom = pos;
          collectedTo = end;
        }
      } else {
        collectedTo = end;
      }
    }
    pos = end < n ? end + BreakLength(fileText, end) : n;
  }
  storeCollected();
  return count;
}

// Reads a key made of ASCII digits; false for any other character.
bool DigitValue(const Text& key, std::uint32_t& value) {
  value = 0;
  for (char16_t u : key) {
    if (u < u'0' || u > u'9') return false;
    value = value * 10 + static_cast<std::uint32_t>(u - u'0');
  }
  return true;
}

// When every date key has one length and every time key another (at most 9 digits each),
// all of ASCII digits, their text order under any comparison is the order of the numbers
// they spell: fills `keys` with date * 10^timeDigits + time per data row. Both keys of a
// row are read together, which halves the trips to memory on a large table.
bool PackHistoryKeys(const CellTable& table, std::vector<std::uint64_t>& keys) {
  const int n = table.RowCount() - 1;
  const std::size_t dateDigits = table.Cell(kDateKeyCol, 1).size();
  const std::size_t timeDigits = table.Cell(kTimeKeyCol, 1).size();
  if (dateDigits == 0 || dateDigits > 9 || timeDigits == 0 || timeDigits > 9) return false;
  std::uint64_t timeScale = 1;
  for (std::size_t i = 0; i < timeDigits; ++i) timeScale *= 10;
  keys.resize(static_cast<std::size_t>(n));
  for (int r = 1; r <= n; ++r) {
    const Text& date = table.Cell(kDateKeyCol, r);
    const Text& time = table.Cell(kTimeKeyCol, r);
    std::uint32_t dateValue, timeValue;
    if (date.size() != dateDigits || time.size() != timeDigits || !DigitValue(date, dateValue) ||
        !DigitValue(time, timeValue)) {
      return false;
    }
    keys[static_cast<std::size_t>(r - 1)] = dateValue * timeScale + timeValue;
  }
  return true;
}

void SortHistory(CellTable& table, platform::Collator& collator) {
  // Stable sorts by the time key and then by the date key order the rows by (date key,
  // time key, old position). When both keys are fixed-width digits, as the program writes
  // them, that order is numeric and is reached in one pass: the table is sorted already but
  // for its last row (the record just added, or nothing after a load of a file in order), so
  // the rows move only when that row has to move up. This keeps a tick on a large history
  // well inside its second. Other keys (header lines cut short) take the general sorts.
  const int n = table.RowCount() - 1;
  std::vector<std::uint64_t> keys;
  if (n <= 1 || !PackHistoryKeys(table, keys)) {
    GridSort(table, kTimeKeyCol, collator);
    GridSort(table, kDateKeyCol, collator);
    return;
  }
  std::vector<int> order(static_cast<std::size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  const auto last = keys.end() - 1;
  if (std::is_sorted(keys.begin(), last)) {
    // The last row goes after every row whose key is not greater: equal keys keep their order.
    const auto place = std::upper_bound(keys.begin(), last, *last);
    if (place == last) return;  // already in place: nothing moves
    std::rotate(order.begin() + (place - keys.begin()), order.end() - 1, order.end());
  } else {
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
    });
  }
  for (int& row : order) ++row;  // data positions to row numbers
  table.ReorderDataRows(order);
}

Text HistoryFileText(const CellTable& table) {
  std::size_t size = 0;
  const int rows = table.RowCount();
  for (int r = 1; r < rows; ++r) {
    const Text& text = table.Cell(kTextCol, r);
    if (!text.empty()) size += kMarkerLength + 19 + 1 + 14 + 2 + text.size() + 2;
  }
  Text out;
  out.reserve(size);
  for (int r = 1; r < rows; ++r) {
    const Text& text = table.Cell(kTextCol, r);
    if (text.empty()) continue;  // not a record
    out.append(kMarkerView);
    out += table.Cell(kStampCol, r);
    out += u' ';
    out += table.Cell(kDateKeyCol, r);
    out += table.Cell(kTimeKeyCol, r);
    out += u"\r\n";
    out += text;
    out += u"\r\n";
  }
  NormalizeLineBreaksInPlace(out);
  return out;
}

HistoryKeys KeysFromStamp(TextView stamp) {
  const std::int64_t date = DigitsAt(stamp, {0, 1, 2, 3, 5, 6, 8, 9});
  const std::int64_t time = DigitsAt(stamp, {11, 12, 14, 15, 17, 18});
  return {IntToText(99999999 - date), IntToText(999999 - time)};
}

void AddHistoryRecord(CellTable& table, int& logCnt, Text stamp, Text text,
                      platform::Collator& collator) {
  ++logCnt;
  table.SetRowCount(logCnt + 1);
  HistoryKeys keys = KeysFromStamp(stamp);
  table.SetCell(kStampCol, logCnt, std::move(stamp));
  table.SetCell(kTextCol, logCnt, std::move(text));
  table.SetCell(kDateKeyCol, logCnt, std::move(keys.dateKey));
  table.SetCell(kTimeKeyCol, logCnt, std::move(keys.timeKey));
  SortHistory(table, collator);
}

bool ContainsExactly(TextView text, TextView needle) {
  if (needle.empty() || needle.size() > text.size()) return false;
  return text.find(needle) != TextView::npos;
}

std::vector<int> FindHistoryRows(const CellTable& table, TextView needle) {
  std::vector<int> rows;
  const int count = table.RowCount();
  for (int r = 1; r < count; ++r) {
    if (ContainsExactly(table.Cell(kTextCol, r), needle)) rows.push_back(r);
  }
  return rows;
}

void CopyHistoryRows(const CellTable& history, const std::vector<int>& rows, CellTable& extract) {
  extract.SetRowCount(static_cast<int>(rows.size()) + 1);
  int target = 1;
  for (int from : rows) {
    for (int c = kTextCol; c <= kTimeKeyCol; ++c) extract.SetCell(c, target, history.Cell(c, from));
    ++target;
  }
}

Text ResultHeader(int count) {
  return u"クリップボードの履歴 (　" + IntToText(count) + u"件抽出しました　)";
}

bool IsWebAddress(TextView text) {
  return text.starts_with(u"http://") || text.starts_with(u"https://");
}

namespace {

// Quotes and angle brackets end an address in most places that show one; full-width and
// typographic forms included.
bool IsQuoteOrBracket(char32_t cp) {
  switch (cp) {
    case u'"': case u'\'': case u'`': case u'<': case u'>': case 0x00AB: case 0x00BB:
    case 0x2039: case 0x203A: case 0x301D: case 0x301E: case 0x301F: case 0xFF02: case 0xFF07:
    case 0xFF1C: case 0xFF1E:
      return true;
    default:
      return cp >= 0x2018 && cp <= 0x201F;  // typographic single and double quotes
  }
}

}  // namespace

std::optional<Text> WebAddressToOpen(TextView text) {
  const TextView firstLine = text.substr(0, LineEnd(text, 0));
  if (!IsWebAddress(firstLine)) return std::nullopt;
  for (std::size_t i = 0; i < firstLine.size(); ++i) {
    char32_t cp = firstLine[i];
    if (cp >= 0xD800 && cp <= 0xDFFF) {
      // A pair stands for one character beyond U+FFFF; half of one stands for nothing.
      const bool pair = cp <= 0xDBFF && i + 1 < firstLine.size() && firstLine[i + 1] >= 0xDC00 &&
                        firstLine[i + 1] <= 0xDFFF;
      if (!pair) return std::nullopt;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (firstLine[++i] - 0xDC00);
    }
    if (unicode::IsInvisibleOrBlank(cp) || IsQuoteOrBracket(cp)) return std::nullopt;
  }
  return Text(firstLine);
}

bool LacksRecordHeaders(TextView fileText) {
  bool holdsSomething = false;
  const std::size_t n = fileText.size();
  std::size_t pos = 0;
  while (pos < n) {
    const std::size_t end = LineEnd(fileText, pos);
    const TextView line = fileText.substr(pos, end - pos);
    if (line.substr(0, kMarkerLength) == kMarkerView) return false;
    if (!holdsSomething)
      holdsSomething = line.find_first_not_of(u" \t\u3000") != TextView::npos;
    pos = end < n ? end + BreakLength(fileText, end) : n;
  }
  return holdsSomething;
}

Text RebuildBoardText(const std::vector<Text>& displayedLines) {
  Text out;
  for (const Text& line : displayedLines) {
    if (line.empty()) continue;
    out += line;
    out += u"\r\n";
  }
  return out;
}

}  // namespace core::history
