// The clipboard monitor: one tick's outcomes, the records it makes, and its guards.
#include <gmock/gmock.h>
#include <functional>
#include <ostream>
#include "tests/native/history_test_support.h"

namespace history_test {
namespace {

using ::testing::ElementsAre;

class HistoryMonitorTest : public HistoryFormTest {};

struct Outcome {
  const char* name;
  std::string oldStr, board, clipboard;
  bool excluded;
  std::string expectOldStr, expectBoard;
  bool recorded;
};
// Test names show the case, not its bytes.
void PrintTo(const Outcome& c, std::ostream* os) { *os << c.name; }

class HistoryOutcomeTest : public HistoryFormTest, public ::testing::WithParamInterface<Outcome> {};

TEST_P(HistoryOutcomeTest, OneTick) {
  const Outcome& c = GetParam();
  Start();
  Form().oldStr = U16(c.oldStr);
  Form().Memo_Board.SetText(U16(c.board));
  CopyAndTick(c.clipboard, c.excluded);
  EXPECT_EQ(U8(Form().oldStr), c.expectOldStr);
  EXPECT_EQ(Board(), c.expectBoard);
  EXPECT_EQ(Form().Log_Cnt, c.recorded ? 1 : 0);
  EXPECT_THAT(Texts(), ElementsAre(c.recorded ? c.clipboard : ""));
}

INSTANTIATE_TEST_SUITE_P(
    Table, HistoryOutcomeTest,
    ::testing::Values(
        Outcome{"SameAsOldStr", "A", "X", "A", false, "A", "X", false},
        Outcome{"EmptyText", "A", "X", "", false, "", "X", false},
        Outcome{"BoardAlreadyShowsIt", "A", "B", "B", false, "B", "B", false},
        Outcome{"NewText", "A", "X", "B", false, "B", "B", true},
        Outcome{"ExcludedText", "A", "X", "secret", true, "secret", "X", false},
        Outcome{"ExcludedTextEqualToBoard", "A", "secret", "secret", true, "secret", "secret", false}),
    [](const ::testing::TestParamInfo<Outcome>& info) { return std::string(info.param.name); });

TEST_F(HistoryMonitorTest, RecordsStampAndInvertedKeysAtTheTop) {
  Start();
  Clock().now = {2024, 5, 17, 9, 5, 29};
  CopyAndTick("Hello\r\nWorld");
  ASSERT_EQ(History().RowCount(), 2);
  EXPECT_EQ(U8(History().Cell(1, 1)), "Hello\r\nWorld");
  EXPECT_EQ(U8(History().Cell(2, 1)), "2024/05/17 09:05:30");
  EXPECT_EQ(U8(History().Cell(3, 1)), "79759482");
  EXPECT_EQ(U8(History().Cell(4, 1)), "909469");
}

TEST(HistoryKeys, AreFixedWidthInvertedDigits) {
  auto keys = core::history::KeysFromStamp(u"2024/05/17 23:59:59");
  EXPECT_EQ(keys.dateKey, u"79759482");
  EXPECT_EQ(keys.timeKey, u"764040");
  keys = core::history::KeysFromStamp(u"1000/01/01 00:00:00");
  EXPECT_EQ(keys.dateKey, u"89999898");
  EXPECT_EQ(keys.timeKey, u"999999");
}

TEST_F(HistoryMonitorTest, TheStartUpTextIsNotRecordedButTheNextOneIs) {
  Clipboard().CopyText(u"there before");
  Start();
  Tick();
  EXPECT_EQ(Form().Log_Cnt, 0);
  CopyAndTick("copied after");
  EXPECT_THAT(Texts(), ElementsAre("copied after"));
}

TEST_F(HistoryMonitorTest, CopyingTheNewestHistoryTextAgainAfterStartIsNotRecorded) {
  WriteLog(Record(StampDaysAgo(1), "newest") + Record(StampDaysAgo(2), "older"));
  Start();
  ASSERT_EQ(Board(), "newest");
  CopyAndTick("newest");
  EXPECT_EQ(Form().Log_Cnt, 2);
}

// What other programs and the user do, step by step, and the history that results.
// Steps: "copy X" (a second later), "again X" (in the same second), "image", "clock back"
// (by four hours), "type X" (into the board).
struct Script {
  const char* name;
  std::vector<std::string> steps;
  std::vector<std::string> history;  // newest first
};
// Test names show the case, not its bytes.
void PrintTo(const Script& c, std::ostream* os) { *os << c.name; }

class HistoryScriptTest : public HistoryFormTest, public ::testing::WithParamInterface<Script> {};

TEST_P(HistoryScriptTest, GivesTheExpectedHistory) {
  Start();
  for (const std::string& step : GetParam().steps) {
    const std::string verb = step.substr(0, step.find(' '));
    const std::string text = step.find(' ') == std::string::npos ? "" : step.substr(step.find(' ') + 1);
    if (verb == "copy") {
      CopyAndTick(text);
    } else if (verb == "again") {
      Clipboard().CopyText(U16(text));
      TickAndSettle();
    } else if (verb == "image") {
      NextSecond();
      Clipboard().CopyImage();
      TickAndSettle();
    } else if (step == "clock back") {
      Clock().now.hour -= 4;
    } else if (verb == "type") {
      Form().Memo_Board.TextEditedByUser(U16(text));
    } else {
      FAIL() << "unknown step " << step;
    }
  }
  EXPECT_EQ(Texts(), GetParam().history.empty() ? std::vector<std::string>{""} : GetParam().history);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, HistoryScriptTest,
    ::testing::Values(
        Script{"SameTextTwice", {"copy A", "copy A"}, {"A"}},
        Script{"ABA", {"copy A", "copy B", "copy A"}, {"A", "B", "A"}},
        Script{"ImageBetweenEqualTexts", {"copy A", "image", "copy A"}, {"A"}},
        Script{"LetterCase", {"copy ok", "copy OK"}, {"OK", "ok"}},
        Script{"ClockSetBack", {"copy A", "clock back", "copy B"}, {"A", "B"}},
        Script{"EqualStampsKeepOlderAbove", {"copy A", "again B"}, {"A", "B"}},
        Script{"WholeEditedBoardCopied", {"type typed text", "copy typed text"}, {}},
        Script{"PartOfEditedBoardCopied", {"type typed text", "copy typed"}, {"typed"}}),
    [](const ::testing::TestParamInfo<Script>& info) { return std::string(info.param.name); });

TEST_F(HistoryMonitorTest, ChoosingARowIsNotRecordedAtTheNextTick) {
  WriteLog(Record(StampDaysAgo(1), "newest") + Record(StampDaysAgo(2), "a\r\n\r\nb"));
  Start();
  History().SelectByUser(1, 2);
  ASSERT_EQ(ClipboardText(), "a\r\nb\r\n");
  Tick();
  EXPECT_EQ(Form().Log_Cnt, 2);
  EXPECT_EQ(U8(Form().oldStr), "a\r\nb\r\n");
}

TEST_F(HistoryMonitorTest, AfterClearingTheFirstTextFillsRowOne) {
  WriteLog(Record(StampDaysAgo(1), "old"));
  Start();
  gui::headless::QueueAnswer(true);
  Form().Img_ClrerClick();
  CopyAndTick("new");
  EXPECT_EQ(History().RowCount(), 2);
  EXPECT_THAT(Texts(), ElementsAre("new"));
  EXPECT_EQ(Form().Log_Cnt, 1);
}

TEST_F(HistoryMonitorTest, AnExcludedTextIsRememberedSoItIsNotPickedUpLater) {
  Start();
  CopyAndTick("password", /*excluded=*/true);
  Tick();
  Tick();
  EXPECT_EQ(Form().Log_Cnt, 0);
  EXPECT_EQ(Board(), "");
  Form().WriteHistoryFile();
  EXPECT_EQ(LogBytes(), "");
}

TEST_F(HistoryMonitorTest, AnUnchangedSequenceNumberSkipsOpeningTheClipboard) {
  Start();
  CopyAndTick("A");
  const int reads = Clipboard().readCount;
  Tick();
  Tick();
  EXPECT_EQ(Clipboard().readCount, reads);
  CopyAndTick("B");
  EXPECT_GT(Clipboard().readCount, reads);
  EXPECT_THAT(Texts(), ElementsAre("B", "A"));
}

TEST_F(HistoryMonitorTest, AfterAFailedReadTheNextTickReadsAgain) {
  Start();
  CopyAndTick("A");
  // Another program copies B and still holds the clipboard open at the tick.
  Clipboard().busy = true;
  CopyAndTick("B");
  EXPECT_EQ(U8(Form().oldStr), "") << "a failed read counts as no text";
  Clipboard().busy = false;
  // The sequence number has not changed since, but the last read failed: read now.
  Tick();
  EXPECT_EQ(U8(Form().oldStr), "B");
  EXPECT_THAT(Texts(), ElementsAre("B", "A"));
}

TEST_F(HistoryMonitorTest, AFailedReadWhileTheBoardShowsTheTextGivesNoSecondRecord) {
  Start();
  CopyAndTick("A");
  Clipboard().busy = true;
  CopyAndTick("A");
  Clipboard().busy = false;
  Tick();
  EXPECT_EQ(U8(Form().oldStr), "A");
  EXPECT_THAT(Texts(), ElementsAre("A"));
  EXPECT_TRUE(gui::headless::ShownBoxes().empty()) << "the tick shows no message";
}

TEST_F(HistoryMonitorTest, NothingIsRecordedOnceTheExitHasWrittenTheHistory) {
  Start();
  CopyAndTick("kept");
  Form().WriteHistoryFile();
  Form().historyWritten = true;
  const int reads = Clipboard().readCount;
  CopyAndTick("too late");
  EXPECT_EQ(Clipboard().readCount, reads) << "the clipboard is not even opened";
  EXPECT_THAT(Texts(), ElementsAre("kept"));
  EXPECT_EQ(U8(Form().oldStr), "kept");
  EXPECT_EQ(Board(), "kept");
}

// A program that renders its copy slowly: the read waits at the clipboard stand-in's gate.
TEST_F(HistoryMonitorTest, ASlowCopyIsReadOnceOffTheWindowThreadAndRecordedWhenItArrives) {
  Start();
  CopyAndTick("before");
  Clipboard().CloseGate();
  NextSecond();
  Clipboard().CopyText(u"slow");
  Form().Timer2Timer();  // returns: the read waits on its own thread
  ASSERT_TRUE(Clipboard().WaitUntilReadWaits(kSettleMs));
  const int reads = Clipboard().readCount;
  NextSecond();
  Form().Timer2Timer();
  EXPECT_EQ(Clipboard().readCount, reads) << "no second read starts while one is pending";
  EXPECT_TRUE(Form().clipboardReader.Pending());
  // The pending read holds the clipboard open: the program's own writes fail at once.
  Form().StringGrid1.Table().SetCurrentRow(1);
  EXPECT_THROW(Form().N8Click(), core::AppError);
  Form().Memo_Board.TextEditedByUser(u"typed meanwhile");  // the window goes on working
  Clock().now = {2026, 12, 9, 12, 0, 42};
  Clipboard().OpenGate();
  Settle();
  Tick();
  Tick();
  EXPECT_THAT(Texts(), ElementsAre("slow", "before")) << "recorded once";
  EXPECT_EQ(Stamps()[0], "2026/12/09 12:00:42") << "stamped when it arrived";
  EXPECT_EQ(Board(), "slow");
}

TEST_F(HistoryMonitorTest, NothingIsRecordedBeforeTheStartUpTextHasArrived) {
  Clipboard().CopyText(u"there before");
  Clipboard().CloseGate();
  services = std::make_unique<platform::Services>(services_.Services());
  form = std::make_unique<ui::TMainForm>(*services);
  ASSERT_TRUE(Clipboard().WaitUntilReadWaits(kSettleMs));
  const int reads = Clipboard().readCount;
  Form().Timer2Timer();
  Form().Timer2Timer();
  EXPECT_EQ(Clipboard().readCount, reads);
  Clipboard().OpenGate();
  Settle();
  EXPECT_EQ(U8(Form().oldStr), "there before");
  Tick();
  EXPECT_EQ(Form().Log_Cnt, 0) << "the start-up text is never recorded";
}

// The exit never waits for a pending read, and a text that comes back afterwards is not
// recorded: Log.dat has been written.
TEST_F(HistoryMonitorTest, TheExitDoesNotWaitForAPendingRead) {
  Start();
  CopyAndTick("kept");
  Clipboard().CloseGate();
  Clipboard().CopyText(u"too late");
  Form().Timer2Timer();
  ASSERT_TRUE(Clipboard().WaitUntilReadWaits(kSettleMs));
  ASSERT_TRUE(Form().Close());
  EXPECT_NE(LogBytes().find("kept"), std::string::npos);
  Clipboard().OpenGate();
  Form().clipboardReader.WaitFor(kSettleMs);
  EXPECT_THAT(Texts(), ElementsAre("kept"));
  EXPECT_EQ(LogBytes().find("too late"), std::string::npos);
}

TEST_F(HistoryMonitorTest, ChangesMadeWhileTheReadIsPendingAreSeenWhenItArrives) {
  Start();
  Clipboard().CloseGate();
  NextSecond();
  Clipboard().CopyText(u"same");
  Form().Timer2Timer();
  ASSERT_TRUE(Clipboard().WaitUntilReadWaits(kSettleMs));
  Form().Memo_Board.TextEditedByUser(u"same");
  Clipboard().OpenGate();
  Settle();
  EXPECT_EQ(Form().Log_Cnt, 0);
  EXPECT_EQ(U8(Form().oldStr), "same");
}

}  // namespace
}  // namespace history_test
