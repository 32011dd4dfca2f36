// A text of many megabytes on the real board: the edit box gets only its start and turns
// read-only, while the board and a click on the row keep the whole text.
#include <gtest/gtest.h>
#include <windows.h>

#include "gui/win32/win32_window.h"
#include "tests/wine/app_stand_ins.h"
#include "ui/long_text.h"
#include "ui/main_form.h"

namespace {

using core::Text;

class LongTextWin32 : public wine_tests::MainFormTest {};

TEST_F(LongTextWin32, TheEditBoxGetsOnlyTheStartOfAHugeText) {
  CreateForm();
  ui::TMainForm& f = ShowForm();
  Text huge, withoutEmptyLines;
  for (int i = 0; huge.size() < 8'000'000; ++i) {
    const Text line = u"ログの一行 " + core::IntToText(i) + u"\r\n";
    huge += line + u"\r\n";
    withoutEmptyLines += line;
  }
  f.Memo_Board.SetText(huge);
  gui::ProcessMessages();
  const HWND board = gui::win32::WindowOf(f.Memo_Board);
  ASSERT_NE(board, nullptr);
  EXPECT_LT(static_cast<std::size_t>(::GetWindowTextLengthW(board)), ui::kLayoutBudget + 100);
  EXPECT_NE(::GetWindowLongW(board, GWL_STYLE) & ES_READONLY, 0);
  EXPECT_TRUE(f.Memo_Board.GetText() == huge);

  // A click on the row: the whole text without its empty lines, laid out by no edit box.
  core::CellTable& history = f.StringGrid1.Table();
  history.SetCell(1, 1, huge);
  f.Memo_Board.SetText(u"short");
  EXPECT_EQ(::GetWindowLongW(board, GWL_STYLE) & ES_READONLY, 0);
  history.SelectByUser(1, 1);
  gui::ProcessMessages();
  EXPECT_TRUE(clipboard.text == withoutEmptyLines);  // not printed: megabytes
  EXPECT_TRUE(f.Memo_Board.GetText() == withoutEmptyLines);
}

}  // namespace
