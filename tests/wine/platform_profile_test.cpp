// The settings file through the Windows private-profile functions.
#include <gtest/gtest.h>

#include "platform/win32/win32_profile_file.h"
#include "platform_test_support.h"

namespace {

using platform::win32::Win32ProfileFile;
using wine_test::TempFolder;

TEST(Win32ProfileFile, NewFileRoundTripsJapaneseAndFlushes) {
  TempFolder dir;
  Win32ProfileFile profile;
  const core::Text path = dir.Path(L"Soramitsu.ini");
  EXPECT_EQ(profile.ReadString(u"GAMEN", u"TOP", u"200", path), u"200");  // no file yet
  EXPECT_TRUE(profile.WriteString(u"GAMEN", u"TOP", u"200", path));
  EXPECT_TRUE(profile.WriteString(u"BKUP", u"DATE1", u"", path));
  EXPECT_TRUE(profile.WriteString(u"BKUP", u"DATE2", u"2016/03/05 21:07:09", path));
  EXPECT_TRUE(profile.WriteString(u"日本語", u"名前", u"ソラミツ　保存", path));
  EXPECT_TRUE(profile.Flush(path));
  EXPECT_EQ(profile.ReadString(u"gamen", u"top", u"0", path), u"200");
  EXPECT_EQ(profile.ReadString(u"BKUP", u"DATE1", u"x", path), u"");
  EXPECT_EQ(profile.ReadString(u"BKUP", u"DATE2", u"", path), u"2016/03/05 21:07:09");
  EXPECT_EQ(profile.ReadString(u"日本語", u"名前", u"", path), u"ソラミツ　保存");
  EXPECT_EQ(profile.ReadString(u"SET", u"CHECKVIEW", u"0", path), u"0");
  const std::string bytes = dir.Get(L"Soramitsu.ini");
  EXPECT_EQ(bytes.substr(0, 17), "[GAMEN]\r\nTOP=200\r");
  // Stored in code page 932: "ソ" is 83 5C.
  EXPECT_NE(bytes.find("\x83\x5c"), std::string::npos);
}

TEST(Win32ProfileFile, ExistingFileKeepsUnknownLinesAndReplacesInPlace) {
  TempFolder dir;
  Win32ProfileFile profile;
  dir.Put(L"Soramitsu.ini",
          "[gamen]\r\n"
          "TOP=5\r\n"
          "MINE=keep me\r\n"
          "[Other]\r\n"
          "x=1\r\n");
  const core::Text path = dir.Path(L"Soramitsu.ini");
  EXPECT_TRUE(profile.WriteString(u"GAMEN", u"TOP", u"200", path));
  EXPECT_TRUE(profile.WriteString(u"GAMEN", u"HEIGHT", u"683", path));
  EXPECT_TRUE(profile.WriteString(u"SET", u"CHECKVIEW", u"-1", path));
  EXPECT_TRUE(profile.Flush(path));
  const std::string bytes = dir.Get(L"Soramitsu.ini");
  EXPECT_NE(bytes.find("TOP=200\r\nMINE=keep me\r\nHEIGHT=683\r\n"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("[Other]\r\nx=1\r\n"), std::string::npos) << bytes;
  EXPECT_LT(bytes.find("[Other]"), bytes.find("[SET]")) << bytes;
  EXPECT_EQ(bytes.find("TOP=5"), std::string::npos) << bytes;
  EXPECT_EQ(profile.ReadString(u"other", u"X", u"", path), u"1");
}

TEST(Win32ProfileFile, UnwritableFileRefusesWritesAndStaysAsItWas) {
  TempFolder dir;
  Win32ProfileFile profile;
  EXPECT_FALSE(profile.WriteString(u"GAMEN", u"TOP", u"2", dir.Path(L"none\\Soramitsu.ini")));
  EXPECT_EQ(profile.ReadString(u"GAMEN", u"TOP", u"200", dir.Path(L"none\\Soramitsu.ini")), u"200");

  dir.Put(L"Soramitsu.ini", "[GAMEN]\r\nTOP=1\r\n");
  ASSERT_TRUE(::SetFileAttributesW(dir.Wide(L"Soramitsu.ini").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(profile.WriteString(u"GAMEN", u"TOP", u"2", dir.Path(L"Soramitsu.ini")));
  EXPECT_EQ(profile.ReadString(u"GAMEN", u"TOP", u"", dir.Path(L"Soramitsu.ini")), u"1");
  EXPECT_EQ(dir.Get(L"Soramitsu.ini"), "[GAMEN]\r\nTOP=1\r\n");
}

TEST(Win32ProfileFile, WritesLandTogetherAtTheFlush) {
  TempFolder dir;
  dir.Put(L"Soramitsu.ini", "[GAMEN]\r\nTOP=1\r\n");
  const core::Text path = dir.Path(L"Soramitsu.ini");
  {
    Win32ProfileFile profile;
    EXPECT_TRUE(profile.WriteString(u"GAMEN", u"TOP", u"2", path));
    EXPECT_TRUE(profile.WriteString(u"GAMEN", u"LEFT", u"3", path));
    EXPECT_EQ(dir.Get(L"Soramitsu.ini"), "[GAMEN]\r\nTOP=1\r\n");  // not yet
    EXPECT_EQ(profile.ReadString(u"GAMEN", u"TOP", u"", path), u"2");  // reads see the writes
    EXPECT_TRUE(profile.Flush(path));
    EXPECT_EQ(dir.Get(L"Soramitsu.ini"), "[GAMEN]\r\nTOP=2\r\nLEFT=3\r\n");
    // A writing never flushed is dropped with the object.
    EXPECT_TRUE(profile.WriteString(u"GAMEN", u"TOP", u"9", path));
  }
  EXPECT_EQ(dir.Get(L"Soramitsu.ini"), "[GAMEN]\r\nTOP=2\r\nLEFT=3\r\n");
  std::error_code ignored;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Wide(), ignored), {}), 1);
}

}  // namespace
