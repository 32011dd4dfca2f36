// Texts of many megabytes: the board and the editor show only their start, with a line that
// says so, and stay read-only meanwhile; the history, the monitor, a click on a row, copying,
// opening and saving keep the whole text.
#include <gmock/gmock.h>
#include "tests/native/history_test_support.h"
#include "tests/native/saved_entries_support.h"
#include "ui/long_text.h"

namespace {

using testing_support::U16;
using testing_support::U8;
using ui::kLayoutBudget;
using Text = core::Text;

// Lines of 120 characters with an empty line now and then, several times the layout budget,
// ending with `tail`.
Text HugeText(const Text& tail) {
  Text text;
  const Text line = u"一行" + Text(118, u'x');
  for (int i = 0; text.size() <= 4 * kLayoutBudget; ++i) {
    text += line + u"\r\n";
    if (i % 1000 == 999) text += u"\r\n";
  }
  return text + tail;
}

// The same text without its empty lines, every line ending with CR LF: what a click on its
// row puts on the clipboard. Long lines stay whole; the board lays out only the start.
Text WithoutEmptyLines(const Text& text) {
  Text out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(u"\r\n", start);
    if (end == Text::npos) end = text.size();
    if (end > start) out += text.substr(start, end - start) + u"\r\n";
    start = end + 2;
  }
  return out;
}

Text Lines(int count, std::size_t length) {
  Text text;
  for (int i = 0; i < count; ++i) text += u"一行" + Text(length - 2, u'x') + u"\r\n";
  return text;
}

struct ShownCase {
  const char* name;
  bool wordWrap;  // the board wraps, the editor's text box does not
  Text text;
  std::size_t shownLength;  // code units shown before the note; 0: some start of the text
  const char* count;        // the note's count; empty: the whole text, no note
};

TEST(LongTextBoard, ShowsTheStartWithTheLengthAndIsReadOnlyOnlyForALongText) {
  const Text a(kLayoutBudget - 1, u'a');
  const ShownCase cases[] = {
      {"short", true, u"短い\r\n本文", 0, ""},
      {"lines within the budget", true, Lines(1500, 60), 0, ""},
      {"lines beyond it", true, Lines(5000, 60), 0, "305,000"},
      {"line breaks alone", false, Text(400'000, u'\n'), kLayoutBudget, "400,000"},
      // A wrapped paragraph costs more the longer it is; unwrapped, the same text is short.
      {"one long paragraph, wrapped", true, Text(20'000, u'p'), 0, "20,000"},
      {"one long paragraph, unwrapped", false, Text(20'000, u'p'), 0, ""},
      // A CR LF or a surrogate pair at the cut is not split, and counts as one character.
      {"CR LF at the cut", false, a + u"\r\nc", kLayoutBudget - 1, "131,073"},
      {"pair at the cut", false, a + u"\U0001F600c", kLayoutBudget - 1, "131,073"},
  };
  for (const ShownCase& c : cases) {
    SCOPED_TRACE(c.name);
    gui::Memo box(nullptr);
    box.wordWrap = c.wordWrap;
    ui::ShowStartOfLongTexts(box);
    box.SetText(c.text);
    EXPECT_EQ(box.GetText(), c.text);
    const Text shown = box.ShownText();
    const bool cut = *c.count != '\0';
    EXPECT_EQ(box.ReadOnlyNow(), cut);
    if (!cut) {
      EXPECT_EQ(shown, c.text);
      continue;
    }
    const std::size_t noteAt = shown.find(u"（長いため");
    ASSERT_NE(noteAt, Text::npos);
    EXPECT_EQ(shown.substr(noteAt), u"（長いため先頭だけを表示しています。全体は " +
                                        U16(c.count) + u" 文字です）");
    // The start of the text, then the note on a line of its own.
    EXPECT_EQ(shown[noteAt - 1], u'\n');
    const std::size_t length = c.shownLength > 0 ? c.shownLength : noteAt - 2;
    EXPECT_EQ(shown.substr(0, length), c.text.substr(0, length));
    EXPECT_LE(noteAt, kLayoutBudget + 2);
    EXPECT_GT(noteAt, 1000u);
  }
  // A short text again, or the user's own typing: whole and editable.
  gui::Memo box(nullptr);
  ui::ShowStartOfLongTexts(box);
  box.SetText(cases[2].text);
  box.SetText(u"次");
  EXPECT_FALSE(box.ReadOnlyNow());
  EXPECT_EQ(box.ShownText(), u"次");
}

class LongHistoryTextTest : public history_test::HistoryFormTest {
 protected:
  void StartWith(const Text& newest, const Text& older) {
    WriteLog(history_test::Record(StampDaysAgo(0), U8(newest)) +
             history_test::Record(StampDaysAgo(1), U8(older)));
    Start();
  }
};

TEST_F(LongHistoryTextTest, EverythingButTheBoardsDisplayKeepsTheWholeText) {
  const Text newest = HugeText(u"末尾A");
  const Text older = HugeText(u"末尾B");
  StartWith(newest, older);
  gui::Memo& board = Form().Memo_Board;
  EXPECT_EQ(board.GetText(), newest) << "start-up shows the newest record";
  EXPECT_TRUE(board.ReadOnlyNow());
  EXPECT_LT(board.ShownText().size(), kLayoutBudget + 100);

  // The monitor compares with the whole text: the same copy again is no new record, one
  // that differs only beyond what the board shows is.
  Clipboard().CopyText(newest);
  Tick();
  EXPECT_EQ(Form().Log_Cnt, 2);
  const Text changedAtTheEnd = HugeText(u"末尾C");
  Clipboard().CopyText(changedAtTheEnd);
  Tick();
  ASSERT_EQ(Form().Log_Cnt, 3);
  EXPECT_EQ(History().Cell(1, 1), changedAtTheEnd);
  EXPECT_EQ(board.GetText(), changedAtTheEnd);

  // Search reaches beyond the shown start.
  Form().Edt_Serch.SetText(u"末尾B");
  Form().SpeedB_SerchClick();
  ASSERT_EQ(Extract().RowCount(), 2);
  EXPECT_EQ(Extract().Cell(1, 1), older);

  // A click: the whole text without its empty lines, on the board and the clipboard; the
  // next tick records nothing.
  Form().Memo_Board.headlessWrapWidth = 80;
  History().SelectByUser(1, 3);
  EXPECT_EQ(Clipboard().Current(), WithoutEmptyLines(older));
  EXPECT_EQ(board.GetText(), Clipboard().Current());
  Tick();
  EXPECT_EQ(Form().Log_Cnt, 3);

  // Copy: the record exactly as stored.
  Form().N8Click();
  EXPECT_EQ(Clipboard().Current(), older);
  EXPECT_EQ(History().Cell(1, 3), older);
}

class LongSavedTextTest : public saved_test::SavedEntriesTest {};

TEST_F(LongSavedTextTest, OpeningCopyingAndSavingKeepTheWholeText) {
  const Text huge = HugeText(u"保存の末尾");
  ui::TMainForm& f = StartWith({{"仕事", "記録", "20240115 093012", "00000", U8(huge)}});
  f.Img_List.Click();
  f.N4->SetChecked(true);
  bool editorShowedStart = false;
  ScriptEditor([&](ui::TEdtForm& editor) {
    editorShowedStart = editor.Memo1.ReadOnlyNow() && editor.Memo1.GetText() == huge;
  });
  Saved().SelectByUser(1, 1);
  EXPECT_EQ(f.Memo_Board.GetText(), huge);
  EXPECT_TRUE(f.Memo_Board.ReadOnlyNow());
  EXPECT_EQ(services_.clipboard.Current(), huge);
  EXPECT_TRUE(editorShowedStart) << "the view dialog shows the start of the whole text";

  services_.clipboard.CopyText(u"other");
  f.N10Click();
  EXPECT_EQ(services_.clipboard.Current(), huge);

  // A new entry from a huge clipboard text: its content file holds all of it.
  const Text copied = HugeText(u"新しい末尾");
  services_.clipboard.CopyText(copied);
  EditorSaves("仕事", "新しい記録");
  f.Img_SvClick();
  ASSERT_EQ(Keys().size(), 2u);
  for (const std::string& key : Keys()) {
    if (key == "20240115 093012") continue;
    EXPECT_EQ(services_.ansi.Decode(ReadBytes(ContentPath(key))), copied);
  }
}

}  // namespace
