// libFuzzer targets for every reader of bytes that come from outside the program. One
// program: it runs the entry of kTargets its name names (fuzz_<target>, links made by CMake).
// A reader must never crash, hang or leak, and where the program writes what it read, what
// it writes must read back the same; Check aborts (a finding) when it does not.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/history.h"
#include "core/history_journal.h"
#include "core/saved_store.h"
#include "core/settings.h"
#include "core/text_file.h"
#include "platform/posix/posix_services.h"
#include "tests/native/core_fakes.h"

namespace {

using core::Text;
using core::TextView;
namespace history = core::history;

void Check(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "round trip broken: %s\n", what), std::abort();
}

platform::posix::IconvAnsiCodePage& Ansi() {
  static platform::posix::IconvAnsiCodePage ansi;  // the real code page 932 tables
  return ansi;
}
platform::posix::PosixCollator collator;

// What the program does with a file it rewrites: decode, encode in the encoding found, decode.
Text Reread(TextView text, core::Encoding encoding) {
  return core::DecodeFileBytes(core::EncodeFileText(text, encoding, Ansi()), Ansi()).text;
}

bool Contains(TextView text, TextView part) { return text.find(part) != TextView::npos; }

void TextDecode(std::string_view bytes) {
  const core::DecodedText decoded = core::DecodeFileBytes(bytes, Ansi());
  Check(decoded.text == core::NormalizeLineBreaks(decoded.text), "line breaks left as they were");
  Check(Reread(decoded.text, decoded.encoding) == decoded.text, "text file");
  if (core::ClassifyUtf8(bytes) != core::Utf8Form::Invalid)
    Check(core::ToUtf8(core::FromUtf8(bytes)) == bytes, "valid UTF-8");
}

// Rows 1.. of the history table as (stamp, text, keys), the empty-text rows left out, each
// lone surrogate half as U+FFFD, the form a UTF-8 file holds it in.
Text Rows(const core::CellTable& table) {
  Text rows;
  for (int r = 1; r < table.RowCount(); ++r) {
    if (table.Cell(history::kTextCol, r).empty()) continue;
    for (int c = history::kTextCol; c < history::kColCount; ++c)
      rows += core::FromUtf8(core::ToUtf8(table.Cell(c, r))) + u'\x1F';
    rows += u'\x1E';
  }
  return rows;
}

// Log.dat as start-up reads it.
int LoadHistory(core::CellTable& table, TextView fileText) {
  history::ResetHistoryTable(table);
  const int count = history::ReadHistoryRecords(table, fileText, u"");
  history::SortHistory(table, collator);
  return count;
}

void HistoryFile(std::string_view bytes) {
  const core::DecodedText decoded = core::DecodeFileBytes(bytes, Ansi());
  if (history::LacksRecordHeaders(decoded.text)) return;  // the program refuses such a file
  core::CellTable first, second;
  LoadHistory(first, decoded.text);
  const Text written = history::HistoryFileText(first);
  LoadHistory(second, Reread(written, decoded.encoding));
  // Header lines of any other length are read by position and cannot come back the same.
  bool wellFormed = true;
  for (int r = 1; r < first.RowCount(); ++r)
    wellFormed = wellFormed && first.Cell(history::kStampCol, r).size() == 19 &&
                 first.Cell(history::kDateKeyCol, r).size() == 8 &&
                 first.Cell(history::kTimeKeyCol, r).size() == 6;
  if (wellFormed) Check(Rows(first) == Rows(second), "history file");
}

// The journal as found; then records the fuzzer makes up (a stamp byte, a length byte, the
// text's UTF-16 units), appended as the program appends them and cut at the last byte's share:
// every record appended before the cut comes back, and a start-up that recovers them, writes
// Log.dat and is killed before it deletes the journal recovers nothing twice.
void Journal(std::string_view bytes) {
  history::ParseJournal(bytes);
  std::vector<history::JournalRecord> appended;
  std::vector<std::size_t> ends;  // where each record ends in the journal
  std::string journal = "\xEF\xBB\xBF";
  for (std::size_t at = 0; at + 3 <= bytes.size();) {
    const unsigned d = static_cast<unsigned char>(bytes[at]);
    const std::size_t units = std::min<std::size_t>(static_cast<unsigned char>(bytes[at + 1]),
                                                    (bytes.size() - at - 3) / 2);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "2026/12/%02u %02u:%02u:%02u", d % 28 + 1, d % 24, d % 60,
                  d / 5 % 60);
    Text text(units, u'\0');
    std::memcpy(text.data(), bytes.data() + at + 2, units * 2);
    appended.push_back({core::FromUtf8(stamp), text});
    journal += history::JournalRecordBytes(appended.back().stamp, text);
    ends.push_back(journal.size());
    at += 2 + units * 2;
  }
  const std::size_t cut =
      bytes.empty() ? 0 : static_cast<unsigned char>(bytes.back()) * journal.size() / 255;
  const std::vector<history::JournalRecord> whole = history::ParseJournal(journal);
  Check(whole.size() == appended.size(), "journal record count");
  const std::vector<history::JournalRecord> kept = history::ParseJournal(journal.substr(0, cut));
  for (std::size_t i = 0; i < appended.size(); ++i) {
    Check(whole[i].stamp == appended[i].stamp && whole[i].text == appended[i].text,
          "journal record");
    if (ends[i] <= cut)
      Check(i < kept.size() && kept[i].text == appended[i].text, "journal record before a cut");
  }

  core::CellTable table;
  int count = 0;
  history::ResetHistoryTable(table);
  history::RecoverJournalRecords(table, count, kept, u"", collator);
  const Text logDat = history::HistoryFileText(table);
  // A line that begins like a record header splits the text in Log.dat: a limit of that format.
  if (Contains(logDat, Text(u"\r\n") + history::kMarker)) return;
  count = LoadHistory(table, Reread(logDat, core::Encoding::Ansi));
  Check(history::RecoverJournalRecords(table, count, kept, u"", collator) == 0,
        "journal recovered twice");
}

// hozon.dat: read, written back at exit (sorted), read again.
void SavedIndex(std::string_view bytes) {
  const core::DecodedText decoded = core::DecodeFileBytes(bytes, Ansi());
  const std::vector<Text> lines = core::SplitLines(decoded.text);
  const core::IndexContents contents = core::ReadIndexLines(lines);
  core::CategoryChoices(lines);
  const std::vector<Text> kept = core::MergeKeptLines({}, contents.unreadable);
  Check(core::MergeKeptLines(kept, contents.unreadable) == kept, "kept lines merged twice");
  core::CellTable table, again;
  for (core::CellTable* t : {&table, &again}) t->SetColCount(core::kSavedColCount);
  core::FillSavedTable(table, contents.entries);
  const core::IndexText first = core::BuildIndexText(table, collator);
  const core::IndexContents reread =
      core::ReadIndexLines(core::SplitLines(Reread(first.text, decoded.encoding)));
  Check(reread.unreadable.empty() && static_cast<int>(reread.entries.size()) == first.written,
        "index lines");
  for (const core::SavedEntry& e : reread.entries) core::ContentFileName(e.createdKey);
  core::FillSavedTable(again, reread.entries);
  Check(core::BuildIndexText(again, collator).text == first.text, "index written twice");
}

// The first line is an entry's created key, the rest its content file.
void ContentFile(std::string_view bytes) {
  const std::size_t eol = std::min(bytes.size(), bytes.find('\n'));
  const Text key = core::FromUtf8(bytes.substr(0, eol));
  Text name;
  try {
    name = core::ContentFileName(key);
  } catch (const core::AppError&) {
    Check(!core::IsCreatedKey(key), "a created key refused");
    return;
  }
  Check(name.size() == 20 && name.find_first_of(u"\\/:.", 0) == 16, "content file name");
  core_fakes::FakeFileSystem fs;
  const Text path = u"C:\\app\\Data\\" + name;
  fs.files[path] = std::string(bytes.substr(std::min(bytes.size(), eol + 1)));
  core::LineBuffer editor(fs, Ansi()), reader(fs, Ansi());
  editor.LoadFromFile(path);
  editor.SetText(editor.GetText());
  editor.SaveToFile(path);
  reader.LoadFromFile(path);
  Check(reader.GetText() == editor.GetText(), "content file");
}

// Soramitsu.ini: start-up reads every value, the exit writes each back as the program does.
void Settings(std::string_view bytes) {
  // Numbers first (written back as numbers), then DATE1, DATE2 (as read) and CHECKVIEW.
  static const std::pair<const char16_t*, const char16_t*> keys[8] = {
      {core::kSectionGamen, u"TOP"},   {core::kSectionGamen, u"LEFT"},
      {core::kSectionGamen, u"WIDTH"}, {core::kSectionGamen, u"HEIGHT"},
      {core::kSectionBkup, u"FLG"},    {core::kSectionBkup, u"DATE1"},
      {core::kSectionBkup, u"DATE2"},  {core::kSectionSet, u"CHECKVIEW"}};
  core_fakes::FakeFileSystem fs;
  platform::posix::PosixProfileFile profile(fs);
  const Text path = u"C:\\app\\Soramitsu.ini";
  fs.files[path] = std::string(bytes);
  Text written[8];
  for (int i = 0; i < 8; ++i) {
    const Text value = profile.ReadString(keys[i].first, keys[i].second, u"", path);
    const auto number = core::ParseProfileInteger(value);
    if (number)
      Check(core::ParseProfileInteger(core::IntToText(*number)) == number, "settings number");
    written[i] = i < 5 ? core::IntToText(number.value_or(7))
                 : i == 7
                     ? core::ProfileBooleanText(core::ParseProfileBoolean(value).value_or(false))
                     : value;
  }
  for (int i = 0; i < 8; ++i)
    Check(profile.WriteString(keys[i].first, keys[i].second, written[i], path), "settings write");
  for (int i = 0; i < 8; ++i) {
    const Text& v = written[i];
    // Windows drops the blanks and quotes around a value too: such a value changes.
    const bool plain = v.empty() || (v.find_first_of(u"\r\n") == Text::npos && v.size() <= 2047 &&
                                     !Contains(u" \t\v\f\x1A\"'", v.substr(0, 1)) &&
                                     !Contains(u" \t\v\f\x1A\"'", v.substr(v.size() - 1)));
    if (plain)
      Check(profile.ReadString(keys[i].first, keys[i].second, u"", path) == v, "settings value");
  }
}

// A history text (UTF-16 code units) handed to the web-address commands.
void WebAddress(std::string_view bytes) {
  Text text(bytes.size() / 2, u'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * 2);
  const std::optional<Text> address = history::WebAddressToOpen(text);
  if (!address) return;
  Check(text.starts_with(*address) && history::IsWebAddress(*address), "web address");
  for (char16_t u : *address)
    Check(u > 0x20 && (u < 0x7F || u > 0x9F) &&
              !Contains(u"\"<>\u2028\u2029\u202E\u3000", TextView(&u, 1)),
          "web address character");
}

struct Target {
  const char* name;
  void (*run)(std::string_view);
};
constexpr Target kTargets[] = {
    {"text_decode", TextDecode}, {"history_file", HistoryFile}, {"journal", Journal},
    {"saved_index", SavedIndex}, {"content_file", ContentFile}, {"settings", Settings},
    {"web_address", WebAddress},
};
void (*run)(std::string_view) = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
  std::string name = (*argv)[0];
  name.erase(0, name.rfind('/') + 1);
  for (const Target& t : kTargets)
    if (name == std::string("fuzz_") + t.name) run = t.run;
  if (!run) std::fprintf(stderr, "run this program as fuzz_<target>\n"), std::exit(2);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  run(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
