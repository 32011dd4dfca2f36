// The Linux file system, profile files, collation and code page 932.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "platform/posix/memory_services.h"
#include "platform/posix/posix_services.h"

namespace {

using core::Text;
using platform::posix::IconvAnsiCodePage;
using platform::posix::PosixCollator;
using platform::posix::PosixFileSystem;
using platform::posix::PosixProfileFile;

// A fresh folder per test, removed afterwards; `Win` gives its Windows-style path.
class TempFolder {
 public:
  TempFolder() {
    std::mt19937_64 random(std::random_device{}());
    path_ = std::filesystem::temp_directory_path() /
            ("soramitsu-platform-" + std::to_string(::getpid()) + "-" +
             std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::filesystem::path Native(const std::string& name = "") const { return path_ / name; }
  Text Win(const std::string& name = "") const {
    std::string s = path_.string() + "\\" + name;
    return core::FromUtf8(s);
  }

 private:
  std::filesystem::path path_;
};

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<Text> Names(const platform::Listing& listing) {
  std::vector<Text> names;
  for (const auto& e : listing.entries) names.push_back(e.name);
  return names;
}

// ---- File system ----

TEST(PosixFileSystem, MapsBackslashesAndTellsFilesFromFolders) {
  TempFolder dir;
  PosixFileSystem fs;
  EXPECT_TRUE(fs.FolderExists(dir.Win()));
  EXPECT_FALSE(fs.FileExists(dir.Win()));
  EXPECT_TRUE(fs.CreateFolder(dir.Win("Data\\")));
  EXPECT_FALSE(fs.CreateFolder(dir.Win("Data\\")));  // already there
  EXPECT_FALSE(fs.CreateFolder(dir.Win("a\\b")));    // one level only
  EXPECT_TRUE(std::filesystem::is_directory(dir.Native("Data")));
  fs.WriteFileAtomic(dir.Win("Data\\Log.dat"), "x");
  EXPECT_TRUE(fs.FileExists(dir.Win("Data\\Log.dat")));
  EXPECT_FALSE(fs.FolderExists(dir.Win("Data\\Log.dat")));
  EXPECT_EQ(Slurp(dir.Native("Data/Log.dat")), "x");
}

TEST(PosixFileSystem, AtomicWriteReplacesAndLeavesNoTemporaryFile) {
  TempFolder dir;
  PosixFileSystem fs;
  Put(dir.Native("hozon.dat"), "old contents");
  std::string bytes("a\0b\r\n\xff", 6);
  fs.WriteFileAtomic(dir.Win("hozon.dat"), bytes);
  EXPECT_EQ(fs.ReadFile(dir.Win("hozon.dat")), bytes);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Native()), {}), 1);
}

TEST(PosixFileSystem, FailedWriteKeepsOldFileAndNamesThePath) {
  TempFolder dir;
  PosixFileSystem fs;
  // The target is a non-empty folder, so the rename fails after the data was written.
  std::filesystem::create_directories(dir.Native("Log.dat/inner"));
  try {
    fs.WriteFileAtomic(dir.Win("Log.dat"), "new");
    FAIL() << "no error";
  } catch (const core::AppError& e) {
    EXPECT_NE(core::ToUtf8(e.message()).find("Log.dat"), std::string::npos);
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.Native("Log.dat/inner")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Native()), {}), 1);
  EXPECT_THROW(fs.WriteFileAtomic(dir.Win("missing\\x.dat"), "new"), core::AppError);
  EXPECT_THROW(fs.ReadFile(dir.Win("nothing.dat")), core::AppError);
}

TEST(PosixFileSystem, ReadOnlyFilesRefuseWritesAndCopies) {
  TempFolder dir;
  PosixFileSystem fs;
  Put(dir.Native("Log.dat"), "old");
  Put(dir.Native("a.dat"), "a");
  std::filesystem::permissions(dir.Native("Log.dat"), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_THROW(fs.WriteFileAtomic(dir.Win("Log.dat"), "new"), core::AppError);
  EXPECT_FALSE(fs.CopyFileReplacing(dir.Win("a.dat"), dir.Win("Log.dat")));
  EXPECT_EQ(Slurp(dir.Native("Log.dat")), "old");
  EXPECT_TRUE(fs.CopyFileReplacing(dir.Win("Log.dat"), dir.Win("b.dat")));  // reading is fine
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Native()), {}), 3);
  // As DeleteFileW and CopyFileW: no deletion, and the copy is read-only as well.
  EXPECT_FALSE(fs.RemoveFile(dir.Win("Log.dat")));
  EXPECT_FALSE(fs.CopyFileReplacing(dir.Win("a.dat"), dir.Win("b.dat")));
  EXPECT_TRUE(fs.ClearReadOnly(dir.Win("b.dat")));
  EXPECT_TRUE(fs.CopyFileReplacing(dir.Win("a.dat"), dir.Win("b.dat")));
  EXPECT_TRUE(fs.ClearReadOnly(dir.Win("Log.dat")));
  EXPECT_TRUE(fs.RemoveFile(dir.Win("Log.dat")));
  EXPECT_FALSE(fs.ClearReadOnly(dir.Win("Log.dat")));  // gone
}

// One copy per folder: the object name of a folder, and claims as copies in one session
// see them (the stand-in shares the naming with the Windows service).
TEST(SingleInstance, OneHolderPerFolderCaseIgnored) {
  const Text a = platform::InstanceObjectName(u"C:\\TOOLS\\SORAMITSU\\");
  EXPECT_EQ(a.substr(0, 16), u"Local\\Soramitsu-");
  EXPECT_EQ(a.size(), 32u);
  EXPECT_EQ(a.find(u'\\', 16), Text::npos);
  EXPECT_EQ(a, platform::InstanceObjectName(u"C:\\TOOLS\\SORAMITSU\\"));
  std::set<Text> names{a};
  for (const char16_t* other : {u"C:\\TOOLS\\SORAMITSU2\\", u"D:\\TOOLS\\SORAMITSU\\",
                                u"C:\\TOOLS\\", u"C:\\TOOLS\\SORAMITSU\\DATA\\"})
    EXPECT_TRUE(names.insert(platform::InstanceObjectName(other)).second) << core::ToUtf8(other);

  platform::posix::MemorySingleInstance::Session session;
  int window = 0;
  auto first = std::make_unique<platform::posix::MemorySingleInstance>(session);
  ASSERT_TRUE(first->Claim(u"C:\\Tools\\Soramitsu\\"));
  first->Publish(&window);
  platform::posix::MemorySingleInstance second(session), elsewhere(session);
  EXPECT_FALSE(second.Claim(u"c:\\tools\\SORAMITSU"));
  EXPECT_TRUE(second.ActivateHolder());
  EXPECT_EQ(session.activated, (std::vector<platform::NativeWindow>{&window}));
  EXPECT_TRUE(elsewhere.Claim(u"C:\\Tools\\Other\\"));
  first.reset();  // the first copy ended: the folder is free again
  platform::posix::MemorySingleInstance third(session);
  EXPECT_TRUE(third.Claim(u"C:\\Tools\\Soramitsu\\"));
}

TEST(PosixFileSystem, ListsWithPatternsAndAttributes) {
  TempFolder dir;
  PosixFileSystem fs;
  Put(dir.Native("b.dat"), "");
  Put(dir.Native("noext"), "");
  Put(dir.Native(".hidden"), "");
  Put(dir.Native("Soramitsu.lnk"), "");
  Put(dir.Native("other.LnK"), "");
  Put(dir.Native("lnk"), "");
  Put(dir.Native("x.lnk.txt"), "");
  std::filesystem::create_directory(dir.Native("sub"));
  fs.MarkAttributes(dir.Win("b.dat"), false, true);

  platform::Listing all = fs.List(dir.Win(), u"*.*");
  EXPECT_TRUE(all.complete);
  EXPECT_EQ(Names(all), (std::vector<Text>{u".hidden", u"Soramitsu.lnk", u"b.dat", u"lnk",
                                           u"noext", u"other.LnK", u"sub", u"x.lnk.txt"}));
  for (const auto& e : all.entries) {
    EXPECT_EQ(e.isFolder, e.name == u"sub") << core::ToUtf8(e.name);
    EXPECT_EQ(e.hidden, e.name == u".hidden") << core::ToUtf8(e.name);
    EXPECT_EQ(e.system, e.name == u"b.dat") << core::ToUtf8(e.name);
  }
  EXPECT_EQ(Names(fs.List(dir.Win(), u"*.LNK")),
            (std::vector<Text>{u"Soramitsu.lnk", u"other.LnK"}));
}

TEST(PosixFileSystem, ListingBreaksOffOnceAndMissingFolderIsIncomplete) {
  TempFolder dir;
  PosixFileSystem fs;
  for (const char* n : {"1", "2", "3"}) Put(dir.Native(n), "");
  fs.BreakListingAfter(dir.Win(), 2);
  platform::Listing broken = fs.List(dir.Win(), u"*.*");
  EXPECT_FALSE(broken.complete);
  EXPECT_EQ(broken.entries.size(), 2u);
  platform::Listing again = fs.List(dir.Win(), u"*.*");
  EXPECT_TRUE(again.complete);
  EXPECT_EQ(again.entries.size(), 3u);
  platform::Listing missing = fs.List(dir.Win("nope\\"), u"*.*");
  EXPECT_FALSE(missing.complete);
  EXPECT_TRUE(missing.entries.empty());
}

TEST(PosixFileSystem, CopyReplacesAndRemoveDeletesOnlyFiles) {
  TempFolder dir;
  PosixFileSystem fs;
  Put(dir.Native("a.dat"), "new");
  Put(dir.Native("b.dat"), "older and longer");
  EXPECT_TRUE(fs.CopyFileReplacing(dir.Win("a.dat"), dir.Win("b.dat")));
  EXPECT_EQ(Slurp(dir.Native("b.dat")), "new");
  EXPECT_FALSE(fs.CopyFileReplacing(dir.Win("none.dat"), dir.Win("c.dat")));
  EXPECT_FALSE(fs.FileExists(dir.Win("c.dat")));

  fs.FailOperationsOn(dir.Win("b.dat"));
  EXPECT_FALSE(fs.CopyFileReplacing(dir.Win("a.dat"), dir.Win("b.dat")));
  EXPECT_FALSE(fs.RemoveFile(dir.Win("b.dat")));
  EXPECT_TRUE(fs.RemoveFile(dir.Win("a.dat")));
  EXPECT_FALSE(fs.RemoveFile(dir.Win("a.dat")));
  std::filesystem::create_directory(dir.Native("sub"));
  EXPECT_FALSE(fs.RemoveFile(dir.Win("sub")));
}

TEST(PosixFileSystem, ExecutablePathIsTheOneSetOrTheRunningProgram) {
  PosixFileSystem fs;
  EXPECT_FALSE(fs.ExecutablePath().empty());
  fs.SetExecutablePath(u"C:\\app\\Soramitsu.exe");
  EXPECT_EQ(fs.ExecutablePath(), u"C:\\app\\Soramitsu.exe");
}

// ---- Profile files ----

class ProfileFileTest : public ::testing::Test {
 protected:
  Text Path() const { return dir.Win("Soramitsu.ini"); }
  std::string Bytes() const { return Slurp(dir.Native("Soramitsu.ini")); }
  Text Read(const Text& section, const Text& key, const Text& def = u"DEF") {
    return profile.ReadString(section, key, def, Path());
  }
  TempFolder dir;
  PosixFileSystem fs;
  PosixProfileFile profile{fs};
};

TEST_F(ProfileFileTest, NewFileHoldsSectionsInWritingOrderWithCrLf) {
  EXPECT_TRUE(profile.WriteString(u"GAMEN", u"TOP", u"200", Path()));
  EXPECT_TRUE(profile.WriteString(u"GAMEN", u"LEFT", u"200", Path()));
  EXPECT_TRUE(profile.WriteString(u"BKUP", u"DATE1", u"", Path()));
  EXPECT_TRUE(profile.WriteString(u"BKUP", u"DATE2", u"2016/03/05 21:07:09", Path()));
  EXPECT_TRUE(profile.Flush(Path()));
  EXPECT_EQ(Bytes(),
            "[GAMEN]\r\nTOP=200\r\nLEFT=200\r\n[BKUP]\r\nDATE1=\r\nDATE2=2016/03/05 21:07:09\r\n");
  EXPECT_EQ(Read(u"BKUP", u"DATE1"), u"");
  EXPECT_EQ(Read(u"bkup", u"date2"), u"2016/03/05 21:07:09");
}

TEST_F(ProfileFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(Read(u"GAMEN", u"TOP", u"200"), u"200");
  EXPECT_EQ(Read(u"GAMEN", u"TOP", u"dflt  "), u"dflt");  // trailing blanks dropped
  Put(dir.Native("Soramitsu.ini"), "[GAMEN]\r\nTOP=1\r\n");
  EXPECT_EQ(Read(u"SET", u"TOP"), u"DEF");
  EXPECT_EQ(Read(u"GAMEN", u"LEFT"), u"DEF");
  EXPECT_FALSE(fs.FileExists(dir.Win("other.ini")));
}

TEST_F(ProfileFileTest, ExistingFileKeepsUnknownLinesAndReplacesInPlace) {
  Put(dir.Native("Soramitsu.ini"),
      "; written by hand\r\n"
      "[gamen]\r\n"
      "Top = 5\r\n"
      "MINE=keep me\r\n"
      "\r\n"
      "[Other]\r\n"
      "x=1\r\n"
      "just a line\r\n");
  EXPECT_TRUE(profile.WriteString(u"GAMEN", u"TOP", u"200", Path()));
  EXPECT_TRUE(profile.WriteString(u"GAMEN", u"HEIGHT", u"683", Path()));
  EXPECT_TRUE(profile.WriteString(u"OTHER", u"y", u"2", Path()));
  EXPECT_TRUE(profile.WriteString(u"SET", u"CHECKVIEW", u"0", Path()));
  EXPECT_EQ(Bytes(),
            "; written by hand\r\n"
            "[gamen]\r\n"
            "Top=200\r\n"
            "MINE=keep me\r\n"
            "HEIGHT=683\r\n"
            "\r\n"
            "[Other]\r\n"
            "x=1\r\n"
            "just a line\r\n"
            "y=2\r\n"
            "[SET]\r\n"
            "CHECKVIEW=0\r\n");
}

TEST_F(ProfileFileTest, ValuesAreTrimmedUnquotedAndLimited) {
  std::string longValue(3000, 'v');
  Put(dir.Native("Soramitsu.ini"),
      "[S]\nA=  spaced\t \nB=\"quoted \"\nC='x'\nD=\"half\nE\nL=" + longValue + "\r[T]\rA=t\r");
  EXPECT_EQ(Read(u"S", u"A"), u"spaced");
  EXPECT_EQ(Read(u"S", u"B"), u"quoted ");
  EXPECT_EQ(Read(u"S", u"C"), u"x");
  EXPECT_EQ(Read(u"S", u"D"), u"\"half");
  EXPECT_EQ(Read(u"S", u"E"), u"");  // a key without "="
  EXPECT_EQ(Read(u"S", u"L").size(), 2047u);
  EXPECT_EQ(Read(u"T", u"A"), u"t");  // lone CR line ends
}

TEST_F(ProfileFileTest, JapaneseRoundTripsInCodePage932) {
  Put(dir.Native("Soramitsu.ini"), "[\x93\xfa\x96\x7b]\r\n\x83\x4c\x81\x5b=\x92\x6c\r\n");  // [日本] キー=値
  EXPECT_EQ(Read(u"日本", u"キー"), u"値");
  EXPECT_TRUE(profile.WriteString(u"日本", u"表示", u"ソラミツ　保存", Path()));
  EXPECT_EQ(Read(u"日本", u"表示"), u"ソラミツ　保存");
  const std::string bytes = Bytes();
  EXPECT_EQ(bytes.substr(0, 7), "[\x93\xfa\x96\x7b]\r");  // still code page 932, no mark
  // A character outside the code page is kept: the file then goes out as UTF-8 with a mark.
  EXPECT_TRUE(profile.WriteString(u"日本", u"絵", u"😀", Path()));
  EXPECT_EQ(Bytes().substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(Read(u"日本", u"絵"), u"😀");
  EXPECT_EQ(Read(u"日本", u"キー"), u"値");
}

TEST_F(ProfileFileTest, Utf8FileStaysUtf8) {
  Put(dir.Native("Soramitsu.ini"), "\xEF\xBB\xBF[SET]\r\nNAME=\xE6\x97\xA5\r\n");
  EXPECT_EQ(Read(u"SET", u"NAME"), u"日");
  EXPECT_TRUE(profile.WriteString(u"SET", u"CHECKVIEW", u"-1", Path()));
  EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[SET]\r\nNAME=\xE6\x97\xA5\r\nCHECKVIEW=-1\r\n");
}

TEST_F(ProfileFileTest, UnwritableFileGivesFalse) {
  EXPECT_FALSE(profile.WriteString(u"S", u"K", u"V", dir.Win("missing\\Soramitsu.ini")));
  std::filesystem::create_directories(dir.Native("Soramitsu.ini/x"));  // a folder in the way
  EXPECT_FALSE(profile.WriteString(u"S", u"K", u"V", Path()));
}

// ---- Code page 932 ----

TEST(IconvAnsiCodePage, DecodesSingleAndDoubleBytesLikeWindows) {
  IconvAnsiCodePage ansi;
  EXPECT_EQ(ansi.CodePage(), 932u);
  EXPECT_EQ(ansi.Decode("a\\~\xb1\xdf"), u"a\\~ｱﾟ");  // yen sign byte stays a backslash
  EXPECT_EQ(ansi.Decode("\x82\xa0\x88\x9f\x87\x40\xfa\x40"), u"あ亜①ⅰ");
  EXPECT_EQ(ansi.Decode("\x80\xa0\xfd"), u"\u0080\uF8F0\uF8F1");
  // A lead byte whose trail is missing or a line break leaves the next byte alone.
  EXPECT_EQ(ansi.Decode("\x82\r\n\x82"), u"・\r\n・");
  EXPECT_EQ(ansi.Decode(std::string_view("\0x", 2)), Text(u"\0x", 2));
}

TEST(IconvAnsiCodePage, EncodeExactRoundTripsAndRefusesWhatDoesNotFit) {
  IconvAnsiCodePage ansi;
  const Text text = u"ソラミツ　保存 abc\\~ ｱ ①ⅰ髙﨑 \r\n";
  std::optional<std::string> bytes = ansi.EncodeExact(text);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(ansi.Decode(*bytes), text);
  EXPECT_EQ(*ansi.EncodeExact(u"あ"), "\x82\xa0");
  EXPECT_FALSE(ansi.EncodeExact(u"😀"));        // outside the code page
  EXPECT_FALSE(ansi.EncodeExact(u"Ä"));          // would be a best-fit "A"
  EXPECT_FALSE(ansi.EncodeExact(u"\u00A5"));     // yen sign: no exact byte
  EXPECT_FALSE(ansi.EncodeExact(Text(1, u'\xD83D')));  // lone surrogate
  EXPECT_EQ(*ansi.EncodeExact(u""), "");
}

TEST(IconvAnsiCodePage, EveryDecodedCharacterEncodesBack) {
  IconvAnsiCodePage ansi;
  std::string all;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      all.push_back(static_cast<char>(lead));
      all.push_back(static_cast<char>(trail));
    }
  }
  Text decoded = ansi.Decode(all);
  Text mapped;
  for (char16_t c : decoded) {
    if (c != u'・') mapped.push_back(c);
  }
  std::optional<std::string> bytes = ansi.EncodeExact(mapped);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(ansi.Decode(*bytes), mapped);
}

// ---- Collation ----

TEST(PosixCollator, IgnoresCaseThenOrdersByCodeUnit) {
  PosixCollator c;
  EXPECT_EQ(c.Compare(u"abc", u"ABC"), 0);
  EXPECT_EQ(c.Compare(u"ｓｏｒａ", u"ＳＯＲＡ"), 0);
  EXPECT_EQ(c.Compare(u"Ää", u"äÄ"), 0);
  EXPECT_LT(c.Compare(u"a", u"B"), 0);
  EXPECT_GT(c.Compare(u"b", u"A"), 0);
  EXPECT_LT(c.Compare(u"_", u"a"), 0);
  EXPECT_LT(c.Compare(u"ab", u"abc"), 0);
  EXPECT_LT(c.Compare(u"ab\u0001", u"abc"), 0);  // the sort's position suffix
  EXPECT_NE(c.Compare(u"a", u"ａ"), 0);          // width is kept
  EXPECT_NE(c.Compare(u"あ", u"ア"), 0);         // kana type is kept
  EXPECT_GT(c.Compare(u"b", u""), 0);
}

// ---- Stand-ins ----

TEST(MemoryClipboard, CountsReadsAndFailsWhenBusyOrExhausted) {
  platform::posix::MemoryClipboard clip;
  std::uint32_t start = clip.SequenceNumber();
  clip.CopyText(u"pw", true);
  EXPECT_NE(clip.SequenceNumber(), start);
  EXPECT_TRUE(clip.Read().excludedFromHistory);
  clip.WriteText(u"t");
  EXPECT_EQ(clip.ReadText(), u"t");
  EXPECT_FALSE(clip.Read().excludedFromHistory);
  clip.failReadsAfter = clip.readCount + 1;
  EXPECT_NO_THROW(clip.Read());
  EXPECT_THROW(clip.Read(), core::AppError);
  clip.failReadsAfter = -1;
  clip.busy = true;
  EXPECT_THROW(clip.Read(), core::AppError);
  EXPECT_THROW(clip.WriteText(u"x"), core::AppError);
  clip.busy = false;
  clip.CopyImage();
  EXPECT_EQ(clip.ReadText(), u"");
}

TEST(MemoryShellLinks, LinksAreFilesWhenGivenAFileSystem) {
  TempFolder dir;
  PosixFileSystem fs;
  platform::posix::MemoryShellLinks links;
  links.fileSystem = &fs;
  const Text link = dir.Win("Soramitsu.lnk");
  EXPECT_TRUE(links.CreateLink(u"C:\\app\\Soramitsu.exe", u"C:\\app\\", link));
  EXPECT_EQ(Names(fs.List(dir.Win(), u"*.LNK")), std::vector<Text>{u"Soramitsu.lnk"});
  EXPECT_EQ(links.GetLinkTarget(link), u"C:\\app\\Soramitsu.exe");
  EXPECT_TRUE(fs.RemoveFile(link));
  EXPECT_EQ(links.GetLinkTarget(link), u"");
  EXPECT_FALSE(links.CreateLink(u"x", u"y", dir.Win("missing\\a.lnk")));
}

}  // namespace
