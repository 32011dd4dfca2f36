// The commands on saved entries: open with use counting, copy, save, edit, delete, and the
// saving of history and extract texts; what each writes and which commands it leaves on.
#include <gmock/gmock.h>
#include "tests/native/saved_entries_support.h"

namespace saved_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using gui::headless::BoxKind;
using gui::headless::ShownBoxes;

const std::vector<Entry> kTwo = {
    {"仕事", "挨拶文", "20240115 093012", "00003", "お世話になっております。\r\n山田です。"},
    {"家", "買い物", "20240116 100000", "00000", "牛乳\n卵"},
};
const std::string kLine1 = "仕事,挨拶文,20240115 093012,00003\r\n";
const std::string kLine2 = "家,買い物,20240116 100000,00000\r\n";

class SavedCommandsTest : public SavedEntriesTest {
 protected:
  std::vector<std::string> Boxes(BoxKind kind) {
    std::vector<std::string> texts;
    for (const auto& box : ShownBoxes())
      if (box.kind == kind) texts.push_back(U8(box.text));
    return texts;
  }
  void CopiedElsewhere(const std::string& text) {
    services_.clipboard.CopyText(U16(text));
    services_.clock.now.second += 1;
    TickAndSettle();
  }
};

TEST_F(SavedCommandsTest, OpeningShowsCopiesAndCountsEachOpening) {
  ui::TMainForm& f = StartWith(kTwo);
  f.Img_List.Click();
  ScriptEditor();
  Saved().SelectByUser(2, 1);
  EXPECT_EQ(Board(), "お世話になっております。\r\n山田です。");
  EXPECT_EQ(ClipboardText(), Board());
  Saved().SelectByUser(2, 1);  // the current cell again
  EXPECT_EQ(UsesOf("20240115 093012"), "00005");
  EXPECT_THAT(editorModes, IsEmpty()) << "the view option is off";
  f.N4->SetChecked(true);
  Saved().SelectByUser(2, 2);
  EXPECT_EQ(Board(), "牛乳\r\n卵");
  EXPECT_THAT(editorModes, ElementsAre("VIEW"));
  EXPECT_THAT(editorTexts, ElementsAre("牛乳\r\n卵"));
  EXPECT_EQ(IndexText(), kLine1 + kLine2) << "counts reach the file with the next write";
  const int records = f.Log_Cnt;
  TickAndSettle();  // the board shows what the clipboard holds: no new record
  EXPECT_EQ(f.Log_Cnt, records);

  f.N10->Click();  // copy: neither counted nor shown
  EXPECT_EQ(UsesOf("20240116 100000"), "00001");
  EXPECT_EQ(editorModes.size(), 1u);
}

TEST_F(SavedCommandsTest, AnEntryWithoutItsFileIsNamedAndNothingIsCounted) {
  std::vector<Entry> entries = kTwo;
  entries[1].hasContent = false;
  ui::TMainForm& f = StartWith(entries);
  f.Img_List.Click();
  f.N4->SetChecked(true);
  ScriptEditor();
  services_.clipboard.CopyText(u"elsewhere");
  f.PlaceSavedCellQuietly(1, 2);
  f.Memo_Board.SetText(u"board");
  f.N10->Click();  // copy changes nothing
  EXPECT_EQ(Board(), "board");
  Saved().SelectByUser(1, 2);
  EXPECT_EQ(Board(), "");
  EXPECT_EQ(ClipboardText(), "elsewhere");
  EXPECT_EQ(UsesOf("20240116 100000"), "00000");
  EXPECT_THAT(editorModes, IsEmpty()) << "the clipboard's text is not shown as the entry";
  f.Img_Edit.Click();  // the editor opens after a warning
  EXPECT_THAT(editorModes, ElementsAre("EDIT"));
  const auto notices = Boxes(BoxKind::Message);
  ASSERT_EQ(notices.size(), 3u);
  for (const std::string& notice : notices) {
    EXPECT_THAT(notice, HasSubstr("保存した内容のファイルが見つかりません。"));
    EXPECT_THAT(notice, HasSubstr("h20240116 100000.dat"));
  }
}

TEST_F(SavedCommandsTest, AMissingFileIsNamedOnlyWhenTheUserOpenedTheEntry) {
  std::vector<Entry> entries = kTwo;
  entries[0].hasContent = false;  // 仕事, used most: row 1 of the frequently-used view
  ui::TMainForm& f = StartWith(entries);
  f.N4->SetChecked(true);
  ScriptEditor();
  f.PlaceSavedCellQuietly(1, 2);
  f.Memo_Board.SetText(u"board");
  f.Img_High.Click();  // the view lands on row 1 by itself
  EXPECT_EQ(Saved().CurrentRow(), 1);
  EXPECT_EQ(Board(), "");
  EXPECT_THAT(ShownBoxes(), IsEmpty());
  Saved().SelectByUser(1, 1);  // the user's own click
  EXPECT_THAT(Boxes(BoxKind::Message), ElementsAre(HasSubstr("h20240115 093012.dat")));
  EXPECT_THAT(editorModes, IsEmpty()) << "the clipboard's text is not shown as the entry";
}

TEST_F(SavedCommandsTest, EmptyHistoryAndExtractRowsOpenTheEditorWithAnEmptyText) {
  ui::TMainForm& f = StartWith({});
  ASSERT_EQ(U8(f.StringGrid1.Table().Cell(1, f.StringGrid1.Table().CurrentRow())), "");
  std::vector<std::string> refusals;
  ScriptEditor([&](ui::TEdtForm& editor) {
    editor.ComboBox1.SetText(u"c");
    editor.Edt_Titol.SetText(u"t");
    editor.Img_Sv.Click();  // refused: there is no text yet
  });
  for (gui::MenuItem* item : {f.N9, f.N19}) {
    services_.clipboard.CopyText(u"elsewhere");
    item->Click();
    EXPECT_EQ(ClipboardText(), "") << "the row's empty text was put on the clipboard";
  }
  EXPECT_THAT(editorModes, ElementsAre("NEW", "NEW"));
  EXPECT_THAT(editorTexts, ElementsAre("", ""));
  EXPECT_THAT(Boxes(BoxKind::Information),
              ElementsAre("内容を入力して下さい。", "内容を入力して下さい。"));
  EXPECT_FALSE(fs::exists(IndexPath()));
}

TEST_F(SavedCommandsTest, SaveInTheHistoryViewWritesReloadsAndKeepsEditOff) {
  ui::TMainForm& f = StartWith({});
  ASSERT_EQ(Commands(), "off off off");
  services_.clipboard.CopyText(u"新しい内容");
  EditorSaves("メモ", "初めて");
  f.Img_Sv.Click();
  EXPECT_THAT(editorModes, ElementsAre("NEW"));
  EXPECT_THAT(editorTexts, ElementsAre("新しい内容"));
  EXPECT_EQ(IndexText(), "メモ,初めて,20261209 120000,00000\r\n");
  EXPECT_EQ(ReadBytes(ContentPath("20261209 120000")), Cp932("新しい内容"));
  EXPECT_EQ(f.tbl_Cnt, 1);
  EXPECT_EQ(U8(f.wSortSw), "0");
  EXPECT_TRUE(f.StringGrid1.Visible() && !f.StringGrid2.Visible() && f.Img_Log1.Visible());
  EXPECT_EQ(Commands(), "off on on");
}

TEST_F(SavedCommandsTest, SaveInACategoryViewRebuildsChoicesAndView) {
  ui::TMainForm& f = StartWith(kTwo);
  f.Img_List.Click();
  f.Memo_Categori.SetText(u"stale\r\n");
  services_.clipboard.CopyText(u"text");
  std::vector<std::string> offered;
  ScriptEditor([&](ui::TEdtForm& editor) {
    for (const Text& item : editor.ComboBox1.Items()) offered.push_back(U8(item));
    editor.ComboBox1.SetText(u"あ");
    editor.Edt_Titol.SetText(u"t");
    editor.Img_Sv.Click();
  });
  f.Img_Sv.Click();
  EXPECT_THAT(offered, ElementsAre("仕事", "家"));
  EXPECT_THAT(ListItems(), ElementsAre("あ", "仕事", "家"));
  EXPECT_TRUE(f.Img_List1.Visible());
  EXPECT_EQ(Commands(), "on on on");
  EXPECT_EQ(IndexText(), "あ,t,20261209 120000,00000\r\n" + kLine1 + kLine2);
}

TEST_F(SavedCommandsTest, CancelledEditorsWriteNothing) {
  ui::TMainForm& f = StartWith(kTwo);
  f.Img_List.Click();
  ScriptEditor();  // closes without saving
  Saved().SelectByUser(1, 2);  // a raised count, not to be written yet
  f.Img_Sv.Click();
  f.N15->Click();
  f.Img_Edit.Click();
  EXPECT_THAT(editorModes, ElementsAre("NEW", "EDIT", "EDIT"));
  EXPECT_EQ(IndexText(), kLine1 + kLine2);
}

TEST_F(SavedCommandsTest, SavingFromThePopupsWritesWithoutReload) {
  ui::TMainForm& f = StartWith({});
  CopiedElsewhere("apple pie");
  CopiedElsewhere("newest");
  f.StringGrid1.Table().SelectByUser(1, 2);
  EditorSaves("c", "t");
  f.N9->Click();
  EXPECT_THAT(editorTexts, ElementsAre("apple pie"));
  EXPECT_EQ(IndexText(), "c,t,20261209 120002,00000\r\n");
  // The first entry can be reached at once; edit and delete stay off in the history view.
  EXPECT_EQ(Commands(), "off on on");

  f.Edt_Serch.SetText(u"newest");
  f.SpeedB_Serch.Click();
  EditorSaves("b", "n");
  f.N19->Click();
  EXPECT_THAT(editorTexts, ElementsAre("apple pie", "newest"));
  EXPECT_THAT(IndexText(), HasSubstr("b,n,"));
  EXPECT_EQ(f.tbl_Cnt, 2);
}

TEST_F(SavedCommandsTest, EditWritesTheChangeWithRaisedCountsAndRebuildsTheView) {
  ui::TMainForm& f = StartWith(kTwo);
  f.Img_High.Click();
  f.Memo_Categori.SetText(u"as it was\r\n");
  Saved().SelectByUser(1, 2);  // 買い物: now used once
  EditorSaves("家", "買い物リスト");
  f.Img_Edit.Click();
  EXPECT_EQ(IndexText(), kLine1 + "家,買い物リスト,20240116 100000,00001\r\n");
  EXPECT_EQ(U8(f.Memo_Categori.GetText()), "as it was\r\n") << "choices are not rebuilt";
  EXPECT_EQ(U8(f.wSortSw), "3");
  EXPECT_EQ(Saved().CurrentRow(), 1);
  EXPECT_EQ(Commands(), "on on on");
}

TEST_F(SavedCommandsTest, DeletionAnsweredNoChangesNothing) {
  ui::TMainForm& f = StartWith(kTwo);
  f.Img_List.Click();
  gui::headless::QueueAnswer(false);
  f.Img_Del.Click();
  EXPECT_THAT(Boxes(BoxKind::Question), ElementsAre("この内容を本当に削除してよろしいですか?"));
  EXPECT_EQ(IndexText(), kLine1 + kLine2);
  EXPECT_THAT(Column(core::kSavedColMark), ElementsAre("", ""));
}

TEST_F(SavedCommandsTest, DeletionDropsTheLineKeepsTheFileAndRebuildsTheView) {
  ui::TMainForm& f = StartWith(kTwo);
  f.Img_new.Click();  // 買い物 is the newest: row 1
  f.N14->Click();
  EXPECT_EQ(IndexText(), kLine1);
  EXPECT_TRUE(fs::exists(ContentPath("20240116 100000")));
  EXPECT_THAT(Keys(), ElementsAre("20240115 093012"));
  EXPECT_TRUE(f.Img_new1.Visible());
  EXPECT_EQ(Commands(), "on on on");
  f.Img_Del.Click();  // the last entry
  EXPECT_EQ(ReadBytes(IndexPath()), "");
  EXPECT_EQ(f.tbl_Cnt, 0);
  EXPECT_EQ(Saved().RowCount(), 2);
  EXPECT_EQ(Commands(), "off off off");
}

TEST_F(SavedCommandsTest, FailedDeletionLeavesNoMarkBehind) {
  ui::TMainForm& f = StartWith(kTwo);
  f.Img_List.Click();
  f.indexLoadFailed = true;  // the index may not be written now
  f.Img_Del.Click();
  EXPECT_EQ(Boxes(BoxKind::Error).size(), 1u);
  EXPECT_THAT(Column(core::kSavedColMark), ElementsAre("", ""));
  f.indexLoadFailed = false;
  f.HozonData_SAVE();
  EXPECT_EQ(IndexText(), kLine1 + kLine2) << "a later write keeps the entry";
}

// While the index could not be read no entry could be listed: the three save commands
// refuse before the editor opens, and no content file is written.
TEST_F(SavedCommandsTest, SaveCommandsRefuseWhileTheIndexIsUnread) {
  ui::TMainForm& f = StartWith(kTwo);
  f.indexLoadFailed = true;
  f.StringGrid1.Table().SetCell(1, 1, u"history text");
  f.StringGrid3.Table().SetCell(1, 1, u"extract text");
  CopiedElsewhere("clipboard");
  ScriptEditor([](ui::TEdtForm& editor) {
    editor.ComboBox1.SetText(u"c");
    editor.Edt_Titol.SetText(u"t");
    editor.Img_Sv.Click();
  });
  const std::string notice = "保存内容の一覧ファイルを読み込めなかったため、保存できません。\r\n" +
                             U8(f.DataPath) +
                             "hozon.dat\r\n\r\nファイルを確認してから、ソラミツを起動し直してください。";
  const std::pair<const char*, std::function<void()>> commands[] = {
      {"Img_Sv", [&] { f.Img_Sv.Click(); }},
      {"N9", [&] { f.N9->Click(); }},
      {"N19", [&] { f.N19->Click(); }},
  };
  for (const auto& [name, run] : commands) {
    ShownBoxes().clear();
    run();
    EXPECT_THAT(editorModes, IsEmpty()) << name;
    EXPECT_THAT(Boxes(BoxKind::Message), ElementsAre(notice)) << name;
    EXPECT_EQ(ShownBoxes().size(), 1u) << name;
  }
  EXPECT_EQ(ClipboardText(), "clipboard");
  EXPECT_EQ(IndexText(), kLine1 + kLine2);
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(DataDir()))
    // The monitor journals the text copied elsewhere; that is history, not a saved entry.
    if (e.is_regular_file() && e.path().filename() != "Log.journal")
      files.push_back(e.path().filename().string());
  EXPECT_EQ(files.size(), 3u) << "the index and the two content files, nothing more: "
                              << testing::PrintToString(files);
}

}  // namespace
}  // namespace saved_test
