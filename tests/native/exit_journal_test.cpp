// What the exit and a crash leave behind: the history journal between start-up and exit,
// one backup slot per run, a log-off during a running exit, a question that cannot be shown.
#include <gtest/gtest.h>

#include "core/backup.h"
#include "core/history_journal.h"
#include "form_fixture.h"
#include "recording_file_system.h"

namespace {

using core::Text;
using gui::headless::BoxKind;
using testing_support::U16;
using testing_support::U8;
namespace fs = std::filesystem;

class ExitJournal : public testing_support::RecordedAppTest {
 protected:
  fs::path Ini() const { return root / "Soramitsu.ini"; }
  fs::path Slot(int n) const { return root / ("Bkup" + std::to_string(n)); }
  fs::path Journal() const { return DataDir() / "Log.journal"; }
  // A text copied in another program at the next second, recorded by the next tick.
  void Copy(ui::TMainForm& f, const Text& text) {
    ++services_.clock.now.second;
    services_.clipboard.CopyText(text);
    f.Timer2Timer();
    EXPECT_TRUE(f.clipboardReader.WaitFor(kSettleMs));
  }
  std::vector<Text> HistoryTexts(ui::TMainForm& f) {
    std::vector<Text> texts;
    const core::CellTable& t = f.StringGrid1.Table();
    for (int r = 1; r <= f.Log_Cnt; ++r) texts.push_back(t.Cell(1, r));
    return texts;
  }
  std::vector<gui::headless::ShownBox>& Boxes() { return gui::headless::ShownBoxes(); }
  // The process is killed: nothing of the exit runs.
  ui::TMainForm& KillAndStart() {
    form.reset();
    gui::headless::Reset();
    return Start();
  }
};

// ---- The journal ----

TEST_F(ExitJournal, KilledRunIsRecoveredOnceAndACleanExitRemovesTheJournal) {
  ui::TMainForm* f = &Start();
  Copy(*f, u"一つ目");
  Copy(*f, u"two\nlines");
  ASSERT_TRUE(fs::exists(Journal()));
  EXPECT_EQ(core::history::ParseJournal(ReadBytes(Journal())).size(), 2u);

  f = &KillAndStart();
  EXPECT_EQ(HistoryTexts(*f), (std::vector<Text>{u"two\nlines", u"一つ目"}));
  EXPECT_EQ(f->Memo_Board.GetText(), u"two\nlines");  // the board shows the newest
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(U8(Boxes()[0].text), "前回正しく終了できなかったため保存されていなかった履歴を、2 件復元しました。");

  Copy(*f, u"三つ目");
  ASSERT_TRUE(f->Close());
  EXPECT_FALSE(fs::exists(Journal()));
  EXPECT_FALSE(fs::exists(Slot(2) / "Log.journal"));
  f = &KillAndStart();
  EXPECT_EQ(HistoryTexts(*f), (std::vector<Text>{u"三つ目", u"two\r\nlines", u"一つ目"}));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ExitJournal, RecordsAlreadyInLogDatAreNotRecoveredAgain) {
  ui::TMainForm* f = &Start();
  Copy(*f, u"\r\nstarts with a break");
  const std::string journal = ReadBytes(Journal());
  ASSERT_TRUE(f->Close());
  // Killed after Log.dat was written but before the journal was deleted.
  WriteBytes(Journal(), journal);
  f = &KillAndStart();
  EXPECT_EQ(f->Log_Cnt, 1);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ExitJournal, ClearingTheHistoryDeletesTheJournal) {
  ui::TMainForm* f = &Start();
  Copy(*f, u"secret");
  gui::headless::QueueAnswer(true);
  f->Img_ClrerClick();
  EXPECT_FALSE(fs::exists(Journal()));
  f = &KillAndStart();
  EXPECT_EQ(f->Log_Cnt, 0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ExitJournal, UnreadableLogDatKeepsTheJournalForALaterStart) {
  ui::TMainForm* f = &Start();
  Copy(*f, u"this run");
  f->historyLoadFailed = true;  // as when Log.dat could not be read at start-up
  ASSERT_TRUE(f->Close());
  EXPECT_TRUE(fs::exists(Journal()));
  f = &KillAndStart();
  EXPECT_EQ(HistoryTexts(*f), (std::vector<Text>{u"this run"}));
}

// While Log.dat cannot be read the journal keeps the texts; each cause is told once.
TEST_F(ExitJournal, UnreadableLogDatIsToldOnceAndItsTextsComeBackWhenItIsReadable) {
  WriteBytes(DataDir() / "Log.dat", "no records here");
  auto startCountingBoxes = [&](ui::TMainForm*& f) {
    f = &KillAndStart();
    std::vector<std::string> boxes;
    for (const auto& box : Boxes()) boxes.push_back(U8(box.text));
    return boxes;
  };
  ui::TMainForm* f = &Start();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(U8(Boxes()[0].text).find("同じ理由では、次回からこのお知らせを表示しません。"),
            std::string::npos);
  Copy(*f, u"one");
  ASSERT_TRUE(f->Close());

  EXPECT_TRUE(startCountingBoxes(f).empty());  // same reason, nothing new
  EXPECT_EQ(HistoryTexts(*f), (std::vector<Text>{u"one"}));
  Copy(*f, u"two");  // then killed
  EXPECT_EQ(startCountingBoxes(f), (std::vector<std::string>{
      "前回正しく終了できなかったため保存されていなかった履歴を、1 件復元しました。"}));
  ASSERT_TRUE(f->Close());

  fs::remove(DataDir() / "Log.dat");  // the user mended it
  EXPECT_EQ(startCountingBoxes(f), (std::vector<std::string>{
      "履歴ファイルを読み込めなかった間の履歴を、2 件履歴に戻しました。"}));
  EXPECT_EQ(HistoryTexts(*f), (std::vector<Text>{u"two", u"one"}));
  ASSERT_TRUE(f->Close());
  EXPECT_FALSE(fs::exists(Journal()));
  EXPECT_TRUE(startCountingBoxes(f).empty());
  EXPECT_EQ(HistoryTexts(*f), (std::vector<Text>{u"two", u"one"}));
}

TEST_F(ExitJournal, JournalThatCannotBeWrittenNeverStopsTheMonitorOrTheExit) {
  ui::TMainForm& f = StartRecorded();
  recorder->failWrite = [](const Text& p) { return p.ends_with(u"Log.journal"); };
  Copy(f, u"recorded all the same");
  EXPECT_EQ(recorder->Count("append Data/Log.journal"), 1);
  EXPECT_EQ(HistoryTexts(f), (std::vector<Text>{u"recorded all the same"}));
  EXPECT_TRUE(Boxes().empty());
  ASSERT_TRUE(f.Close());
  EXPECT_NE(ReadBytes(DataDir() / "Log.dat").find("recorded all the same"), std::string::npos);
}

// ---- One slot per run ----

struct RepeatedExit {
  const char* name;
  bool logOff;  // the first exit: a log-off that another program cancelled
};
void PrintTo(const RepeatedExit& exit, std::ostream* os) { *os << exit.name; }

class OneSlotPerRun : public ExitJournal, public ::testing::WithParamInterface<RepeatedExit> {};

TEST_P(OneSlotPerRun, RepeatedExitGoesToTheSameSlot) {
  WriteBytes(Ini(), "[BKUP]\r\nFLG=1\r\nDATE1=2026/01/01 00:00:00\r\n");
  WriteBytes(Slot(1) / "Log.dat", "older generation");
  ui::TMainForm& f = StartRecorded();
  if (GetParam().logOff) {
    ASSERT_TRUE(f.WMQueryEndSession());
  } else {
    recorder->failWrite = [](const Text& p) { return p.ends_with(u".ini"); };
    gui::headless::QueueAnswer(false);  // stay, do not leave without saving
    ASSERT_FALSE(f.Close());
    recorder->failWrite = nullptr;
  }
  services_.clock.now.hour = 13;
  ASSERT_TRUE(f.Close());
  EXPECT_EQ(recorder->Count("copy Data/Log.dat -> Bkup1"), 0);
  EXPECT_EQ(ReadBytes(Slot(1) / "Log.dat"), "older generation");
  EXPECT_EQ(ReadBytes(Slot(2) / "Log.dat"), ReadBytes(DataDir() / "Log.dat"));
  const std::string ini = ReadBytes(Ini());
  EXPECT_NE(ini.find("FLG=0\r\nDATE1=2026/01/01 00:00:00\r\nDATE2=2026/12/09 13:00:00\r\n"),
            std::string::npos)
      << ini;
}

INSTANTIATE_TEST_SUITE_P(Table, OneSlotPerRun,
                         ::testing::Values(RepeatedExit{"AfterSettingsWriteFailed", false},
                                           RepeatedExit{"AfterCancelledLogOff", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- A log-off during a running exit ----

// Answered at once; when the session then really ends, the backup and the settings are on
// the disk before WMEndSession returns (the process may be ended right then), otherwise the
// running exit completes them itself. Nothing is written twice.
TEST_F(ExitJournal, LogOffDuringTheBackupPauseIsAllowedAndTheExitCompletes) {
  for (const bool sessionEnds : {false, true}) {
    SCOPED_TRACE(sessionEnds ? "the session ends" : "the log-off is cancelled");
    ui::TMainForm& f = StartRecorded();
    int passes = 0;
    bool answer = false;
    std::vector<std::string> eventsWhenEnded;
    gui::headless::SetPendingMessages([&] {
      if (++passes == 1) {
        answer = f.WMQueryEndSession();
      } else if (passes == 2 && sessionEnds) {
        f.WMEndSession();
        eventsWhenEnded = recorder->events;
      }
    });
    EXPECT_TRUE(f.Close());
    EXPECT_TRUE(answer);
    EXPECT_EQ(recorder->Count("copy Data/Log.dat -> Bkup"), 1);  // each run its own slot
    EXPECT_GT(recorder->IndexOf("write Soramitsu.ini"), recorder->IndexOf("copy Data/Log.dat"));
    if (sessionEnds) EXPECT_EQ(recorder->events, eventsWhenEnded);
    gui::headless::SetPendingMessages(nullptr);
    form.reset();
  }
}

TEST_F(ExitJournal, LogOffWhileAskingToLeaveIsAllowedAndTheQuestionStillDecides) {
  ui::TMainForm& f = StartRecorded();
  recorder->failWrite = [](const Text& p) { return p.ends_with(u"Log.dat"); };
  bool answer = false;
  gui::headless::SetWhileAsking([&] {
    answer = f.WMQueryEndSession();
    f.WMEndSession();  // nothing could be written: nothing to finish
  });
  gui::headless::QueueAnswer(false);
  EXPECT_FALSE(f.Close());
  EXPECT_TRUE(answer);
  EXPECT_FALSE(f.IsClosed());
  EXPECT_EQ(recorder->IndexOf("copy "), -1);
}

// ---- The question whether to leave without saving ----

TEST(Questions, WhatCountsAsGoingOn) {
  using gui::QuestionResult;
  struct Case {
    QuestionResult result;
    bool defaultNo, goesOn;
  };
  for (const Case& c : {Case{QuestionResult::Yes, false, true}, Case{QuestionResult::No, false, false},
                        Case{QuestionResult::NotShown, false, true},
                        Case{QuestionResult::Yes, true, true}, Case{QuestionResult::No, true, false},
                        Case{QuestionResult::NotShown, true, false}}) {
    EXPECT_EQ(gui::QuestionGoesOn(c.result, c.defaultNo), c.goesOn)
        << static_cast<int>(c.result) << " defaultNo " << c.defaultNo;
  }
}

TEST_F(ExitJournal, LeaveQuestionThatCannotBeShownKeepsTheWindowOpen) {
  ui::TMainForm& f = StartRecorded();
  recorder->failWrite = [](const Text& p) { return p.ends_with(u"Log.dat"); };
  gui::headless::QueueUnshownQuestion();
  EXPECT_FALSE(f.Close());
  EXPECT_FALSE(f.IsClosed());
}

}  // namespace
