// Log.dat: reading with the 31-day cut-off, the collected-text rules, and writing.
#include <gmock/gmock.h>
#include <ostream>
#include <random>
#include "core/table_utils.h"
#include "tests/native/history_test_support.h"
#include "tests/native/recording_file_system.h"

namespace history_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class HistoryLoadTest : public HistoryFormTest {};

struct AgeCase {
  int daysAgo;
  bool kept;
};
// Test names show the case, not its bytes.
void PrintTo(const AgeCase& c, std::ostream* os) { *os << c.daysAgo << " days"; }

class HistoryCutOffTest : public HistoryFormTest, public ::testing::WithParamInterface<AgeCase> {};

TEST_P(HistoryCutOffTest, KeepsRecordsOfTheLast31Days) {
  WriteLog(Record(StampDaysAgo(GetParam().daysAgo, 23, 59, 59), "text"));
  Start();
  EXPECT_EQ(Form().Log_Cnt, GetParam().kept ? 1 : 0);
  EXPECT_THAT(Texts(), ElementsAre(GetParam().kept ? "text" : ""));
}

INSTANTIATE_TEST_SUITE_P(Ages, HistoryCutOffTest,
                         ::testing::Values(AgeCase{0, true}, AgeCase{10, true}, AgeCase{31, true},
                                           AgeCase{32, false}, AgeCase{40, false},
                                           AgeCase{50, false}));

TEST_F(HistoryLoadTest, DropsOldRecordsWithTheirLinesAndTheNextWriteLeavesThemOut) {
  const std::string today = StampDaysAgo(0, 9, 0, 0), tenDays = StampDaysAgo(10);
  WriteLog(Record(today, "today\r\nsecond line") + Record(tenDays, "ten days") +
           Record(StampDaysAgo(40), "forty days") + Record(StampDaysAgo(50), "fifty\r\ndays"));
  Start();
  EXPECT_EQ(Form().Log_Cnt, 2);
  EXPECT_THAT(Texts(), ElementsAre("today\r\nsecond line", "ten days"));
  EXPECT_THAT(Stamps(), ElementsAre(today, tenDays));
  EXPECT_FALSE(Form().historyLoadFailed);

  Form().WriteHistoryFile();
  EXPECT_EQ(LogBytes(), Cp932(Record(today, "today\r\nsecond line") + Record(tenDays, "ten days")));
}

TEST_F(HistoryLoadTest, SortsNewestFirstAndKeepsFileOrderForEqualStamps) {
  const std::string older = StampDaysAgo(3, 8, 0, 0), newer = StampDaysAgo(1, 20, 30, 0);
  const std::string same = StampDaysAgo(2, 10, 0, 0);
  WriteLog(Record(older, "older") + Record(same, "same 1") + Record(newer, "newer") +
           Record(same, "same 2") + Record(StampDaysAgo(2, 9, 59, 59), "just before"));
  Start();
  EXPECT_THAT(Texts(), ElementsAre("newer", "same 1", "same 2", "just before", "older"));
}

TEST_F(HistoryLoadTest, SetsHeadersWidthsAndForgetsAnEarlierLongerTable) {
  std::string file;
  for (int i = 0; i < 5; ++i) file += Record(StampDaysAgo(i), "record " + std::to_string(i));
  WriteLog(file);
  Start();
  ASSERT_EQ(History().RowCount(), 6);
  History().SetColWidth(1, 900);

  WriteLog(Record(StampDaysAgo(0), "only one"));
  Form().Log_Load();
  EXPECT_EQ(Form().Log_Cnt, 1);
  EXPECT_EQ(History().RowCount(), 2);
  EXPECT_EQ(History().ColCount(), 5);
  EXPECT_EQ(U8(History().Cell(1, 0)), "クリップボードの履歴 (過去約一カ月)");
  EXPECT_EQ(U8(History().Cell(2, 0)), "日時");
  const int widths[] = {10, 540, 150, 0, 0};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(History().ColWidth(c), widths[c]) << "column " << c;
  History().SetRowCount(6);  // rows that fell outside must not come back
  for (int r = 2; r < 6; ++r) {
    for (int c = 0; c < 5; ++c) EXPECT_TRUE(History().Cell(c, r).empty()) << c << "," << r;
  }
}

TEST_F(HistoryLoadTest, IgnoresLinesBeforeTheFirstHeaderAndTakesShortHeadersAsTheyStand) {
  const std::string stamp = StampDaysAgo(1);
  WriteLog("stray line\r\n\r\n" + Record(stamp, "full") + kMarker + "2999/01/01 00:0\r\nshort\r\n" +
           kMarker + "\r\nbare, dated before the cut-off\r\n");
  Start();
  ASSERT_EQ(Form().Log_Cnt, 2);
  // The header cut short has empty keys, which sort first.
  EXPECT_THAT(Texts(), ElementsAre("short", "full"));
  EXPECT_THAT(Stamps(), ElementsAre("2999/01/01 00:0", stamp));
  EXPECT_THAT(Column(History(), 3),
              ElementsAre("", U8(core::history::KeysFromStamp(U16(stamp)).dateKey)));
}

TEST_F(HistoryLoadTest, AnEmptyOrMissingFileGivesOneEmptyRow) {
  for (bool present : {false, true}) {
    if (present) WriteLog("");
    form.reset();
    Start();
    EXPECT_EQ(Form().Log_Cnt, 0);
    EXPECT_EQ(History().RowCount(), 2);
    for (int c = 0; c < 5; ++c) EXPECT_TRUE(History().Cell(c, 1).empty());
    Form().WriteHistoryFile();
    EXPECT_EQ(LogBytes(), "") << "an empty history writes a file without lines";
  }
}

// Texts recorded by the monitor, written at exit and read at the next start.
struct RoundTrip {
  const char* name;
  std::string recorded;
  std::string loaded;
};
// Test names show the case, not its bytes.
void PrintTo(const RoundTrip& c, std::ostream* os) { *os << c.name; }

class HistoryRoundTripTest : public HistoryFormTest,
                             public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(HistoryRoundTripTest, TextComesBackAsExpected) {
  Start();
  CopyAndTick(GetParam().recorded);
  ASSERT_EQ(Form().Log_Cnt, 1);
  Form().WriteHistoryFile();
  Form().Log_Load();
  EXPECT_EQ(Form().Log_Cnt, 1);
  EXPECT_THAT(Texts(), ElementsAre(GetParam().loaded));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HistoryRoundTripTest,
    ::testing::Values(RoundTrip{"LeadingBreakVanishes", "\r\nabc", "abc"},
                      RoundTrip{"LeadingEmptyLinesVanish", "\r\n\r\n\r\nabc\r\nd", "abc\r\nd"},
                      RoundTrip{"TrailingBreakStays", "abc\r\n", "abc\r\n"},
                      RoundTrip{"InnerEmptyLineStays", "a\r\n\r\nb", "a\r\n\r\nb"},
                      RoundTrip{"LoneLineFeedBecomesCrLf", "a\nb", "a\r\nb"},
                      RoundTrip{"LoneCarriageReturnBecomesCrLf", "a\rb\n\rc", "a\r\nb\r\nc"},
                      RoundTrip{"JapaneseAndSymbols", "日本語　テキスト\r\n①～￥", "日本語　テキスト\r\n①～￥"},
                      RoundTrip{"EmojiAndRareKanji", "😀 𠮷野家", "😀 𠮷野家"},
                      RoundTrip{"VeryLongLines", std::string(9000, 'x') + "\r\n" + std::string(5000, 'y'),
                                std::string(9000, 'x') + "\r\n" + std::string(5000, 'y')}),
    [](const ::testing::TestParamInfo<RoundTrip>& info) { return std::string(info.param.name); });

TEST_F(HistoryLoadTest, ATextOfOnlyBreaksComesBackEmptyAndIsNotWrittenAgain) {
  Start();
  CopyAndTick("\r\n\r\n");
  Form().WriteHistoryFile();
  Form().Log_Load();
  EXPECT_EQ(Form().Log_Cnt, 1);
  EXPECT_THAT(Texts(), ElementsAre(""));
  EXPECT_FALSE(History().Cell(2, 1).empty()) << "the stamp stays";
  Form().WriteHistoryFile();
  EXPECT_EQ(LogBytes(), "");
}

TEST_F(HistoryLoadTest, ALineStartingWithTheMarkerBecomesAHeaderOfItsOwn) {
  Start();
  CopyAndTick("first\r\n" + kMarker + "tail");
  Form().WriteHistoryFile();
  Form().Log_Load();
  ASSERT_EQ(Form().Log_Cnt, 2);
  EXPECT_THAT(Texts(), ::testing::UnorderedElementsAre("first", ""));
  EXPECT_THAT(Stamps(), ::testing::Contains("tail"));
}

TEST_F(HistoryLoadTest, WritesCodePage932ByteForByte) {
  Start();
  Clock().now = {2026, 12, 9, 9, 5, 29};
  CopyAndTick("こんにちは\r\nWorld");
  Form().WriteHistoryFile();
  const std::string expected =
      "\x5C\x5C\x93\xE0\x97\x65\x5C\x5C\x3D"  // the marker
      "2026/12/09 09:05:30 79738790909469\r\n"
      "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD\r\n"  // こんにちは
      "World\r\n";
  EXPECT_EQ(LogBytes(), expected);
}

// The history's own sort must give exactly what sorting by the time key and then by the
// date key gives, whatever the keys hold.
TEST(HistoryFile, LacksRecordHeadersOnlyWhenSomethingIsThereButNoHeader) {
  const std::string header = kMarker + "2024/05/17 09:05:30 79759482909469";
  struct Case {
    const char* name;
    std::string text;
    bool lacks;
  } cases[] = {
      {"empty", "", false},
      {"only breaks and blanks", "\r\n  \r\n\t\r\n　", false},
      {"records", header + "\r\ntext\r\n", false},
      {"header after other lines", "notes\r\n" + header + "\r\ntext", false},
      {"header without its stamp", kMarker, false},
      {"plain notes", "notes\r\nmore notes\r\n", true},
      {"marker not at the start", " " + header + "\r\ntext", true},
      {"marker cut short", "\\\\内容\\\\2024/05/17", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(core::history::LacksRecordHeaders(U16(c.text)), c.lacks) << c.name;
}

// A history file in which no record is found is kept as it is; the user hears of it once.
TEST_F(HistoryLoadTest, AFileWithoutAnyRecordHeaderIsReportedAndNotOverwritten) {
  const std::string notes = Cp932("買い物メモ\r\n牛乳\r\n");
  WriteBytes(LogPath(), notes);
  Start();
  EXPECT_TRUE(Form().historyLoadFailed);
  EXPECT_EQ(Form().Log_Cnt, 0);
  EXPECT_EQ(U8(History().Cell(1, 0)), "クリップボードの履歴 (過去約一カ月)");
  ASSERT_EQ(gui::headless::ShownBoxes().size(), 1u);
  EXPECT_EQ(gui::headless::ShownBoxes()[0].text,
            u"履歴ファイルを読み込めませんでした。\r\n" + Form().DataPath +
                u"Log.dat\r\n履歴の記録が見つかりません。\r\n\r\n"
                u"このファイルは終了時に上書きされません。\r\n"
                u"読み込めるようになるまで、新しい履歴は Log.journal に保存し、読み込めるようになったら"
                u"履歴に戻します。同じ理由では、次回からこのお知らせを表示しません。");
  CopyAndTick("recorded in this run");
  EXPECT_TRUE(Form().Close());
  EXPECT_EQ(LogBytes(), notes);
}

class HistoryLoadFaults : public RecordedAppTest {};

// The hidden key columns must not show, whatever happened to the file.
TEST_F(HistoryLoadFaults, HeadersAndWidthsAreSetWhenTheFileCannotBeRead) {
  WriteBytes(DataDir() / "Log.dat", Cp932(Record("2024/05/17 09:05:30", "text")));
  ui::TMainForm& f = StartRecorded();
  core::CellTable& table = f.StringGrid1.Table();
  for (int c = 0; c < 5; ++c) {
    table.SetCell(c, 0, u"");
    table.SetColWidth(c, 64);
  }
  recorder->failRead = [](const Text& path) { return path.find(u"Log.dat") != Text::npos; };
  EXPECT_THROW(f.Log_Load(), core::AppError);
  EXPECT_TRUE(f.historyLoadFailed);
  EXPECT_EQ(U8(table.Cell(1, 0)), "クリップボードの履歴 (過去約一カ月)");
  EXPECT_EQ(U8(table.Cell(2, 0)), "日時");
  const int widths[] = {10, 540, 150, 0, 0};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(table.ColWidth(c), widths[c]) << "column " << c;
}

TEST(HistorySort, MatchesSortingByTimeKeyThenDateKey) {
  platform::posix::PosixCollator collator;
  std::mt19937 random(11);
  const Text dates[] = {u"79738790", u"79738791", u"79738799", u"79738800"};
  const Text times[] = {u"764040", u"879999", u"879998", u"999999"};
  for (int round = 0; round < 300; ++round) {
    const int rows = 1 + static_cast<int>(random() % 12);
    core::CellTable expected(5, rows + 1);
    for (int r = 1; r <= rows; ++r) {
      expected.SetRow(r, {u"", U16("text " + std::to_string(r)), u"stamp", dates[random() % 4],
                          times[random() % 4]});
    }
    if (round % 3 == 0) {  // sorted but for the last row, as after a recording
      core::history::SortHistory(expected, collator);
      expected.SetRow(rows, {u"", u"new", u"stamp", dates[random() % 4], times[random() % 4]});
    }
    if (round % 7 == 0) expected.SetCell(3, 1 + static_cast<int>(random() % rows), u"7973");
    if (round % 11 == 0) expected.SetCell(4, 1 + static_cast<int>(random() % rows), u"");
    core::CellTable actual = expected;
    core::GridSort(expected, 4, collator);
    core::GridSort(expected, 3, collator);
    core::history::SortHistory(actual, collator);
    for (int r = 1; r <= rows; ++r) {
      ASSERT_EQ(actual.Row(r), expected.Row(r)) << "round " << round << ", row " << r;
    }
  }
}

}  // namespace
}  // namespace history_test
