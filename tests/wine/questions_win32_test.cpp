// The questions whose Yes cannot be undone (clear the history, delete an entry, leave
// without saving) come as real message boxes with No as the default button: a stray Enter
// answers No and nothing is lost.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_services.h"
#include "tests/wine/message_box_closer.h"
#include "tests/wine/platform_test_support.h"
#include "ui/main_form.h"

namespace {

using core::Text;
using wine_test::TempFolder;

// The executable lies in a scratch folder; writes fail while `failWrites` is set (a full or
// locked disk).
class AppFileSystem : public platform::win32::Win32FileSystem {
 public:
  explicit AppFileSystem(Text exePath) : exePath_(std::move(exePath)) {}
  Text ExecutablePath() override { return exePath_; }
  void WriteFileAtomic(const Text& path, const std::string& bytes) override {
    if (failWrites) throw core::AppError(path + u" に書き込めません");
    Win32FileSystem::WriteFileAtomic(path, bytes);
  }
  bool failWrites = false;

 private:
  Text exePath_;
};

class QuestionsWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    ::CreateDirectoryW(app.Wide(L"Data").c_str(), nullptr);
    app.Put(L"Data\\hozon.dat", *win32.ansi.EncodeExact(u"仕事,挨拶文,20240115 093012,00003\r\n"));
    app.Put(L"Data\\h20240115 093012.dat", *win32.ansi.EncodeExact(u"お世話になっております。"));
    fileSystem = std::make_unique<AppFileSystem>(app.Path(L"Soramitsu.exe"));
    services = std::make_unique<platform::Services>(platform::Services{
        win32.clipboard, win32.shell, win32.specialFolders, win32.shellLinks, win32.profile,
        *fileSystem, win32.collator, win32.ansi, win32.clock});
    form = std::make_unique<ui::TMainForm>(*services);
    ASSERT_EQ(form->tbl_Cnt, 1);
  }
  void TearDown() override { form.reset(); }

  // The default button of the one box that showed `question`.
  static int DefaultOf(wine_tests::MessageBoxCloser& closer, const std::wstring& question) {
    const std::vector<std::wstring> texts = closer.Stop();
    int found = -1;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      if (texts[i] != question) continue;
      EXPECT_EQ(found, -1) << "asked twice";
      found = closer.DefaultButtons()[i];
    }
    EXPECT_NE(found, -1) << "never asked";
    return found;
  }

  TempFolder app;
  platform::win32::Win32Services win32;
  std::unique_ptr<AppFileSystem> fileSystem;
  std::unique_ptr<platform::Services> services;
  std::unique_ptr<ui::TMainForm> form;
};

TEST_F(QuestionsWin32, ClearingTheHistoryDefaultsToNo) {
  form->WriteHistoryFile();
  auto historyFileThere = [&] {
    return ::GetFileAttributesW(app.Wide(L"Data\\Log.dat").c_str()) != INVALID_FILE_ATTRIBUTES;
  };
  ASSERT_TRUE(historyFileThere());
  wine_tests::MessageBoxCloser closer;
  form->Img_ClrerClick();
  EXPECT_EQ(DefaultOf(closer, L"過去の履歴内容を本当にクリアしてよろしいですか?"), IDNO);
  EXPECT_TRUE(historyFileThere()) << "Enter cleared the history";
}

TEST_F(QuestionsWin32, DeletingAnEntryDefaultsToNo) {
  core::CellTable& table = form->StringGrid2.Table();
  auto click = std::move(table.onClick);  // making the row current must not open it
  table.onClick = nullptr;
  table.SetCurrentRow(1);
  table.onClick = std::move(click);
  const std::string index = app.Get(L"Data\\hozon.dat");
  wine_tests::MessageBoxCloser closer;
  form->Img_DelClick();
  EXPECT_EQ(DefaultOf(closer, L"この内容を本当に削除してよろしいですか?"), IDNO);
  EXPECT_EQ(form->tbl_Cnt, 1) << "Enter deleted the entry";
  EXPECT_EQ(app.Get(L"Data\\hozon.dat"), index);
}

TEST_F(QuestionsWin32, LeavingWithoutSavingDefaultsToNo) {
  fileSystem->failWrites = true;
  wine_tests::MessageBoxCloser closer;
  bool canClose = true;
  form->FormCloseQuery(canClose);
  const std::vector<std::wstring> texts = closer.Stop();
  ASSERT_EQ(texts.size(), 2u) << "the error, then the question";
  EXPECT_EQ(closer.DefaultButtons()[0], IDOK);
  EXPECT_NE(texts[1].find(L"保存せずに終了しますか？"), std::wstring::npos);
  EXPECT_EQ(closer.DefaultButtons()[1], IDNO);
  EXPECT_FALSE(canClose) << "Enter left without saving";
}

}  // namespace
