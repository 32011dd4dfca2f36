#include "core/history_journal.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_set>
#include "core/history.h"
#include "core/text_file.h"

namespace core::history {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kRecordStart = "#J ";
constexpr std::string_view kHoldStart = "#H ";
// A header line is the start, a stamp of 19 characters (at most 3 bytes each), a count of
// at most 20 digits, a checksum and the separators: anything longer is not a header.
constexpr std::size_t kMaxHeaderBytes = 3 + 19 * 3 + 1 + 20 + 1 + 8 + 2;

std::uint32_t Crc32(std::uint32_t crc, std::string_view bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (unsigned char b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t RecordChecksum(std::string_view stamp, std::string_view text) {
  return Crc32(Crc32(Crc32(0, stamp), "\n"), text);
}

// UTF-8, with a lone surrogate half written in the three-byte form that its code point
// would have, so that every UTF-16 text survives the round trip.
std::string EncodeExactly(TextView text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
      ++i;
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

// The inverse of EncodeExactly; false for bytes it never writes.
bool DecodeExactly(std::string_view bytes, Text& out) {
  out.clear();
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    int extra;
    char32_t cp, minimum;
    if (lead < 0x80) {
      out += static_cast<char16_t>(lead);
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
      return false;
    }
    if (i + static_cast<std::size_t>(extra) >= bytes.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char b = static_cast<unsigned char>(bytes[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF) return false;
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

std::string Hex8(std::uint32_t value) {
  static const char digits[] = "0123456789abcdef";
  std::string out(8, '0');
  for (int i = 7; i >= 0; --i, value >>= 4) out[static_cast<std::size_t>(i)] = digits[value & 0xF];
  return out;
}

bool ParseHex8(std::string_view text, std::uint32_t& value) {
  if (text.size() != 8) return false;
  value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return false;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return true;
}

bool ParseCount(std::string_view text, std::size_t& value) {
  if (text.empty() || text.size() > 18) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  return true;
}

// Reads the record starting at `pos`; on success `next` is where the following one starts.
bool ParseRecordAt(std::string_view bytes, std::size_t pos, JournalRecord& record,
                   std::size_t& next) {
  if (bytes.substr(pos, kRecordStart.size()) != kRecordStart) return false;
  const std::size_t eol = bytes.substr(0, pos + kMaxHeaderBytes).find("\r\n", pos);
  if (eol == std::string_view::npos) return false;
  const std::string_view header = bytes.substr(pos + kRecordStart.size(), eol - pos - kRecordStart.size());
  const std::size_t crcAt = header.rfind(' ');
  if (crcAt == std::string_view::npos || crcAt == 0) return false;
  const std::size_t countAt = header.rfind(' ', crcAt - 1);
  if (countAt == std::string_view::npos) return false;
  const std::string_view stamp = header.substr(0, countAt);
  std::size_t count;
  std::uint32_t crc;
  if (!ParseCount(header.substr(countAt + 1, crcAt - countAt - 1), count) ||
      !ParseHex8(header.substr(crcAt + 1), crc)) {
    return false;
  }
  const std::size_t textAt = eol + 2;
  if (count > bytes.size() - textAt || bytes.size() - textAt - count < 2) return false;
  const std::string_view text = bytes.substr(textAt, count);
  if (bytes.substr(textAt + count, 2) != "\r\n") return false;
  if (RecordChecksum(stamp, text) != crc) return false;
  if (!DecodeExactly(stamp, record.stamp) || !DecodeExactly(text, record.text)) return false;
  next = textAt + count + 2;
  return true;
}

// One key for a stamp and a text; the length keeps any stamp apart from any text. Half of a
// surrogate pair counts as U+FFFD, which is what a UTF-8 Log.dat gives back for it.
Text RecordKey(TextView stamp, TextView text) {
  Text key = IntToText(static_cast<std::int64_t>(stamp.size()));
  key += u':';
  key += stamp;
  key += FromUtf8(ToUtf8(text));
  return key;
}

// The keys of the records that a journal record becomes once Log.dat holds it and is read
// back: its stamp with its text as the file gives it back (line breaks CR LF, leading empty
// lines gone), or more than one record when a line of the text begins with the record
// marker, which the reader takes for a header of its own.
std::vector<Text> KeysAsReadBack(const JournalRecord& record, TextView cutOff) {
  CellTable written;
  ResetHistoryTable(written);
  HistoryKeys keys = KeysFromStamp(record.stamp);
  written.SetCell(kTextCol, 1, record.text);
  written.SetCell(kStampCol, 1, record.stamp);
  written.SetCell(kDateKeyCol, 1, std::move(keys.dateKey));
  written.SetCell(kTimeKeyCol, 1, std::move(keys.timeKey));
  CellTable readBack;
  ResetHistoryTable(readBack);
  const int count = ReadHistoryRecords(readBack, HistoryFileText(written), cutOff);
  std::vector<Text> out;
  // A record that reads back without text (line breaks alone) is kept too: Log.dat holds it
  // so, and the rows compared with include such rows.
  for (int r = 1; r <= count; ++r)
    out.push_back(RecordKey(readBack.Cell(kStampCol, r), readBack.Cell(kTextCol, r)));
  return out;
}

}  // namespace

std::string JournalRecordBytes(TextView stamp, TextView text) {
  const std::string stampBytes = EncodeExactly(stamp);
  const std::string textBytes = EncodeExactly(text);
  std::string out;
  out.reserve(stampBytes.size() + textBytes.size() + 40);
  out += kRecordStart;
  out += stampBytes;
  out += ' ';
  out += std::to_string(textBytes.size());
  out += ' ';
  out += Hex8(RecordChecksum(stampBytes, textBytes));
  out += "\r\n";
  out += textBytes;
  out += "\r\n";
  return out;
}

std::vector<JournalRecord> ParseJournal(std::string_view bytes,
                                        std::optional<std::uint32_t>* holdReason) {
  std::vector<JournalRecord> records;
  std::optional<std::uint32_t> hold;
  std::size_t pos = bytes.substr(0, kBom.size()) == kBom ? kBom.size() : 0;
  while (pos < bytes.size()) {
    JournalRecord record;
    std::size_t next;
    if (ParseRecordAt(bytes, pos, record, next)) {
      records.push_back(std::move(record));
      pos = next;
      continue;
    }
    std::uint32_t reason;
    const std::size_t holdEnd = pos + kHoldStart.size() + 8;
    if (bytes.substr(pos, kHoldStart.size()) == kHoldStart &&
        ParseHex8(bytes.substr(pos + kHoldStart.size(), 8), reason) &&
        bytes.substr(holdEnd, 2) == "\r\n") {
      for (JournalRecord& held : records) held.held = true;
      hold = reason;
      pos = holdEnd + 2;
      continue;
    }
    // Damaged or cut short: go on at the next record or hold line that proves intact.
    pos = std::min(bytes.find(kRecordStart, pos + 1), bytes.find(kHoldStart, pos + 1));
    if (pos == std::string_view::npos) break;
  }
  if (holdReason) *holdReason = hold;
  return records;
}

bool AppendJournalRecord(platform::FileSystem& fs, const Text& path, TextView stamp,
                         TextView text) {
  std::string bytes = JournalRecordBytes(stamp, text);
  if (!fs.FileExists(path)) bytes.insert(0, kBom);
  return fs.AppendFile(path, bytes);
}

std::vector<JournalRecord> ReadJournal(platform::FileSystem& fs, const Text& path) {
  if (!fs.FileExists(path)) return {};
  try {
    return ParseJournal(fs.ReadFile(path));
  } catch (const std::exception&) {
    return {};
  }
}

std::uint32_t HoldReasonChecksum(TextView reason) { return Crc32(0, EncodeExactly(reason)); }

std::vector<JournalRecord> JournalRecordsOf(const CellTable& table) {
  std::vector<JournalRecord> records;
  for (int r = table.RowCount() - 1; r >= 1; --r) {
    const Text& text = table.Cell(kTextCol, r);
    if (!text.empty()) records.push_back({table.Cell(kStampCol, r), text});
  }
  return records;
}

bool HoldJournal(platform::FileSystem& fs, const Text& path,
                 const std::vector<JournalRecord>& records, TextView reason) {
  std::string bytes(kBom);
  for (const JournalRecord& record : records) bytes += JournalRecordBytes(record.stamp, record.text);
  bytes += kHoldStart;
  bytes += Hex8(HoldReasonChecksum(reason));
  bytes += "\r\n";
  try {
    fs.WriteFileAtomic(path, bytes);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool DiscardJournal(platform::FileSystem& fs, const Text& path) {
  if (!fs.FileExists(path) || fs.RemoveFile(path)) return true;
  try {
    fs.WriteFileAtomic(path, std::string(kBom));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

int RecoverJournalRecords(CellTable& table, int& logCnt, const std::vector<JournalRecord>& records,
                          TextView cutOff, platform::Collator& collator) {
  if (records.empty()) return 0;
  std::unordered_set<Text> stored;
  // Rows without text count too: Log.dat keeps a text of line breaks alone as a record
  // with an empty text, which is what such a journal record is compared as.
  for (int r = 1; r < table.RowCount(); ++r)
    stored.insert(RecordKey(table.Cell(kStampCol, r), table.Cell(kTextCol, r)));
  int added = 0;
  for (const JournalRecord& record : records) {
    if (record.text.empty()) continue;
    if (cutOff > TextView(record.stamp).substr(0, 10)) continue;
    const std::vector<Text> readBack = KeysAsReadBack(record, cutOff);
    const auto inTable = [&stored](const Text& key) { return stored.count(key) != 0; };
    if (!readBack.empty() && std::all_of(readBack.begin(), readBack.end(), inTable)) continue;
    ++logCnt;
    ++added;
    table.SetRowCount(logCnt + 1);
    HistoryKeys keys = KeysFromStamp(record.stamp);
    table.SetCell(kStampCol, logCnt, record.stamp);
    table.SetCell(kTextCol, logCnt, record.text);
    table.SetCell(kDateKeyCol, logCnt, std::move(keys.dateKey));
    table.SetCell(kTimeKeyCol, logCnt, std::move(keys.timeKey));
  }
  if (added > 0) SortHistory(table, collator);
  return added;
}

}  // namespace core::history
