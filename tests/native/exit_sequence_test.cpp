// The exit sequence: history file, index, backup, then the settings file.
#include <gtest/gtest.h>

#include "form_fixture.h"
#include "recording_file_system.h"

namespace {

using core::Text;
using testing_support::U16;
using testing_support::U8;
namespace fs = std::filesystem;

class ExitSequence : public testing_support::RecordedAppTest {
 protected:
  fs::path Ini() const { return root / "Soramitsu.ini"; }
  fs::path Slot(int n) const { return root / ("Bkup" + std::to_string(n)); }
  std::vector<std::string> Files(const fs::path& dir) const {
    std::vector<std::string> names;
    if (!fs::exists(dir)) return names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // A clipboard text recorded by the monitor's next tick.
  void Copy(ui::TMainForm& f, const std::string& text) {
    services_.clipboard.CopyText(U16(text));
    f.Timer2Timer();
    EXPECT_TRUE(f.clipboardReader.WaitFor(kSettleMs));
  }
  // A new run in the same folder.
  ui::TMainForm& Restart() {
    form.reset();
    return Start();
  }
  std::vector<gui::headless::ShownBox>& Boxes() { return gui::headless::ShownBoxes(); }
  bool Shown(gui::headless::BoxKind kind, const std::string& part) {
    for (const auto& b : Boxes()) {
      if (b.kind == kind && U8(b.text).find(part) != std::string::npos) return true;
    }
    return false;
  }
  bool HistoryHolds(ui::TMainForm& f, const Text& text) {
    const core::CellTable& t = f.StringGrid1.Table();
    for (int r = 1; r < t.RowCount(); ++r) {
      if (t.Cell(1, r) == text) return true;
    }
    return false;
  }
};

TEST_F(ExitSequence, WritesHistoryIndexBackupThenSettings) {
  ui::TMainForm& f = StartRecorded();
  Copy(f, "first text");
  recorder->events.clear();
  EXPECT_TRUE(f.Close());
  EXPECT_TRUE(f.IsClosed());

  const int log = recorder->IndexOf("write Data/Log.dat");
  const int index = recorder->IndexOf("write Data/hozon.dat");
  const int copy = recorder->IndexOf("copy Data/");
  const int ini = recorder->IndexOf("write Soramitsu.ini");
  ASSERT_GE(log, 0);
  EXPECT_LT(log, index);
  EXPECT_LT(index, copy);
  EXPECT_LT(copy, ini);
  EXPECT_EQ(recorder->IndexOf("copy Data/Log.dat -> Bkup2/Log.dat") >= 0, true);
  // The slot holds this run's data.
  EXPECT_EQ(ReadBytes(Slot(2) / "Log.dat"), ReadBytes(DataDir() / "Log.dat"));
  EXPECT_NE(ReadBytes(DataDir() / "Log.dat").find("first text"), std::string::npos);
  EXPECT_EQ(ReadBytes(Slot(2) / "hozon.dat"), "");
  const std::string ini_ = ReadBytes(Ini());
  EXPECT_NE(ini_.find("FLG=0\r\n"), std::string::npos) << ini_;
  EXPECT_NE(ini_.find("DATE2=2026/12/09 12:00:00\r\n"), std::string::npos) << ini_;
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ExitSequence, RotatesOverThreeExitsAndReportsEachState) {
  services_.clock.now = {2016, 3, 5, 21, 7, 9};
  ui::TMainForm* f = &Start();
  f->N17Click();
  EXPECT_EQ(U8(Boxes().back().text), "バックアップは一度も実行されていません");
  ASSERT_TRUE(f->Close());
  EXPECT_EQ(Files(Slot(2)), (std::vector<std::string>{"Log.dat", "hozon.dat"}));
  EXPECT_TRUE(Files(Slot(1)).empty());

  services_.clock.now = {2016, 3, 6, 8, 0, 0};
  f = &Restart();
  EXPECT_EQ(f->Ini_BkupFlg, 0);
  f->N17Click();
  EXPECT_EQ(U8(Boxes().back().text), "バックアップは、2016/03/05 21:07:09 に　" + U8(f->Bkup2Path) +
                                         "フォルダに保存されています。");
  ASSERT_TRUE(f->Close());
  EXPECT_EQ(Files(Slot(1)), (std::vector<std::string>{"Log.dat", "hozon.dat"}));
  EXPECT_NE(ReadBytes(Ini()).find("FLG=1\r\n"), std::string::npos);

  services_.clock.now = {2016, 3, 7, 9, 0, 0};
  f = &Restart();
  f->N17Click();
  EXPECT_EQ(U8(Boxes().back().text), "バックアップは、\r\n2016/03/06 08:00:00 に　" + U8(f->Bkup1Path) +
                                         "フォルダに\r\n2016/03/05 21:07:09 に　" + U8(f->Bkup2Path) +
                                         "フォルダに\r\n保存されています。");
  fs::remove(Slot(2) / "hozon.dat");
  ASSERT_TRUE(f->Close());
  EXPECT_EQ(Files(Slot(2)), (std::vector<std::string>{"Log.dat", "hozon.dat"}));
  const std::string ini = ReadBytes(Ini());
  EXPECT_NE(ini.find("FLG=0\r\nDATE1=2016/03/06 08:00:00\r\nDATE2=2016/03/07 09:00:00\r\n"),
            std::string::npos)
      << ini;
}

TEST_F(ExitSequence, FlagFiveGoesToSlotTwoAndStoresZero) {
  WriteBytes(Ini(), "[BKUP]\r\nFLG=5\r\n");
  ui::TMainForm& f = Start();
  ASSERT_TRUE(f.Close());
  EXPECT_FALSE(Files(Slot(2)).empty());
  EXPECT_TRUE(Files(Slot(1)).empty());
  EXPECT_NE(ReadBytes(Ini()).find("FLG=0\r\n"), std::string::npos);
}

TEST_F(ExitSequence, FailedBackupLeavesTheSettingsFileAloneAndStillCloses) {
  const std::string before = "[GAMEN]\r\nTOP=10\r\n[BKUP]\r\nFLG=1\r\nDATE2=old\r\n[X]\r\ny=z\r\n";
  WriteBytes(Ini(), before);
  ui::TMainForm& f = Start();
  f.SetTop(300);
  fs::remove_all(Slot(2));  // deleted while the program runs
  EXPECT_TRUE(f.Close());
  EXPECT_TRUE(Shown(gui::headless::BoxKind::Message, "自動バックアップ中にエラーが発生しました"));
  EXPECT_TRUE(fs::exists(DataDir() / "Log.dat"));
  EXPECT_TRUE(fs::exists(DataDir() / "hozon.dat"));
  EXPECT_EQ(ReadBytes(Ini()), before);
}

TEST_F(ExitSequence, WriteErrorKeepsTheWindowOpenThenOffersToLeave) {
  ui::TMainForm& f = StartRecorded();
  Copy(f, "kept in memory");
  recorder->failWrite = [](const Text& p) { return p.find(u"Log.dat") != Text::npos; };
  recorder->events.clear();
  gui::headless::QueueAnswer(false);  // do not leave without saving
  EXPECT_FALSE(f.Close());
  EXPECT_FALSE(f.IsClosed());
  EXPECT_FALSE(f.historyWritten);
  EXPECT_FALSE(f.exitRunning);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0].kind, gui::headless::BoxKind::Error);
  EXPECT_NE(U8(Boxes()[0].text).find("Log.dat に書き込めません."), std::string::npos);
  EXPECT_EQ(Boxes()[1].kind, gui::headless::BoxKind::Question);
  EXPECT_NE(U8(Boxes()[1].text).find("保存せずに終了しますか"), std::string::npos);
  // The steps after the failing one did not run.
  EXPECT_EQ(recorder->IndexOf("write Data/hozon.dat"), -1);
  EXPECT_EQ(recorder->IndexOf("copy "), -1);
  EXPECT_FALSE(fs::exists(Ini()));
  EXPECT_EQ(f.Ini_BkupFlg, 1);
  EXPECT_TRUE(HistoryHolds(f, u"kept in memory"));

  // The next close runs the whole sequence again from the history file.
  recorder->failWrite = nullptr;
  Copy(f, "after the error");
  EXPECT_TRUE(f.Close());
  const std::string log = ReadBytes(DataDir() / "Log.dat");
  EXPECT_NE(log.find("kept in memory"), std::string::npos);
  EXPECT_NE(log.find("after the error"), std::string::npos);
  EXPECT_TRUE(fs::exists(Ini()));
}

TEST_F(ExitSequence, LeavingWithoutSavingWritesNothingMore) {
  ui::TMainForm& f = StartRecorded();
  recorder->failWrite = [](const Text& p) { return p.find(u"hozon.dat") != Text::npos; };
  recorder->events.clear();
  gui::headless::QueueAnswer(true);
  EXPECT_TRUE(f.Close());
  EXPECT_TRUE(f.IsClosed());
  EXPECT_EQ(recorder->IndexOf("copy "), -1);
  EXPECT_EQ(recorder->IndexOf("write Soramitsu.ini"), -1);
}

TEST_F(ExitSequence, SettingsWriteErrorIsReportedWithItsMessage) {
  ui::TMainForm& f = StartRecorded();
  recorder->failWrite = [](const Text& p) { return p.find(u".ini") != Text::npos; };
  gui::headless::QueueAnswer(false);
  EXPECT_FALSE(f.Close());
  ASSERT_FALSE(Boxes().empty());
  EXPECT_EQ(Boxes()[0].kind, gui::headless::BoxKind::Error);
  EXPECT_EQ(U8(Boxes()[0].text), U8(f.SettingsPath()) + " に書き込めません.");
}

TEST_F(ExitSequence, SecondCloseDuringTheBackupWaitIsIgnored) {
  ui::TMainForm& f = StartRecorded();
  int nested = 0;
  bool nestedClosed = true;
  gui::headless::SetPendingMessages([&] {
    if (nested++ == 0) nestedClosed = f.Close();
  });
  recorder->events.clear();
  EXPECT_TRUE(f.Close());
  EXPECT_FALSE(nestedClosed);
  EXPECT_GT(nested, 0);
  EXPECT_EQ(recorder->Count("write Data/Log.dat"), 1);
  EXPECT_EQ(recorder->Count("copy Data/Log.dat"), 1);
  EXPECT_TRUE(Files(Slot(1)).empty());  // only one slot was written
  EXPECT_FALSE(Files(Slot(2)).empty());
  const std::string ini = ReadBytes(Ini());
  EXPECT_NE(ini.find("FLG=0\r\nDATE1=\r\n"), std::string::npos) << ini;
}

TEST_F(ExitSequence, LogOffRunsTheSequenceAndIsAnsweredYes) {
  ui::TMainForm& f = Start();
  EXPECT_TRUE(f.WMQueryEndSession());
  EXPECT_TRUE(fs::exists(DataDir() / "Log.dat"));
  EXPECT_FALSE(Files(Slot(2)).empty());
  EXPECT_TRUE(fs::exists(Ini()));
  // A log-off cancelled by another program: the program goes on recording.
  EXPECT_FALSE(f.historyWritten);
}

TEST_F(ExitSequence, LogOffIsRefusedWhileDataCannotBeWritten) {
  ui::TMainForm& f = StartRecorded();
  recorder->failWrite = [](const Text& p) { return p.find(u"Log.dat") != Text::npos; };
  gui::headless::QueueAnswer(false);
  EXPECT_FALSE(f.WMQueryEndSession());
  gui::headless::QueueAnswer(true);
  EXPECT_TRUE(f.WMQueryEndSession());
}

// A start made during the exit waits for the copy to end: the exit is announced while it
// runs, taken back when it is called off or answered for a log-off, and left set once it
// went through.
TEST_F(ExitSequence, LaterStartsSeeTheExitWhileItRuns) {
  platform::posix::MemorySingleInstance::Session session;
  platform::posix::MemorySingleInstance instance(session);
  ASSERT_TRUE(instance.Claim(u"C:\\Tools\\"));
  auto exiting = [&session] { return session.holders.begin()->second.exiting; };
  ui::TMainForm& f = StartRecorded();
  f.singleInstance = &instance;
  std::vector<bool> seen;
  gui::headless::SetWhileAsking([&] { seen.push_back(exiting()); });
  gui::headless::SetPendingMessages([&] { seen.push_back(exiting()); });

  recorder->failWrite = [](const Text& p) { return p.find(u"Log.dat") != Text::npos; };
  gui::headless::QueueAnswer(false);  // do not leave without saving
  EXPECT_FALSE(f.Close());
  EXPECT_EQ(seen, std::vector<bool>{true});
  EXPECT_FALSE(exiting());
  recorder->failWrite = nullptr;
  EXPECT_TRUE(f.WMQueryEndSession());
  EXPECT_FALSE(exiting());
  seen.clear();
  EXPECT_TRUE(f.Close());
  ASSERT_FALSE(seen.empty());  // the backup's pause
  EXPECT_TRUE(seen.front());
  EXPECT_TRUE(exiting());
}

TEST_F(ExitSequence, TextCopiedAfterTheHistoryWasWrittenIsNotRecorded) {
  ui::TMainForm& f = Start();
  Copy(f, "before the exit");
  ASSERT_TRUE(HistoryHolds(f, u"before the exit"));
  const int rowsBefore = f.Log_Cnt;
  bool copied = false;
  gui::headless::SetPendingMessages([&] {
    if (copied) return;
    copied = true;
    Copy(f, "during the exit");
  });
  EXPECT_TRUE(f.Close());
  EXPECT_TRUE(copied);
  EXPECT_FALSE(HistoryHolds(f, u"during the exit"));
  EXPECT_EQ(f.Log_Cnt, rowsBefore);
  EXPECT_EQ(ReadBytes(DataDir() / "Log.dat").find("during the exit"), std::string::npos);
}

TEST_F(ExitSequence, UnreadableStartUpFilesAreNotOverwritten) {
  const std::string log = "not touched";
  ui::TMainForm& f = Start();
  WriteBytes(DataDir() / "Log.dat", log);
  WriteBytes(DataDir() / "hozon.dat", "a,b,c,1\r\n");
  f.historyLoadFailed = true;
  f.indexLoadFailed = true;
  EXPECT_TRUE(f.Close());
  EXPECT_EQ(ReadBytes(DataDir() / "Log.dat"), log);
  EXPECT_EQ(ReadBytes(DataDir() / "hozon.dat"), "a,b,c,1\r\n");
  // The backup still keeps what is on disk.
  EXPECT_EQ(ReadBytes(Slot(2) / "Log.dat"), log);
}

}  // namespace
