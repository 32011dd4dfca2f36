// Shell links and special folders through the shell.
#include <gtest/gtest.h>

#include "platform/win32/com.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"
#include "platform_test_support.h"

namespace {

using platform::win32::ComApartment;
using platform::win32::Win32FileSystem;
using platform::win32::Win32Shell;
using platform::win32::Win32ShellLinks;
using platform::win32::Win32SpecialFolders;
using wine_test::TempFolder;

TEST(Win32SpecialFolders, ResolvesDesktopAndStartupWithoutTrailingBackslash) {
  ComApartment com;
  Win32SpecialFolders folders;
  Win32FileSystem fs;
  for (int csidl : {platform::kCsidlDesktop, platform::kCsidlStartup}) {
    core::Text folder = folders.GetDirectoryFromCSIDL(csidl);
    ASSERT_FALSE(folder.empty()) << csidl;
    EXPECT_NE(folder.back(), u'\\');
    EXPECT_EQ(folder[1], u':');
  }
  EXPECT_EQ(folders.GetDirectoryFromCSIDL(0x7777), u"");  // no such folder
}

// The Help menu tells the user when the manual could not be opened; that depends on the
// shell's failure reaching the program.
TEST(Win32Shell, OpenReportsAMissingFileAsFailure) {
  ComApartment com;
  TempFolder folder;
  Win32Shell shell;
  EXPECT_FALSE(shell.Open(nullptr, folder.Path(L"soramitsu.pdf")));
}

TEST(Win32ShellLinks, CreateReadTargetAndDelete) {
  ComApartment com;
  ASSERT_TRUE(SUCCEEDED(com.result()));
  TempFolder dir;
  Win32ShellLinks links;
  Win32FileSystem fs;
  dir.Put(L"Soramitsu.exe", "MZ");
  const core::Text target = dir.Path(L"Soramitsu.exe");
  const core::Text link = dir.Path(L"ソラミツ.lnk");
  ASSERT_TRUE(links.CreateLink(target, dir.Path(), link));
  EXPECT_TRUE(fs.FileExists(link));
  EXPECT_EQ(links.GetLinkTarget(link), target);
  // Saving again replaces the link.
  dir.Put(L"Other.exe", "MZ");
  ASSERT_TRUE(links.CreateLink(dir.Path(L"Other.exe"), dir.Path(), link));
  EXPECT_EQ(links.GetLinkTarget(link), dir.Path(L"Other.exe"));

  platform::Listing found = fs.List(dir.Path(), u"*.LNK");
  ASSERT_EQ(found.entries.size(), 1u);
  EXPECT_EQ(found.entries[0].name, u"ソラミツ.lnk");
  EXPECT_TRUE(fs.RemoveFile(link));
  EXPECT_FALSE(fs.FileExists(link));
  EXPECT_EQ(links.GetLinkTarget(link), u"");
}

TEST(Win32ShellLinks, UnloadableFilesHaveNoTarget) {
  ComApartment com;
  TempFolder dir;
  Win32ShellLinks links;
  dir.Put(L"broken.lnk", "not a link");
  EXPECT_EQ(links.GetLinkTarget(dir.Path(L"broken.lnk")), u"");
  EXPECT_EQ(links.GetLinkTarget(dir.Path(L"missing.lnk")), u"");
  EXPECT_FALSE(links.CreateLink(dir.Path(L"x.exe"), dir.Path(), dir.Path(L"no\\such\\x.lnk")));
}

}  // namespace
