// The keys of the main window and the entry editor on the headless backend: a key acts
// only while its picture is shown and enabled, and a text box keeps the keys it needs.
#include <gtest/gtest.h>

#include "gui/keys.h"
#include "saved_entries_support.h"

namespace {

using namespace saved_test;
using gui::Ctrl;
using gui::Key;
using gui::KeyStroke;
using gui::Plain;
using gui::Shift;

class KeysTest : public SavedEntriesTest {
 protected:
  ui::TMainForm& StartWithAnEntry() {
    return StartWith({{"仕事", "挨拶", "20240115 093012", "00003", "お世話になっております。"}});
  }
};

TEST_F(KeysTest, TextBoxesKeepTheKeysTheyNeed) {
  ui::TMainForm& f = StartWithAnEntry();
  f.Memo_Board.SetText(u"板");
  f.Edt_Serch.SetText(u"検索");
  const KeyStroke textKeys[] = {
      Ctrl(Key::A), Ctrl(Key::C), Ctrl(Key::V), Ctrl(Key::X), Ctrl(Key::Z), Ctrl(Key::Y),
      Plain(Key::Delete), Plain(Key::Backspace), Plain(Key::Home), Plain(Key::End),
      Plain(Key::Left), Plain(Key::Right), Plain(Key::Up), Plain(Key::Down),
      Shift(Key::Delete), Ctrl(Key::Delete), Ctrl(Key::Backspace), Shift(Key::Home),
      Ctrl(Key::End)};
  for (gui::Control* box : std::initializer_list<gui::Control*>{&f.Memo_Board, &f.Edt_Serch}) {
    for (const KeyStroke& stroke : textKeys)
      EXPECT_FALSE(f.KeyPressed(stroke, box)) << U8(gui::KeyStrokeText(stroke));
  }
  // Enter and Esc are the board's own; only the search box makes them commands.
  EXPECT_FALSE(f.KeyPressed(Plain(Key::Enter), &f.Memo_Board));
  EXPECT_FALSE(f.KeyPressed(Plain(Key::Escape), &f.Memo_Board));
  EXPECT_EQ(Board(), "板");
  EXPECT_EQ(U8(f.Edt_Serch.GetText()), "検索");
  EXPECT_TRUE(gui::headless::ShownBoxes().empty());
}

TEST_F(KeysTest, AKeyActsOnlyWhileItsPictureIsShownAndEnabled) {
  ui::TMainForm& f = Start();  // no entries; the logo still shows, and the search bar hides
  ASSERT_FALSE(f.Img_List.Enabled());
  for (Key digit : {Key::Digit2, Key::Digit3, Key::Digit4})
    EXPECT_FALSE(f.KeyPressed(Ctrl(digit), &f.Memo_Board));
  EXPECT_EQ(U8(f.wSortSw), "0");
  f.Edt_Serch.SetText(u"x");
  EXPECT_FALSE(f.KeyPressed(Plain(Key::Enter), &f.Edt_Serch)) << "the search bar is hidden";
  EXPECT_FALSE(f.KeyPressed(Ctrl(Key::F), &f.Memo_Board));
  f.Timer1Timer();
  EXPECT_FALSE(f.KeyPressed(Plain(Key::F5), &f.Memo_Board)) << "nothing to show again yet";
  EXPECT_FALSE(f.KeyPressed(Plain(Key::Delete), &f.StringGrid2)) << "the history view";
  EXPECT_FALSE(f.KeyPressed(Plain(Key::F2), &f.StringGrid2));
  EXPECT_TRUE(gui::headless::ShownBoxes().empty());

  // Shown and enabled, the same keys run the pictures' clicks.
  EXPECT_TRUE(f.KeyPressed(Plain(Key::Enter), &f.Edt_Serch));
  ASSERT_EQ(gui::headless::ShownBoxes().size(), 1u) << "nothing found: the search's notice";
  EXPECT_TRUE(f.KeyPressed(Plain(Key::Escape), &f.Edt_Serch));
  EXPECT_EQ(f.Edt_Serch.GetText(), u"");
}

}  // namespace
