// The shared shortcut operations over the real shell link object and file system.
#include <gtest/gtest.h>

#include "platform/shortcut_links.h"
#include "platform/win32/com.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"
#include "platform_test_support.h"

namespace {

using platform::win32::ComApartment;
using wine_test::TempFolder;

struct RealShortcuts {
  ComApartment com;
  platform::win32::Win32SpecialFolders folders;
  platform::win32::Win32ShellLinks links;
  platform::win32::Win32FileSystem fileSystem;
  platform::ShortcutLinks shortcuts{folders, links, fileSystem};
};

core::Text WithoutTrailingBackslash(core::Text path) {
  if (!path.empty() && path.back() == u'\\') path.pop_back();
  return path;
}

TEST(ShortcutLinks, CreateFindByTargetAndDelete) {
  RealShortcuts real;
  TempFolder app, links;
  app.Put(L"Soramitsu.exe", "MZ");
  const core::Text exe = app.Path(L"Soramitsu.exe");
  const core::Text folder = WithoutTrailingBackslash(links.Path());

  ASSERT_TRUE(real.shortcuts.CreateShortCutLink(exe, folder, u"ソラミツ"));
  const core::Text link = links.Path(L"ソラミツ.lnk");
  EXPECT_EQ(real.shortcuts.GetLinkPathName(link), exe);

  // An unloadable file and another link come first in the listing and are passed over;
  // the target is found whatever the case of its ASCII letters.
  links.Put(L"a-broken.LNK", "not a link");
  ASSERT_TRUE(real.links.CreateLink(app.Path(L"Other.exe"), app.Path(), links.Path(L"b-other.lnk")));
  core::Text upper = exe;
  for (auto& c : upper)
    if (c >= u'a' && c <= u'z') c = char16_t(c - u'a' + u'A');
  EXPECT_EQ(real.shortcuts.FindFileShortCutLink(upper, folder), link);

  EXPECT_TRUE(real.shortcuts.DeleteShorCutLink(exe, folder));
  EXPECT_FALSE(real.fileSystem.FileExists(link));
  EXPECT_TRUE(real.fileSystem.FileExists(links.Path(L"b-other.lnk")));
  EXPECT_FALSE(real.shortcuts.DeleteShorCutLink(exe, folder));

  // Without a name the link is named after the target's file.
  ASSERT_TRUE(real.shortcuts.CreateShortCutLink(exe, links.Path(), u""));
  EXPECT_TRUE(real.fileSystem.FileExists(links.Path(L"Soramitsu.exeへのショートカット.lnk")));
}

TEST(ShortcutLinks, MissingFolderCannotBeSearched) {
  RealShortcuts real;
  TempFolder links;
  EXPECT_THROW(real.shortcuts.FindFileShortCutLink(u"C:\\x.exe", links.Path(L"missing")),
               core::AppError);
  EXPECT_FALSE(real.shortcuts.CreateShortCutLink(u"C:\\x.exe", links.Path(L"missing"), u"x"));
  // An empty folder with no links is searched without error.
  EXPECT_EQ(real.shortcuts.FindFileShortCutLink(u"C:\\x.exe", links.Path()), u"");
}

}  // namespace
