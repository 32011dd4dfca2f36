// The rotating backup: rotation, folder operations, the wait and the information message.
#include <gtest/gtest.h>

#include "core/backup.h"
#include "form_fixture.h"
#include "recording_file_system.h"

namespace {

using core::Text;
using testing_support::U16;
using testing_support::U8;
namespace fs = std::filesystem;

// ---- The information message ----

TEST(BackupInformation, ThreeForms) {
  const Text b1 = u"C:\\app\\Bkup1\\", b2 = u"C:\\app\\Bkup2\\";
  EXPECT_EQ(core::BackupInformationText({1, u"", u""}, b1, b2),
            u"バックアップは一度も実行されていません");
  EXPECT_EQ(core::BackupInformationText({0, u"", u"2016/03/05 21:07:09"}, b1, b2),
            u"バックアップは、2016/03/05 21:07:09 に　C:\\app\\Bkup2\\フォルダに保存されています。");
  EXPECT_EQ(core::BackupInformationText({1, u"2016/03/06 08:00:00", u"2016/03/05 21:07:09"}, b1, b2),
            u"バックアップは、\r\n2016/03/06 08:00:00 に　C:\\app\\Bkup1\\フォルダに\r\n"
            u"2016/03/05 21:07:09 に　C:\\app\\Bkup2\\フォルダに\r\n保存されています。");
  // A date for slot 1 only: four lines, the third begins with " に　".
  EXPECT_EQ(core::BackupInformationText({1, u"2016/03/06 08:00:00", u""}, b1, b2),
            u"バックアップは、\r\n2016/03/06 08:00:00 に　C:\\app\\Bkup1\\フォルダに\r\n"
            u" に　C:\\app\\Bkup2\\フォルダに\r\n保存されています。");
}

TEST(BackupRotation, OneSlotPerRun) {
  struct Case {
    int flag, runSlot;
    int slot, flagAfter;
    const char16_t *date1After, *date2After;
  };
  // date1 and date2 start as "d1" and "d2"; the backup is stamped "now".
  for (const Case& c : {Case{1, 0, 2, 0, u"d1", u"now"}, Case{5, 0, 2, 0, u"d1", u"now"},
                        Case{0, 0, 1, 1, u"now", u"d2"},
                        // Repeated in the same run: the flag has moved on already and stays.
                        Case{0, 2, 2, 0, u"d1", u"now"}, Case{1, 1, 1, 1, u"now", u"d2"}}) {
    core::BackupState state{c.flag, u"d1", u"d2"};
    int runSlot = c.runSlot;
    EXPECT_EQ(core::ChooseRunSlot(state, runSlot, u"now"), c.slot) << c.flag << "/" << c.runSlot;
    EXPECT_EQ(runSlot, c.slot);
    EXPECT_EQ(state.flag, c.flagAfter);
    EXPECT_EQ(state.date1, c.date1After);
    EXPECT_EQ(state.date2, c.date2After);
  }
}

// ---- Folder operations on the Linux file system ----

class FolderOps : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/soramitsu-backup-XXXXXX";
    root = fs::path(mkdtemp(pattern));
    fs::create_directories(root / "Data");
    fs::create_directories(root / "Slot");
  }
  void TearDown() override { fs::remove_all(root); }
  Text Win(const std::string& rel) const { return U16(root.string() + "\\" + rel); }
  void Put(const std::string& rel, const std::string& bytes = "x") {
    std::ofstream(root / rel, std::ios::binary) << bytes;
  }
  std::vector<std::string> Names(const std::string& rel) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(root / rel)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path root;
  platform::posix::PosixFileSystem fileSystem;
};

TEST_F(FolderOps, CopiesOrdinaryFilesOnlyReplacingSameNames) {
  Put("Data/Log.dat", "new log");
  Put("Data/hozon.dat", "");
  Put("Data/h20240115 093012.dat", "text");
  Put("Data/secret.dat");
  Put("Data/sys.dat");
  fs::create_directory(root / "Data" / "sub");
  Put("Slot/Log.dat", "old log");
  fileSystem.MarkAttributes(Win("Data\\secret.dat"), true, false);
  fileSystem.MarkAttributes(Win("Data\\sys.dat"), false, true);
  ASSERT_EQ(core::CopyAllFiles(fileSystem, Win("Data\\"), Win("Slot\\")), 0);
  EXPECT_EQ(Names("Slot"), (std::vector<std::string>{"Log.dat", "h20240115 093012.dat", "hozon.dat"}));
  std::ifstream in(root / "Slot" / "Log.dat");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new log");
}

TEST_F(FolderOps, EmptyFolderCopiesNothingAndSucceeds) {
  EXPECT_EQ(core::CopyAllFiles(fileSystem, Win("Data\\"), Win("Slot\\")), 0);
  EXPECT_EQ(core::DeleteAllFiles(fileSystem, Win("Slot\\")), 0);
}

TEST_F(FolderOps, MissingFoldersAreMinusOne) {
  Put("Data/Log.dat");
  EXPECT_EQ(core::CopyAllFiles(fileSystem, Win("Data\\"), Win("Nowhere\\")), -1);
  EXPECT_EQ(core::CopyAllFiles(fileSystem, Win("Nowhere\\"), Win("Slot\\")), -1);
  EXPECT_EQ(core::DeleteAllFiles(fileSystem, Win("Nowhere\\")), -1);
  EXPECT_TRUE(Names("Slot").empty());
}

TEST_F(FolderOps, DeleteRemovesUsersFilesButKeepsHiddenSystemAndFolders) {
  Put("Slot/mine.txt");
  Put("Slot/Log.dat");
  Put("Slot/hidden.dat");
  Put("Slot/system.dat");
  Put("Slot/.dotfile");
  fs::create_directory(root / "Slot" / "keep");
  Put("Slot/keep/inner.dat");
  fs::permissions(root / "Slot" / "Log.dat", fs::perms::owner_read);  // read-only counts
  fileSystem.MarkAttributes(Win("Slot\\hidden.dat"), true, false);
  fileSystem.MarkAttributes(Win("Slot\\system.dat"), false, true);
  EXPECT_EQ(core::DeleteAllFiles(fileSystem, Win("Slot\\")), 0);
  EXPECT_EQ(Names("Slot"), (std::vector<std::string>{".dotfile", "hidden.dat", "keep", "system.dat"}));
  EXPECT_TRUE(fs::exists(root / "Slot" / "keep" / "inner.dat"));
}

TEST_F(FolderOps, DeletionStopsAtTheFirstFailure) {
  Put("Slot/a.dat");
  Put("Slot/b.dat");
  Put("Slot/c.dat");
  fileSystem.FailOperationsOn(Win("Slot\\b.dat"));
  EXPECT_EQ(core::DeleteAllFiles(fileSystem, Win("Slot\\")), -2);
  EXPECT_EQ(Names("Slot"), (std::vector<std::string>{"b.dat", "c.dat"}));
}

TEST_F(FolderOps, CopyThatFailsPartWayKeepsWhatWasCopiedAndStops) {
  for (const char* n : {"a.dat", "b.dat", "c.dat", "d.dat"}) Put(std::string("Data/") + n);
  testing_support::RecordingFileSystem failing(fileSystem);
  failing.failCopyNumber = 3;
  EXPECT_EQ(core::CopyAllFiles(failing, Win("Data\\"), Win("Slot\\")), -2);
  EXPECT_EQ(Names("Slot"), (std::vector<std::string>{"a.dat", "b.dat"}));
  EXPECT_EQ(failing.Count("copy "), 3);  // d.dat was not tried
}

TEST_F(FolderOps, ListingThatBreaksOffIsAFailure) {
  for (const char* n : {"a.dat", "b.dat", "c.dat"}) Put(std::string("Data/") + n);
  fileSystem.BreakListingAfter(Win("Data\\"), 1);
  EXPECT_EQ(core::CopyAllFiles(fileSystem, Win("Data\\"), Win("Slot\\")), -2);
  for (const char* n : {"a.dat", "b.dat"}) Put(std::string("Slot/") + n);
  fileSystem.BreakListingAfter(Win("Slot\\"), 0);
  EXPECT_EQ(core::DeleteAllFiles(fileSystem, Win("Slot\\")), -2);
}

// A read-only file in the data folder, as a user's tool or a restore from a CD leaves it.
// Windows refuses to delete or replace a read-only file and copies the attribute along:
// without clearing it in the slots, the third backup (back into the first slot) fails.
TEST_F(FolderOps, ReadOnlyDataFileKeepsTheRotationWorkingAndStaysReadOnlyInData) {
  fs::create_directories(root / "Slot2");
  Put("Data/Log.dat", "log");
  Put("Data/h20240115 093012.dat", "text");
  fs::permissions(root / "Data" / "h20240115 093012.dat", fs::perms::owner_write,
                  fs::perm_options::remove);
  testing_support::RecordingFileSystem recorder(fileSystem);
  recorder.root = U16(root.string());
  for (const char* slot : {"Slot2\\", "Slot\\", "Slot2\\", "Slot\\"}) {
    EXPECT_EQ(core::DeleteAllFiles(recorder, Win(slot)), 0) << slot;
    EXPECT_EQ(core::CopyAllFiles(recorder, Win("Data\\"), Win(slot)), 0) << slot;
  }
  for (const char* dir : {"Slot", "Slot2"}) {
    const fs::path copy = root / dir / "h20240115 093012.dat";
    EXPECT_TRUE(fs::exists(copy)) << dir;
    EXPECT_NE(fs::status(copy).permissions() & fs::perms::owner_write, fs::perms::none) << dir;
  }
  EXPECT_EQ(fs::status(root / "Data" / "h20240115 093012.dat").permissions() & fs::perms::owner_write,
            fs::perms::none);
  for (const std::string& event : recorder.events)
    EXPECT_NE(event.rfind("clear Data/", 0), 0u) << event;

  // Kept as they are, the slot's read-only files stop the rotation as on Windows.
  fs::permissions(root / "Slot" / "Log.dat", fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_EQ(core::DeleteAllFiles(fileSystem, Win("Slot\\"), core::ReadOnlyFiles::Keep), -2);
  EXPECT_EQ(core::CopyAllFiles(fileSystem, Win("Data\\"), Win("Slot\\"), core::ReadOnlyFiles::Keep), -2);
}

// Only a file the listing shows read-only costs attribute calls, and the leftovers of a
// killed write never reach a slot.
TEST_F(FolderOps, OrdinaryFilesCostNoAttributeCallsAndLeftoversStayOut) {
  Put("Data/Log.dat", "log");
  Put("Data/Log.dat.tmp1234-0", "texts cleared since");
  Put("Slot/old.dat", "older generation");
  testing_support::RecordingFileSystem recorder(fileSystem);
  recorder.root = U16(root.string());
  EXPECT_EQ(core::DeleteAllFiles(recorder, Win("Slot\\")), 0);
  EXPECT_EQ(core::CopyAllFiles(recorder, Win("Data\\"), Win("Slot\\")), 0);
  EXPECT_EQ(recorder.Count("clear "), 0);
  EXPECT_TRUE(fs::exists(root / "Slot" / "Log.dat"));
  EXPECT_FALSE(fs::exists(root / "Slot" / "Log.dat.tmp1234-0"));
  // A copy that came out short, though reported done, fails the backup.
  recorder.cutCopyNumber = 1;
  EXPECT_EQ(core::CopyAllFiles(recorder, Win("Data\\"), Win("Slot\\")), -2);
}

TEST(LeftoverTemporary, OnlyTheProgramsOwnNames) {
  for (const char16_t* name : {u"Log.dat.tmp4242-0", u"hozon.dat.tmp1-12", u"Log.journal.tmp7-3",
                               u"h20240115 093012.dat.tmp88-1"})
    EXPECT_TRUE(core::IsLeftoverTemporary(name)) << U8(name);
  for (const char16_t* name : {u"Log.dat", u"memo.txt.tmp1-2", u"Log.dat.tmp", u"Log.dat.tmp12",
                               u"Log.dat.tmp1-", u"Log.dat.tmpx-1", u"hozon.dat.tmp1-2.bak",
                               u"h2024.dat.tmp1-2", u"Soramitsu.ini.tmp1-2"})
    EXPECT_FALSE(core::IsLeftoverTemporary(name)) << U8(name);
}

// ---- In the main window ----

class Backup : public testing_support::RecordedAppTest {
 protected:
  fs::path Slot(int n) const { return root / ("Bkup" + std::to_string(n)); }
  std::vector<std::string> Files(const fs::path& dir) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  const std::string& LastBox() { return last_ = U8(gui::headless::ShownBoxes().back().text); }
  std::string last_;
};

TEST_F(Backup, WaitProcessesMessagesAtLeastOnceAndStaysRightAcrossTheWrap) {
  ui::TMainForm& f = Start();
  int passes = 0;
  gui::headless::SetPendingMessages([&] { ++passes; });
  services_.clock.tickStep = 100;
  f.Waitjob(0);
  EXPECT_EQ(passes, 1);

  passes = 0;
  services_.clock.tick = 1000;
  f.Waitjob(1200);
  const int normal = passes;
  EXPECT_EQ(normal, 13);  // stops once more than 1200 ms have passed

  passes = 0;
  services_.clock.tick = 0xFFFFFF00u;  // the counter wraps during the wait
  f.Waitjob(1200);
  EXPECT_EQ(passes, normal);
}

TEST_F(Backup, FillsTheChosenSlotAfterEmptyingIt) {
  ui::TMainForm& f = Start();
  WriteBytes(DataDir() / "Log.dat", "log");
  WriteBytes(Slot(2) / "mine.txt", "user's");
  services_.clock.now = {2016, 3, 5, 21, 7, 9};
  bool sawCaption = false;
  gui::headless::SetPendingMessages([&] {
    if (f.Caption() == u"只今、自動バックアップ中です。") sawCaption = true;
  });
  ASSERT_TRUE(f.AutoBackup());
  EXPECT_TRUE(sawCaption);  // a message pass after the caption was set
  EXPECT_EQ(Files(Slot(2)), (std::vector<std::string>{"Log.dat"}));
  EXPECT_TRUE(Files(Slot(1)).empty());
  EXPECT_EQ(f.Ini_BkupFlg, 0);
  EXPECT_EQ(f.Ini_BkupDate2, u"2016/03/05 21:07:09");
  EXPECT_EQ(f.Caption(), u"只今、自動バックアップ中です。");
}

TEST_F(Backup, EmptyDataFolderEmptiesTheSlotAndRecordsTheDate) {
  ui::TMainForm& f = Start();
  for (const auto& e : fs::directory_iterator(DataDir())) fs::remove_all(e.path());
  WriteBytes(Slot(2) / "old.dat", "old");
  ASSERT_TRUE(f.AutoBackup());
  EXPECT_TRUE(Files(Slot(2)).empty());
  EXPECT_FALSE(f.Ini_BkupDate2.empty());
  EXPECT_TRUE(gui::headless::ShownBoxes().empty());
}

TEST_F(Backup, MissingSlotFolderFailsWithTheMessage) {
  ui::TMainForm& f = Start();
  fs::remove_all(Slot(2));
  EXPECT_FALSE(f.AutoBackup());
  ASSERT_EQ(gui::headless::ShownBoxes().size(), 1u);
  EXPECT_EQ(LastBox(), "自動バックアップ中にエラーが発生しました");
}

TEST_F(Backup, CopyFailingPartWayIsReported) {
  WriteBytes(DataDir() / "a.dat", "a");
  WriteBytes(DataDir() / "b.dat", "b");
  ui::TMainForm& f = StartRecorded();
  recorder->failCopyNumber = 2;
  EXPECT_FALSE(f.AutoBackup());
  EXPECT_EQ(LastBox(), "自動バックアップ中にエラーが発生しました");
  EXPECT_EQ(Files(Slot(2)), (std::vector<std::string>{"a.dat"}));
}

TEST_F(Backup, ListingThatBreaksOffIsReported) {
  WriteBytes(DataDir() / "a.dat", "a");
  WriteBytes(DataDir() / "b.dat", "b");
  ui::TMainForm& f = Start();
  services_.fileSystem.BreakListingAfter(f.DataPath, 1);
  EXPECT_FALSE(f.AutoBackup());
  EXPECT_EQ(LastBox(), "自動バックアップ中にエラーが発生しました");
}

}  // namespace
