// Files and listings through the Win32 file functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/held_file_retry.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_profile_file.h"
#include "platform_test_support.h"

namespace {

using platform::win32::Win32FileSystem;
using wine_test::TempFolder;

const platform::DirEntry* Find(const platform::Listing& listing, core::TextView name) {
  for (const auto& e : listing.entries) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

TEST(Win32FileSystem, ExistenceAndFolderCreation) {
  TempFolder dir;
  Win32FileSystem fs;
  EXPECT_TRUE(fs.FolderExists(dir.Path()));  // with its trailing backslash
  EXPECT_FALSE(fs.FileExists(dir.Path()));
  EXPECT_TRUE(fs.CreateFolder(dir.Path(L"Data\\")));
  EXPECT_FALSE(fs.CreateFolder(dir.Path(L"Data\\")));
  EXPECT_FALSE(fs.CreateFolder(dir.Path(L"a\\b\\")));
  dir.Put(L"Data\\Log.dat", "x");
  EXPECT_TRUE(fs.FileExists(dir.Path(L"Data\\Log.dat")));
  EXPECT_FALSE(fs.FolderExists(dir.Path(L"Data\\Log.dat")));
  EXPECT_EQ(fs.ReadFile(dir.Path(L"Data\\Log.dat")), "x");
  EXPECT_THROW(fs.ReadFile(dir.Path(L"none.dat")), core::AppError);
}

TEST(Win32FileSystem, AtomicWriteReplacesAndLeavesNoTemporaryFile) {
  TempFolder dir;
  Win32FileSystem fs;
  dir.Put(L"hozon.dat", "old contents that are longer");
  const std::string bytes("a\0b\r\n\xff", 6);
  fs.WriteFileAtomic(dir.Path(L"hozon.dat"), bytes);
  EXPECT_EQ(dir.Get(L"hozon.dat"), bytes);
  fs.WriteFileAtomic(dir.Path(L"new.dat"), "");
  EXPECT_EQ(dir.Get(L"new.dat"), "");
  ASSERT_TRUE(::SetFileAttributesW(dir.Wide(L"new.dat").c_str(), FILE_ATTRIBUTE_HIDDEN));
  fs.WriteFileAtomic(dir.Path(L"new.dat"), "again");
  EXPECT_EQ(dir.Get(L"new.dat"), "again");
  EXPECT_TRUE(::GetFileAttributesW(dir.Wide(L"new.dat").c_str()) & FILE_ATTRIBUTE_HIDDEN);
  platform::Listing listing = fs.List(dir.Path(), u"*.*");
  EXPECT_EQ(listing.entries.size(), 2u);
}

TEST(Win32FileSystem, FailedWriteKeepsTheOldFileAndNamesIt) {
  TempFolder dir;
  Win32FileSystem fs;
  dir.Put(L"Log.dat", "old");
  ASSERT_TRUE(::SetFileAttributesW(dir.Wide(L"Log.dat").c_str(), FILE_ATTRIBUTE_READONLY));
  try {
    fs.WriteFileAtomic(dir.Path(L"Log.dat"), "new");
    FAIL() << "a read-only file was replaced";
  } catch (const core::AppError& e) {
    EXPECT_EQ(e.message(), dir.Path(L"Log.dat") + u" に書き込めません");
  }
  EXPECT_EQ(dir.Get(L"Log.dat"), "old");
  EXPECT_EQ(fs.List(dir.Path(), u"*.*").entries.size(), 1u);  // no temporary file left
  EXPECT_THROW(fs.WriteFileAtomic(dir.Path(L"missing\\x.dat"), "x"), core::AppError);
}

TEST(Win32FileSystem, AppendCreatesThenAddsAtTheEndAndCanBeDeletedBetween) {
  TempFolder dir;
  Win32FileSystem fs;
  const std::string second("b\0\r\n\xff", 5);
  EXPECT_TRUE(fs.AppendFile(dir.Path(L"Log.journal"), "first "));
  EXPECT_TRUE(fs.AppendFile(dir.Path(L"Log.journal"), second));
  EXPECT_EQ(dir.Get(L"Log.journal"), "first " + second);
  EXPECT_TRUE(fs.RemoveFile(dir.Path(L"Log.journal")));  // no handle stays open
  EXPECT_TRUE(fs.AppendFile(dir.Path(L"Log.journal"), "again"));
  EXPECT_EQ(dir.Get(L"Log.journal"), "again");
  EXPECT_FALSE(fs.AppendFile(dir.Path(L"missing\\Log.journal"), "x"));
}

TEST(Win32FileSystem, ListingReportsFoldersHiddenSystemAndReadOnlyFiles) {
  TempFolder dir;
  Win32FileSystem fs;
  dir.Put(L"plain.dat", "");
  dir.Put(L"noext", "");
  dir.Put(L"hidden.dat", "");
  dir.Put(L"system.dat", "");
  dir.Put(L"readonly.dat", "abc");
  dir.Put(L"Soramitsu.lnk", "");
  dir.Put(L"other.LnK", "");
  dir.Put(L"x.lnk2", "");  // its short name ends in .LNK
  ASSERT_TRUE(fs.CreateFolder(dir.Path(L"sub")));
  ::SetFileAttributesW(dir.Wide(L"hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
  ::SetFileAttributesW(dir.Wide(L"system.dat").c_str(), FILE_ATTRIBUTE_SYSTEM);
  ::SetFileAttributesW(dir.Wide(L"readonly.dat").c_str(), FILE_ATTRIBUTE_READONLY);

  platform::Listing all = fs.List(dir.Path(), u"*.*");
  EXPECT_TRUE(all.complete);
  EXPECT_EQ(all.entries.size(), 9u);
  EXPECT_FALSE(Find(all, u"."));
  EXPECT_FALSE(Find(all, u".."));
  ASSERT_TRUE(Find(all, u"noext"));
  ASSERT_TRUE(Find(all, u"sub"));
  EXPECT_TRUE(Find(all, u"sub")->isFolder);
  EXPECT_FALSE(Find(all, u"plain.dat")->isFolder);
  EXPECT_TRUE(Find(all, u"hidden.dat")->hidden);
  EXPECT_FALSE(Find(all, u"hidden.dat")->system);
  EXPECT_TRUE(Find(all, u"system.dat")->system);
  EXPECT_FALSE(Find(all, u"plain.dat")->hidden || Find(all, u"plain.dat")->system);
  EXPECT_TRUE(Find(all, u"readonly.dat")->readOnly);
  EXPECT_EQ(Find(all, u"readonly.dat")->size, 3u);
  EXPECT_FALSE(Find(all, u"plain.dat")->readOnly || Find(all, u"sub")->readOnly);
  ::SetFileAttributesW(dir.Wide(L"readonly.dat").c_str(), FILE_ATTRIBUTE_NORMAL);  // to be removed

  platform::Listing links = fs.List(dir.Path(), u"*.LNK");
  EXPECT_TRUE(links.complete);
  std::vector<core::Text> names;
  for (const auto& e : links.entries) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<core::Text>{u"Soramitsu.lnk", u"other.LnK"}));
}

TEST(Win32FileSystem, EmptyMatchIsCompleteMissingFolderIsNot) {
  TempFolder dir;
  Win32FileSystem fs;
  platform::Listing none = fs.List(dir.Path(), u"*.LNK");
  EXPECT_TRUE(none.complete);
  EXPECT_TRUE(none.entries.empty());
  platform::Listing missing = fs.List(dir.Path(L"nope\\"), u"*.*");
  EXPECT_FALSE(missing.complete);
}

TEST(Win32FileSystem, CopyReplacesDeleteRefusesReadOnlyFiles) {
  TempFolder dir;
  Win32FileSystem fs;
  dir.Put(L"a.dat", "new");
  dir.Put(L"b.dat", "older and longer");
  EXPECT_TRUE(fs.CopyFileReplacing(dir.Path(L"a.dat"), dir.Path(L"b.dat")));
  EXPECT_EQ(dir.Get(L"b.dat"), "new");
  EXPECT_FALSE(fs.CopyFileReplacing(dir.Path(L"none.dat"), dir.Path(L"c.dat")));
  ::SetFileAttributesW(dir.Wide(L"b.dat").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(fs.RemoveFile(dir.Path(L"b.dat")));
  EXPECT_TRUE(fs.FileExists(dir.Path(L"b.dat")));
  EXPECT_TRUE(fs.RemoveFile(dir.Path(L"a.dat")));
  EXPECT_FALSE(fs.FileExists(dir.Path(L"a.dat")));
  EXPECT_FALSE(fs.RemoveFile(dir.Path(L"a.dat")));
}

TEST(Win32FileSystem, ClearReadOnlyTakesOnlyThatAttribute) {
  TempFolder dir;
  Win32FileSystem fs;
  dir.Put(L"ro.dat", "x");
  const std::wstring ro = dir.Wide(L"ro.dat"), copy = dir.Wide(L"copy.dat");
  ::SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  // CopyFileW carries the attribute over: the copy cannot be deleted either.
  ASSERT_TRUE(fs.CopyFileReplacing(dir.Path(L"ro.dat"), dir.Path(L"copy.dat")));
  EXPECT_NE(::GetFileAttributesW(copy.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_FALSE(fs.RemoveFile(dir.Path(L"copy.dat")));
  EXPECT_TRUE(fs.ClearReadOnly(dir.Path(L"copy.dat")));
  EXPECT_TRUE(fs.CopyFileReplacing(dir.Path(L"ro.dat"), dir.Path(L"copy.dat")));
  EXPECT_TRUE(fs.ClearReadOnly(dir.Path(L"ro.dat")));
  EXPECT_EQ(::GetFileAttributesW(ro.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
            DWORD{FILE_ATTRIBUTE_HIDDEN});
  EXPECT_TRUE(fs.ClearReadOnly(dir.Path(L"ro.dat")));  // already writable
  EXPECT_TRUE(fs.RemoveFile(dir.Path(L"ro.dat")));
  EXPECT_FALSE(fs.ClearReadOnly(dir.Path(L"ro.dat")));
  EXPECT_FALSE(fs.ClearReadOnly(dir.Path()));  // a folder
}

// Another program's hold on a file (opened without sharing) that ends at the given wait of
// the program, or never. Time passes only by those waits.
class HoldingClock : public platform::Clock {
 public:
  HoldingClock(const std::wstring& path, int releaseAtWait)
      : hold_(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)),
        releaseAt_(releaseAtWait) {}
  bool Holding() const { return hold_.valid(); }
  void Release() { hold_.Close(); }
  platform::LocalDateTime Now() override { return {}; }
  std::uint32_t TickCount() override { return now; }
  void Sleep(std::uint32_t ms) override {
    now += ms;
    if (++waits == releaseAt_) hold_.Close();
  }
  std::uint32_t now = 7;
  int waits = 0;

 private:
  platform::win32::UniqueFile hold_;
  int releaseAt_;
};

struct HeldCase {
  const char* what;
  const wchar_t* held;
  // The call on the held file; true when it did what it was asked.
  std::function<bool(Win32FileSystem&, platform::win32::Win32ProfileFile&, const TempFolder&)> call;
  // What the folder holds afterwards, the call done (released) or not.
  std::function<void(const TempFolder&, bool done)> check;
};

TEST(Win32FileSystem, CallsOnAHeldFileWaitForItThenFailAsBefore) {
  const std::string kIni = "[BKUP]\r\nDATE1=2016/03/05 21:07:09\r\n";
  auto noTemporaryFile = [](const TempFolder& dir) {
    EXPECT_EQ(Win32FileSystem().List(dir.Path(), u"*.*").entries.size(), 2u);
  };
  const HeldCase cases[] = {
      {"replace through the temporary file", L"Log.dat",
       [](auto& fs, auto&, const TempFolder& dir) {
         try {
           fs.WriteFileAtomic(dir.Path(L"Log.dat"), "new");
           return true;
         } catch (const core::AppError& e) {
           EXPECT_EQ(e.message(), dir.Path(L"Log.dat") + u" に書き込めません");
           return false;
         }
       },
       [&](const TempFolder& dir, bool done) {
         EXPECT_EQ(dir.Get(L"Log.dat"), done ? "new" : "old");
         noTemporaryFile(dir);
       }},
      {"delete", L"Log.dat",
       [](auto& fs, auto&, const TempFolder& dir) { return fs.RemoveFile(dir.Path(L"Log.dat")); },
       [](const TempFolder& dir, bool done) {
         EXPECT_EQ(Win32FileSystem().FileExists(dir.Path(L"Log.dat")), !done);
       }},
      {"copy into a backup slot", L"Log.dat",
       [](auto& fs, auto&, const TempFolder& dir) {
         return fs.CopyFileReplacing(dir.Path(L"Log.dat"), dir.Path(L"slot.dat"));
       },
       [](const TempFolder& dir, bool done) {
         EXPECT_EQ(Win32FileSystem().FileExists(dir.Path(L"slot.dat")), done);
         if (done) {
           EXPECT_EQ(dir.Get(L"slot.dat"), "old");
         }
       }},
      // The system reads a file it cannot open as a missing one, without a failure.
      {"settings read", L"Soramitsu.ini",
       [](auto&, auto& profile, const TempFolder& dir) {
         const core::Text ini = dir.Path(L"Soramitsu.ini");
         const core::Text value = profile.ReadString(u"BKUP", u"DATE1", u"-", ini);
         const bool read = value == u"2016/03/05 21:07:09";
         if (!read) {
           EXPECT_EQ(value, u"-");  // the default, as for a missing file
         }
         // Defaults read from a held file must not replace what it keeps.
         EXPECT_EQ(profile.WriteString(u"BKUP", u"FLG", u"0", ini) && profile.Flush(ini), read);
         return read;
       },
       [&](const TempFolder& dir, bool done) {
         EXPECT_EQ(dir.Get(L"Soramitsu.ini").find("FLG=0") != std::string::npos, done);
         noTemporaryFile(dir);
       }},
  };
  for (const HeldCase& c : cases) {
    for (const bool released : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (released ? ", released after two waits" : ", never released"));
      TempFolder dir;
      dir.Put(L"Log.dat", "old");
      dir.Put(L"Soramitsu.ini", kIni);
      HoldingClock clock(dir.Wide(c.held), released ? 2 : -1);
      ASSERT_TRUE(clock.Holding());
      Win32FileSystem fs(clock);
      platform::win32::Win32ProfileFile profile(clock);
      EXPECT_EQ(c.call(fs, profile, dir), released);
      if (released) {
        EXPECT_EQ(clock.waits, 2);
      } else {
        EXPECT_GE(clock.now - 7, platform::kHeldFileBoundMs);
      }
      clock.Release();
      c.check(dir, released);
    }
  }
}

TEST(Win32FileSystem, ReadOnlyFileFailsWithoutWaiting) {
  TempFolder dir;
  dir.Put(L"Log.dat", "old");
  ASSERT_TRUE(::SetFileAttributesW(dir.Wide(L"Log.dat").c_str(), FILE_ATTRIBUTE_READONLY));
  HoldingClock clock(dir.Wide(L"none"), -1);
  Win32FileSystem fs(clock);
  EXPECT_FALSE(fs.RemoveFile(dir.Path(L"Log.dat")));
  EXPECT_THROW(fs.WriteFileAtomic(dir.Path(L"Log.dat"), "new"), core::AppError);
  EXPECT_EQ(clock.waits, 0);
  EXPECT_EQ(dir.Get(L"Log.dat"), "old");
}

TEST(Win32FileSystem, ExecutablePathIsThisProgram) {
  Win32FileSystem fs;
  core::Text exe = fs.ExecutablePath();
  ASSERT_GT(exe.size(), 4u);
  EXPECT_EQ(exe.substr(exe.size() - 4), u".exe");
  EXPECT_TRUE(fs.FileExists(exe));
}

}  // namespace
