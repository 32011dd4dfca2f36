// The history journal's format: every text comes back exactly, and a record cut short or
// damaged costs that record only. Recovery adds what Log.dat lacks.
#include <gtest/gtest.h>

#include "core/history.h"
#include "core/history_journal.h"
#include "core_fakes.h"
#include "platform/posix/posix_services.h"

namespace {

using core::Text;
using core::history::JournalRecord;
namespace history = core::history;

const Text kPath = u"C:\\app\\Data\\Log.journal";

struct Sample {
  const char* name;
  Text text;
};

// Texts a clipboard really carries, and texts made to look like the journal itself.
const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = {
      {"ascii", u"Hello"},
      {"japanese", u"日本語の表　テキスト"},
      {"all break kinds", u"a\r\nb\rc\nd\n\re"},
      {"leading and trailing breaks", u"\r\n\r\nx\r\n"},
      {"surrogate pair", u"絵文字 \U0001F600 end"},
      {"lone high surrogate", Text(u"a") + char16_t(0xD83D) + u"b"},
      {"lone low surrogate at the end", Text(u"a") + char16_t(0xDE00)},
      {"looks like a header", u"#J 2026/12/09 12:00:00 5 00000000\r\nabcde\r\n"},
      {"control characters", Text(u"tab\tbell\x07") + char16_t(0x1E)},
      {"bom inside", u"\uFEFFtext"},
  };
  return samples;
}

std::string JournalOfSamples() {
  core_fakes::FakeFileSystem fs;
  int second = 0;
  for (const Sample& s : Samples()) {
    const Text stamp = u"2026/12/09 12:00:" + core::ZeroPadded(second++, 2);
    EXPECT_TRUE(history::AppendJournalRecord(fs, kPath, stamp, s.text));
  }
  return fs.files[kPath];
}

TEST(HistoryJournal, HoldsEveryTextExactlyWithOneByteOrderMark) {
  const std::string bytes = JournalOfSamples();
  EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(bytes.find("\xEF\xBB\xBF", 3), bytes.find("\xEF\xBB\xBF" "text"));
  const std::vector<JournalRecord> records = history::ParseJournal(bytes);
  ASSERT_EQ(records.size(), Samples().size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].text, Samples()[i].text) << Samples()[i].name;
    EXPECT_EQ(records[i].stamp, u"2026/12/09 12:00:" + core::ZeroPadded(static_cast<int>(i), 2));
  }
}

// A power cut can stop an append after any byte: the records before it always survive, and
// the one cut short never comes back changed.
TEST(HistoryJournal, RecordCutShortAtAnyByteLeavesTheEarlierOnes) {
  const std::string bytes = JournalOfSamples();
  const std::string last = history::JournalRecordBytes(u"2026/12/09 12:59:59", u"最後の\r\nテキスト");
  const std::size_t whole = Samples().size();
  for (std::size_t cut = 0; cut <= last.size(); ++cut) {
    const std::vector<JournalRecord> records = history::ParseJournal(bytes + last.substr(0, cut));
    ASSERT_EQ(records.size(), cut == last.size() ? whole + 1 : whole) << "cut after " << cut;
    EXPECT_EQ(records[whole - 1].text, Samples().back().text);
  }
  // The file system extended the file but the data never arrived: zeros.
  EXPECT_EQ(history::ParseJournal(bytes + std::string(300, '\0')).size(), whole);
  EXPECT_TRUE(history::ParseJournal("not a journal #J at all").empty());
}

TEST(HistoryJournal, DamagedRecordIsSkippedAndLaterAppendsAreRead) {
  const std::string first = history::JournalRecordBytes(u"2026/12/09 12:00:00", u"first");
  const std::string second = history::JournalRecordBytes(u"2026/12/09 12:00:01", u"second");
  const std::string third = history::JournalRecordBytes(u"2026/12/09 12:00:02", u"third");
  // Cut short by a crash, then the next run appended after it.
  const std::string torn = "\xEF\xBB\xBF" + first + second.substr(0, second.size() - 4) + third;
  auto texts = [](const std::string& bytes) {
    std::vector<Text> out;
    for (const JournalRecord& r : history::ParseJournal(bytes)) out.push_back(r.text);
    return out;
  };
  EXPECT_EQ(texts(torn), (std::vector<Text>{u"first", u"third"}));
  // One byte of the text changed: the checksum refuses the record.
  std::string flipped = first + second + third;
  flipped[first.size() + second.size() - 4] ^= 0x01;
  EXPECT_EQ(texts(flipped), (std::vector<Text>{u"first", u"third"}));
}

// ---- Recovery into the history table ----

struct Recovery {
  const char* name;
  Text stamp, text;
  bool added;
};

TEST(HistoryJournal, RecoversWhatLogDatLacksNewestFirst) {
  platform::posix::PosixCollator collator;
  core::CellTable table;
  history::ResetHistoryTable(table);
  auto header = [](const Text& stamp) {
    const history::HistoryKeys keys = history::KeysFromStamp(stamp);
    return history::kMarker + stamp + u" " + keys.dateKey + keys.timeKey + u"\r\n";
  };
  // Killed after Log.dat was written: the inner line that begins like a header makes one
  // recorded text two records there.
  const Text headerLike = u"before\r\n" + header(u"2026/12/01 00:00:00") + u"after";
  const Text log = header(u"2026/12/08 10:00:00") + u"stored\r\nsecond line\r\n" +
                   header(u"2026/12/08 09:00:00") + headerLike + u"\r\n";
  int logCnt = history::ReadHistoryRecords(table, log, u"2026/11/08");
  ASSERT_EQ(logCnt, 3);

  const std::vector<Recovery> cases = {
      {"same stamp and text", u"2026/12/08 10:00:00", u"stored\r\nsecond line", false},
      // Log.dat turns every break into CR LF and drops leading empty lines.
      {"same as Log.dat gives it back", u"2026/12/08 10:00:00", u"\nstored\nsecond line", false},
      {"same text, other stamp", u"2026/12/08 10:00:01", u"stored\r\nsecond line", true},
      {"newer", u"2026/12/09 11:00:00", u"new\ntext", true},
      {"31 days old", u"2026/11/08 00:00:00", u"kept", true},
      {"32 days old", u"2026/11/07 23:59:59", u"dropped", false},
      {"empty text", u"2026/12/09 11:30:00", u"", false},
      {"read back as two records", u"2026/12/08 09:00:00", headerLike, false},
  };
  std::vector<JournalRecord> records;
  int expected = 0;
  for (const Recovery& c : cases) {
    records.push_back({c.stamp, c.text});
    expected += c.added ? 1 : 0;
  }
  EXPECT_EQ(history::RecoverJournalRecords(table, logCnt, records, u"2026/11/08", collator), expected);
  EXPECT_EQ(logCnt, 3 + expected);
  ASSERT_EQ(table.RowCount(), logCnt + 1);
  std::vector<Text> texts;
  for (int r = 1; r <= logCnt; ++r) texts.push_back(table.Cell(history::kTextCol, r));
  EXPECT_EQ(texts, (std::vector<Text>{u"new\ntext", u"stored\r\nsecond line", u"stored\r\nsecond line",
                                      u"before", u"after", u"kept"}));
  EXPECT_EQ(table.Cell(history::kStampCol, 1), u"2026/12/09 11:00:00");
  EXPECT_EQ(table.Cell(history::kDateKeyCol, 1), u"79738790");
}

}  // namespace
