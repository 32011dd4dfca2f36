#include "core/saved_store.h"

#include <limits>
#include <unordered_set>

#include "core/table_utils.h"

namespace core {

namespace {

// Fields 1..4 of an index line; nothing when the line has fewer than four.
bool SplitIndexLine(TextView line, Text fields[4]) {
  int commas = 0;
  for (char16_t u : line) {
    if (u == u',') ++commas;
  }
  if (commas < 3) return false;
  for (int f = 0; f < 4; ++f) fields[f] = Piece(line, u",", f + 1, f + 1);
  return true;
}

std::optional<SavedEntry> ReadIndexLine(TextView line) {
  Text fields[4];
  if (!SplitIndexLine(line, fields)) return std::nullopt;
  // An entry without a proper key could never be opened, edited or deleted.
  if (!IsCreatedKey(fields[2])) return std::nullopt;
  std::optional<std::int32_t> uses = ParseUseCount(fields[3]);
  if (!uses) return std::nullopt;
  return SavedEntry{std::move(fields[0]), std::move(fields[1]), std::move(fields[2]),
                    ZeroPadded(*uses, 5)};
}

}  // namespace

bool IsCreatedKey(TextView key) {
  if (key.size() != 15) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    const char16_t u = key[i];
    if (i == 8 ? u != u' ' : (u < u'0' || u > u'9')) return false;
  }
  return true;
}

Text ContentFileName(TextView createdKey) {
  if (!IsCreatedKey(createdKey))
    throw AppError(u"作成日時「" + Text(createdKey) +
                   u"」は保存内容のファイル名にできないため、このデータは開けません。");
  Text name = u"h";
  name.append(createdKey);
  name += u".dat";
  return name;
}

std::optional<std::int32_t> ParseUseCount(TextView field) {
  std::size_t i = 0;
  while (i < field.size() && (field[i] == u' ' || field[i] == u'\t')) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == u'+' || field[i] == u'-')) negative = field[i++] == u'-';
  if (i == field.size()) return std::nullopt;
  // The magnitude of the most negative value is one more than the largest positive one.
  const std::int64_t limit =
      static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + (negative ? 1 : 0);
  std::int64_t value = 0;
  for (; i < field.size(); ++i) {
    const char16_t u = field[i];
    if (u < u'0' || u > u'9') return std::nullopt;
    value = value * 10 + (u - u'0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

IndexContents ReadIndexLines(const std::vector<Text>& lines) {
  IndexContents contents;
  contents.entries.reserve(lines.size());
  for (const Text& line : lines) {
    if (line.empty()) continue;
    if (auto entry = ReadIndexLine(line)) {
      contents.entries.push_back(std::move(*entry));
    } else {
      contents.unreadable.push_back(line);
    }
  }
  return contents;
}

void FillSavedTable(CellTable& table, const std::vector<SavedEntry>& entries) {
  table.SetRowCount(2);
  for (int c = 1; c < kSavedColCount; ++c) table.SetCell(c, 1, Text());
  if (entries.empty()) return;
  table.SetRowCount(static_cast<int>(entries.size()) + 1);
  int row = 1;
  for (const SavedEntry& e : entries) {
    // Column 0 stays empty; the mark and the sort key are cleared.
    table.SetRow(row++, {Text(), e.category, e.title, e.createdKey, e.useCount, Text(), Text()});
  }
}

IndexText BuildIndexText(CellTable& table, platform::Collator& collator) {
  GridSort(table, kSavedColTitle, collator);
  GridSort(table, kSavedColCategory, collator);
  IndexText out;
  for (int row = 1; row < table.RowCount(); ++row) {
    if (table.Cell(kSavedColMark, row) == kDeleteMark) continue;
    const Text& category = table.Cell(kSavedColCategory, row);
    if (category.empty()) continue;
    out.text += category;
    out.text += u',';
    out.text += table.Cell(kSavedColTitle, row);
    out.text += u',';
    out.text += table.Cell(kSavedColCreated, row);
    out.text += u',';
    out.text += table.Cell(kSavedColUses, row);
    out.text += u"\r\n";
    ++out.written;
  }
  return out;
}

Text CategoryChoices(const std::vector<Text>& lines) {
  Text list;
  Text current;
  Text last;
  for (const SavedEntry& e : ReadIndexLines(lines).entries) {
    if (current.empty()) current = e.category;
    if (e.category != current) {
      list += current;
      list += u"\r\n";
      current = e.category;
    }
    last = e.category;
  }
  list += last;
  list += u"\r\n";
  return list;
}

std::vector<Text> MergeKeptLines(const std::vector<Text>& alreadyKept,
                                 const std::vector<Text>& unreadable) {
  std::vector<Text> merged = alreadyKept;
  std::unordered_set<Text> seen(alreadyKept.begin(), alreadyKept.end());
  for (const Text& line : unreadable) {
    if (seen.insert(line).second) merged.push_back(line);
  }
  return merged;
}

Text UnreadableLinesNotice(int count, const Text& keptPath) {
  return u"保存データの一覧（" + kIndexFileName + u"）のうち " + IntToText(count) +
         u" 行を読み込めませんでした。\r\n読み込めなかった行は、次のファイルに残してあります。\r\n" +
         keptPath;
}

}  // namespace core
