// The installer's window on the headless backend: its look, the desktop shortcut written
// while it is created, the messages, the close request and the topmost raise.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gui/application.h"
#include "gui/headless/headless.h"
#include "platform/posix/memory_services.h"
#include "platform/posix/posix_services.h"
#include "shortcut/installer_form.h"

namespace {

namespace fs = std::filesystem;
using core::Text;
using gui::headless::BoxKind;
using gui::headless::ShownBoxes;

Text U16(const std::string& s) { return core::FromUtf8(s); }

const Text kDone = u"ソラミツの\r\nインストールが完了しました。";

// Records what the window asked of the window system, with the number of message boxes
// shown by then (the close request must follow the message).
class RecordingWindowActions : public shortcut::WindowActions {
 public:
  void RaiseToTopmost(gui::Form&) override {}
  void PostCloseRequest(gui::Form&) override { closeRequestedAfterBoxes.push_back(ShownBoxes().size()); }
  std::vector<std::size_t> closeRequestedAfterBoxes;
};

// A shell without the shell link object.
class MissingShellLinks : public platform::ShellLinks {
 public:
  bool CreateLink(const Text&, const Text&, const Text&) override {
    throw core::AppError(u"ショートカットを扱えません");
  }
  Text GetLinkTarget(const Text&) override { throw core::AppError(u"ショートカットを扱えません"); }
};

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gui::headless::Reset();
    char pattern[] = "/tmp/soramitsu-installer-XXXXXX";
    root = fs::path(mkdtemp(pattern));
    desktop = root / "Desktop";
    fs::create_directories(desktop);
    fs::create_directories(root / "app");
    // A Windows-style path: the file system maps "\" to "/".
    fileSystem.SetExecutablePath(U16((root / "app").string()) + u"\\SoramitsuShortcut.exe");
    folders.folders[platform::kCsidlDesktop] = U16(desktop.string());
    links.fileSystem = &fileSystem;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root, ec);
    gui::headless::Reset();
  }

  std::unique_ptr<shortcut::TMainForm> Create(platform::ShellLinks& shellLinks) {
    auto form = std::make_unique<shortcut::TMainForm>(
        shortcut::InstallerServices{folders, shellLinks, fileSystem, actions});
    gui::Guarded([&form] { form->FormCreate(); });  // as the program's entry runs it
    return form;
  }
  std::unique_ptr<shortcut::TMainForm> Create() { return Create(links); }

  Text AppFolder() const { return U16((root / "app").string()) + u"\\"; }
  Text DesktopLink() const { return U16(desktop.string()) + u"\\ソラミツ.lnk"; }

  fs::path root, desktop;
  platform::posix::PosixFileSystem fileSystem;
  platform::posix::MemorySpecialFolders folders;
  platform::posix::MemoryShellLinks links;
  RecordingWindowActions actions;
};

TEST_F(InstallerTest, WindowLook) {
  shortcut::TMainForm form({folders, links, fileSystem, actions}, {gui::Color{1, 2, 3}});
  EXPECT_EQ(form.Caption(), u"ショートカット作成");
  EXPECT_EQ(form.ClientSize(), (gui::Rect{0, 0, 297, 98}));
  EXPECT_FALSE(form.resizable);
  EXPECT_TRUE(form.centerOnScreen);
  EXPECT_EQ(form.background, (gui::Color{1, 2, 3}));
  EXPECT_EQ(form.GetFont().face, u"Tahoma");
  EXPECT_EQ(form.GetFont().height, 11);
  EXPECT_EQ(form.Label1.Caption(), u"しばらくお待ち下さい。");
  EXPECT_EQ(form.Label1.Bounds(), (gui::Rect{64, 32, 137, 19}));
  EXPECT_EQ(form.Label1.GetFont().face, u"Tahoma");
  EXPECT_EQ(form.Label1.GetFont().height, 16);
  EXPECT_EQ(gui::kAppTitle, u"ソラミツ");  // the message box's title
  // Nothing happens before the entry runs FormCreate.
  EXPECT_TRUE(links.links.empty());
  EXPECT_TRUE(actions.closeRequestedAfterBoxes.empty());
}

TEST_F(InstallerTest, WritesTheDesktopLinkThenSaysSoThenAsksToClose) {
  auto form = Create();
  ASSERT_EQ(links.links.count(DesktopLink()), 1u);
  EXPECT_EQ(links.links.at(DesktopLink()).target, AppFolder() + u"Soramitsu.exe");
  EXPECT_EQ(links.links.at(DesktopLink()).workingDirectory, AppFolder());
  EXPECT_TRUE(fs::exists(desktop / "ソラミツ.lnk"));  // written although Soramitsu.exe is missing
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_EQ(ShownBoxes()[0].kind, BoxKind::Message);
  EXPECT_EQ(ShownBoxes()[0].text, kDone);
  EXPECT_EQ(actions.closeRequestedAfterBoxes, std::vector<std::size_t>{1});
}

TEST_F(InstallerTest, SecondRunRewritesTheOneLink) {
  Create();
  fs::create_directories(root / "moved");
  fileSystem.SetExecutablePath(U16((root / "moved").string()) + u"\\SoramitsuShortcut.exe");
  Create();
  EXPECT_EQ(links.links.at(DesktopLink()).target,
            U16((root / "moved").string()) + u"\\Soramitsu.exe");
  EXPECT_EQ(std::distance(fs::directory_iterator(desktop), fs::directory_iterator()), 1);
}

TEST_F(InstallerTest, LinkThatCannotBeSavedIsReportedAndTheWindowStillCloses) {
  fs::remove_all(desktop);
  Create();
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_EQ(ShownBoxes()[0].kind, BoxKind::Error);
  EXPECT_EQ(ShownBoxes()[0].text, u"デスクトップにショートカットを作成できませんでした。\r\n" + DesktopLink());
  EXPECT_EQ(actions.closeRequestedAfterBoxes, std::vector<std::size_t>{1});

  // An unresolved desktop gets no link anywhere else.
  folders.folders.clear();
  Create();
  EXPECT_TRUE(links.links.empty());
  EXPECT_EQ(ShownBoxes().back().text,
            u"デスクトップにショートカットを作成できませんでした。\r\nデスクトップフォルダーが見つかりません。");
}

TEST_F(InstallerTest, MissingShellLinkObjectIsReportedAndTheWindowStaysOpen) {
  MissingShellLinks missing;
  Create(missing);
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_EQ(ShownBoxes()[0].kind, BoxKind::Error);
  EXPECT_EQ(ShownBoxes()[0].text, u"ショートカットを扱えません.");  // the report adds "."
  EXPECT_TRUE(actions.closeRequestedAfterBoxes.empty());
}

}  // namespace
