// Registration in the Startup folder through the Settings menu, and the shortcut
// operations under it, on the in-memory shell links (each link is also a file).
#include <set>

#include "form_fixture.h"
#include "platform/shortcut_links.h"

namespace {

using namespace testing_support;
using gui::headless::BoxKind;
using gui::headless::ShownBoxes;

const Text kRegistered = u"スタートアップに登録しました。";
const Text kUnregistered = u"スタートアップから登録の解除をしました。";

class StartupRegistrationTest : public AppFolderTest {
 protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    startup = root / "Startup";
    fs::create_directories(startup);
    services_.specialFolders.folders[platform::kCsidlStartup] = U16(startup.string());
    services_.shellLinks.fileSystem = &services_.fileSystem;
    Start();
    ShownBoxes().clear();  // whatever start-up said
  }

  Text Exe() const { return U16((root / "Soramitsu.exe").string()); }
  Text LinkPath(const std::string& name) const { return U16(startup.string()) + u"\\" + U16(name); }
  std::set<std::string> LinkFiles() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(startup)) names.insert(entry.path().filename().string());
    return names;
  }
  // A link the user made, or one left from elsewhere.
  void PutLink(const std::string& name, const Text& target) {
    ASSERT_TRUE(services_.shellLinks.CreateLink(target, u"", LinkPath(name)));
  }
  Text TargetOf(const std::string& name) { return services_.shellLinks.GetLinkTarget(LinkPath(name)); }
  // The message boxes since the last call, as "kind:text".
  std::vector<std::string> TakeBoxes() {
    std::vector<std::string> out;
    for (const auto& box : ShownBoxes())
      out.push_back((box.kind == BoxKind::Error ? "error:" : box.kind == BoxKind::Message ? "message:" : "other:") +
                    U8(box.text));
    ShownBoxes().clear();
    return out;
  }
  std::string Message(const Text& text) { return "message:" + U8(text); }

  fs::path startup;
};

TEST_F(StartupRegistrationTest, RegisterThenUnregisterThroughTheMenu) {
  form->N5->Click();
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{Message(kRegistered)});
  ASSERT_EQ(LinkFiles(), std::set<std::string>{"Soramitsu.lnk"});
  const auto& link = services_.shellLinks.links.at(LinkPath("Soramitsu.lnk"));
  EXPECT_EQ(link.target, Exe());
  EXPECT_EQ(link.workingDirectory, U16(root.string() + "/"));

  // Registering again replaces the one link.
  form->N5->Click();
  EXPECT_EQ(LinkFiles().size(), 1u);
  TakeBoxes();

  form->N18->Click();
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{Message(kUnregistered)});
  EXPECT_TRUE(LinkFiles().empty());
}

TEST_F(StartupRegistrationTest, UnregisterWithoutRegistrationLeavesOtherLinks) {
  PutLink("Other.lnk", u"C:\\Tools\\Other.exe");
  form->N18->Click();
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{Message(kUnregistered)});
  EXPECT_EQ(LinkFiles(), std::set<std::string>{"Other.lnk"});
}

TEST_F(StartupRegistrationTest, EachUnregisterRemovesOneLinkFoundByTarget) {
  form->N5->Click();
  PutLink("Autostart.lnk", Exe());  // made by the user; listed first
  form->N18->Click();
  EXPECT_EQ(LinkFiles(), std::set<std::string>{"Soramitsu.lnk"});
  form->N18->Click();
  EXPECT_TRUE(LinkFiles().empty());
  form->N18->Click();
  EXPECT_EQ(TakeBoxes(), (std::vector<std::string>{Message(kRegistered), Message(kUnregistered),
                                                   Message(kUnregistered), Message(kUnregistered)}));
}

TEST_F(StartupRegistrationTest, MovedExecutableNoLongerMatches) {
  form->N5->Click();
  const Text moved = U16((root / "new" / "Soramitsu.exe").string());
  services_.fileSystem.SetExecutablePath(moved);
  form->N18->Click();
  EXPECT_EQ(TargetOf("Soramitsu.lnk"), Exe());  // nothing removed
  form->N5->Click();
  EXPECT_EQ(TargetOf("Soramitsu.lnk"), moved);
  EXPECT_EQ(LinkFiles().size(), 1u);
}

TEST_F(StartupRegistrationTest, TargetsCompareWithAsciiCaseFoldedOnly) {
  // The exe's path with its ASCII letters in upper case matches; full-width letters are kept.
  Text upper = Exe();
  for (auto& c : upper)
    if (c >= u'a' && c <= u'z') c = char16_t(c - u'a' + u'A');
  PutLink("Upper.LnK", upper);  // an extension in mixed case is examined too
  form->N18->Click();
  EXPECT_TRUE(LinkFiles().empty());

  EXPECT_TRUE(platform::SameLinkTarget(u"C:\\Ａｐｐ\\x.exe", u"c:\\Ａｐｐ\\X.EXE"));
  EXPECT_FALSE(platform::SameLinkTarget(u"C:\\ａpp\\x.exe", u"C:\\Ａpp\\x.exe"));
  EXPECT_FALSE(platform::SameLinkTarget(u"C:\\PROGRA~1\\x.exe", u"C:\\Program Files\\x.exe"));
  EXPECT_FALSE(platform::SameLinkTarget(u"C:\\x.exe", u"C:\\x.ex"));
}

TEST_F(StartupRegistrationTest, UnloadableLinksAndFoldersNeverMatch) {
  WriteBytes(startup / "broken.lnk", "not a link");
  fs::create_directories(startup / "Folder.lnk");
  PutLink("Soramitsu.lnk", Exe());
  platform::ShortcutLinks shortcuts = form->ShortcutOperations();
  EXPECT_EQ(shortcuts.FindFileShortCutLink(Exe(), U16(startup.string())), LinkPath("Soramitsu.lnk"));
  // An empty target is not a match for an empty path either.
  EXPECT_EQ(shortcuts.FindFileShortCutLink(u"", U16(startup.string())), u"");
}

TEST_F(StartupRegistrationTest, UnresolvedStartupFolderWritesNothingAnywhere) {
  services_.specialFolders.folders.clear();
  form->N5->Click();
  form->N18->Click();
  const auto boxes = TakeBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], "error:スタートアップに登録できませんでした。\r\nスタートアップフォルダーが見つかりません。");
  EXPECT_EQ(boxes[1], "error:スタートアップの登録を解除できませんでした。\r\nスタートアップフォルダーが見つかりません。");
  EXPECT_TRUE(services_.shellLinks.links.empty());
}

TEST_F(StartupRegistrationTest, LinkThatCannotBeSavedIsReportedNotConfirmed) {
  fs::remove_all(startup);
  form->N5->Click();
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"error:スタートアップに登録できませんでした。\r\n" +
                                                  U8(LinkPath("Soramitsu.lnk"))});
}

TEST_F(StartupRegistrationTest, LinkThatCannotBeDeletedIsReportedNotConfirmed) {
  form->N5->Click();
  TakeBoxes();
  services_.fileSystem.FailOperationsOn(LinkPath("Soramitsu.lnk"));
  form->N18->Click();
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"error:スタートアップの登録を解除できませんでした。\r\n" +
                                                  U8(LinkPath("Soramitsu.lnk"))});
  EXPECT_EQ(LinkFiles(), std::set<std::string>{"Soramitsu.lnk"});
}

TEST_F(StartupRegistrationTest, StartupFolderThatCannotBeListedEndsTheCommandWithTheErrorReport) {
  fs::remove_all(startup);
  form->N18->Click();
  const auto boxes = TakeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rfind("error:", 0), 0u);
  EXPECT_NE(boxes[0].find(startup.string()), std::string::npos) << boxes[0];

  // A listing that breaks off after the entries it gave still finds what it gave.
  fs::create_directories(startup);
  form->N5->Click();
  services_.fileSystem.BreakListingAfter(U16(startup.string()) + u"\\", 1);
  form->N18->Click();
  EXPECT_TRUE(LinkFiles().empty());
}

TEST(ShortcutFilePath, JoinsFolderAndNameWithOneBackslash) {
  EXPECT_EQ(platform::ShortcutFilePath(u"C:\\App\\Soramitsu.exe", u"C:\\Startup", u"Soramitsu"),
            u"C:\\Startup\\Soramitsu.lnk");
  EXPECT_EQ(platform::ShortcutFilePath(u"C:\\App\\Soramitsu.exe", u"C:\\Startup\\", u"Soramitsu"),
            u"C:\\Startup\\Soramitsu.lnk");
  EXPECT_EQ(platform::ShortcutFilePath(u"C:\\App\\Soramitsu.exe", u"D:\\Links", u""),
            u"D:\\Links\\Soramitsu.exeへのショートカット.lnk");
  EXPECT_EQ(platform::ShortcutFilePath(u"C:Soramitsu.exe", u"D:\\Links", u""),
            u"D:\\Links\\Soramitsu.exeへのショートカット.lnk");
  EXPECT_EQ(platform::ShortcutFilePath(u"C:\\App\\Soramitsu.exe", u"", u"Soramitsu"), u"");
  EXPECT_EQ(platform::FolderWithBackslash(u"C:Setup.exe"), u"C:\\");
  EXPECT_EQ(platform::FolderWithBackslash(u"C:\\App\\Setup.exe"), u"C:\\App\\");
}

}  // namespace
