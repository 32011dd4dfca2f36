// The entry editor: field rules, created keys, and the dialog on the headless backend.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/dates.h"
#include "core/entry_editor.h"
#include "form_fixture.h"
#include "recording_file_system.h"
#include "ui/edt_form.h"

namespace {

using namespace testing_support;
using gui::headless::BoxKind;
using gui::headless::ShownBoxes;
using platform::LocalDateTime;

TEST(EntryFields, BlanksAndFullWidthCommaPass) {
  EXPECT_FALSE(core::CheckEntryFields(u" ", u"　", u"\r\n").has_value());
  EXPECT_FALSE(core::CheckEntryFields(u"仕事，私用", u"挨拶，お礼", u"a,b").has_value());
  EXPECT_EQ(core::CheckEntryFields(u"a,b", u"", u"x")->field, core::EntryField::Title);
}

// A line break in category or title would split the index line, like a comma; each field's
// comma is reported before its line break, the category's before the title's.
TEST(EntryFields, LineBreaksAreRefusedInTheOrderOfTheFields) {
  using core::EntryField;
  struct Case {
    const char16_t *category, *title;
    EntryField field;
    const char16_t* message;
  } cases[] = {
      {u"仕\r\n事", u"題名", EntryField::Category, u"カテゴリーに改行は使用できません。"},
      {u"仕事\n", u"題名", EntryField::Category, u"カテゴリーに改行は使用できません。"},
      {u"\r", u"題名", EntryField::Category, u"カテゴリーに改行は使用できません。"},
      {u"仕,\r\n事", u"題名", EntryField::Category, u"カテゴリーに半角カンマは使用できません。"},
      {u"仕\r\n事", u"題,名", EntryField::Category, u"カテゴリーに改行は使用できません。"},
      {u"仕事", u"題\r\n名", EntryField::Title, u"タイトルに改行は使用できません。"},
      {u"仕事", u"題名\r", EntryField::Title, u"タイトルに改行は使用できません。"},
      {u"仕事", u"題,\n名", EntryField::Title, u"タイトルに半角カンマは使用できません。"},
  };
  for (const Case& c : cases) {
    auto refusal = core::CheckEntryFields(c.category, c.title, u"本文");
    ASSERT_TRUE(refusal.has_value()) << U8(c.category) << "/" << U8(c.title);
    EXPECT_EQ(refusal->field, c.field) << U8(c.category) << "/" << U8(c.title);
    EXPECT_EQ(refusal->message, c.message) << U8(c.category) << "/" << U8(c.title);
  }
  // Line breaks in the text itself are the text's own.
  EXPECT_FALSE(core::CheckEntryFields(u"仕事", u"題名", u"一\r\n二\n").has_value());
}

TEST(CreatedKeys, OneSecondLaterCarriesThroughTheCalendar) {
  auto next = [](LocalDateTime t) { return core::FormatCreatedKey(core::AddOneSecond(t)); };
  EXPECT_EQ(next({2024, 1, 15, 9, 59, 59}), u"20240115 100000");
  EXPECT_EQ(next({2024, 2, 28, 23, 59, 59}), u"20240229 000000");
  EXPECT_EQ(next({2023, 2, 28, 23, 59, 59}), u"20230301 000000");
  EXPECT_EQ(next({2026, 12, 31, 23, 59, 59}), u"20270101 000000");
  const std::vector<Text> taken = {u"20261209 120000", u"20261209 120001", u"20261209 120003"};
  auto isTaken = [&](const Text& k) { return std::count(taken.begin(), taken.end(), k) > 0; };
  EXPECT_EQ(core::UniqueCreatedKey({2026, 12, 9, 12, 0, 0}, isTaken), u"20261209 120002");
}

class EdtFormTest : public AppFolderTest {
 protected:
  // The main window on a recording file system (writes and reads can be made to fail).
  ui::TMainForm& StartEditor() {
    recording_ = std::make_unique<RecordingFileSystem>(services_.fileSystem);
    TestServices& s = services_;
    services = std::make_unique<platform::Services>(platform::Services{
        s.clipboard, s.shell, s.specialFolders, s.shellLinks, s.profile, *recording_,
        s.collator, s.ansi, s.clock});
    form = std::make_unique<ui::TMainForm>(*services);
    Settle();
    return *form;
  }
  // Opens the editor in `mode` on table row `row`; `user` acts while it is shown.
  void Open(const Text& mode, int row, std::function<void(ui::TEdtForm&)> user) {
    core::CellTable& table = form->StringGrid2.Table();
    auto click = std::move(table.onClick);  // moving there must not open the entry
    table.onClick = nullptr;
    table.SetCurrentRow(row);
    table.onClick = std::move(click);
    form->wEditSw = mode;
    gui::headless::SetModalHandler([user](gui::Form& f) { user(static_cast<ui::TEdtForm&>(f)); });
    ui::TEdtForm dialog(*form);
    EXPECT_EQ(ui::EdtForm, &dialog);
    dialog.ShowModal();
    EXPECT_EQ(ui::EdtForm, nullptr);
  }
  // Types category and title, then clicks save.
  static void Save(ui::TEdtForm& d, const Text& category, const Text& title) {
    d.ComboBox1.TextEditedByUser(category);
    d.Edt_Titol.TextEditedByUser(title);
    d.Img_Sv.Click();
  }
  fs::path ContentFile(const std::string& key) { return DataDir() / ("h" + key + ".dat"); }
  void TwoEntries(const std::string& secondContent) {
    WriteBytes(DataDir() / "hozon.dat",
               Cp932("仕事,挨拶文,20240115 093012,00003\r\n私用,住所,20240116 100000,00007\r\n"));
    WriteBytes(ContentFile("20240115 093012"), Cp932("お世話になっております。"));
    WriteBytes(ContentFile("20240116 100000"), secondContent);
  }
  const core::CellTable& Table() { return form->StringGrid2.Table(); }

  std::unique_ptr<RecordingFileSystem> recording_;
};

TEST_F(EdtFormTest, NewEntryFillsThePlaceholderRowOfAnEmptyStore) {
  services_.clipboard.CopyText(u"一行目\r\n二行目");
  ui::TMainForm& f = StartEditor();
  f.Memo_Categori.SetText(u"仕事\r\n私用\r\n");
  Open(u"NEW", 1, [&](ui::TEdtForm& d) {
    EXPECT_EQ(d.Caption(), u"タイトルを付けて保存");
    EXPECT_EQ(d.Lbl_mente.Caption(), u"追加");
    EXPECT_EQ(d.Memo1.GetText(), u"一行目\r\n二行目");
    EXPECT_EQ(d.ComboBox1.Items(), (std::vector<Text>{u"仕事", u"私用"}));
    EXPECT_FALSE(d.Img_Exit.Visible());
    Save(d, u"仕事", u"挨拶");
    EXPECT_TRUE(d.IsClosed());
  });
  EXPECT_EQ(f.wEditSw, u"OK");
  EXPECT_EQ(f.wEditNo, u"20261209 120000");
  EXPECT_EQ(ReadBytes(ContentFile("20261209 120000")), Cp932("一行目\r\n二行目"));
  EXPECT_EQ(Table().RowCount(), 2);
  EXPECT_EQ(Table().Row(1), (std::vector<Text>{u"", u"仕事", u"挨拶", u"20261209 120000",
                                               u"00000", u"", u""}));
  EXPECT_EQ(ShownBoxes().back().kind, BoxKind::Information);
  EXPECT_EQ(ShownBoxes().back().text, u"保存が完了しました。");
}

TEST_F(EdtFormTest, NewEntryIsAppendedAndNeverTakesARowThatHoldsAnEntry) {
  services_.clipboard.CopyText(u"笑顔\U0001F600");  // outside code page 932
  ui::TMainForm& f = StartEditor();
  // A failed index write can leave the count at 0 while row 1 holds an entry.
  f.StringGrid2.Table().SetRow(1, {u"", u"仕事", u"前の", u"20240101 000000", u"00000"});
  Open(u"NEW", 1, [](ui::TEdtForm& d) { Save(d, u"絵文字", u"顔"); });
  ASSERT_EQ(Table().RowCount(), 3);
  EXPECT_EQ(Table().Cell(2, 1), u"前の");
  EXPECT_EQ(Table().Cell(1, 2), u"絵文字");
  EXPECT_EQ(ReadBytes(ContentFile("20261209 120000")), "\xEF\xBB\xBF" + U8(u"笑顔\U0001F600"));
}

// A program that renders its copy slowly: the dialog opens after a short wait with an
// empty box, and the text fills it when it comes, unless the user has typed meanwhile.
TEST_F(EdtFormTest, ASlowClipboardTextFillsTheBoxLaterUnlessTheUserTyped) {
  StartEditor();
  for (const bool typed : {false, true}) {
    SCOPED_TRACE(typed);
    services_.clipboard.CloseGate();
    services_.clipboard.CopyText(u"遅い");
    Open(u"NEW", 1, [&](ui::TEdtForm& d) {
      EXPECT_EQ(d.Memo1.GetText(), u"");
      EXPECT_TRUE(form->clipboardReader.Pending());
      if (typed) d.Memo1.TextEditedByUser(u"自分で");
      services_.clipboard.OpenGate();
      Settle();
      EXPECT_EQ(d.Memo1.GetText(), typed ? u"自分で" : u"遅い");
      d.Img_cancel.Click();
    });
  }
  EXPECT_TRUE(ShownBoxes().empty());
}

TEST_F(EdtFormTest, RefusedFieldsKeepTheDialogOpenAndWriteNothing) {
  services_.clipboard.CopyText(u"");
  ui::TMainForm& f = StartEditor();
  std::vector<Text> messages;
  Open(u"NEW", 1, [&](ui::TEdtForm& d) {
    auto click = [&](const Text& category, const Text& title, const Text& text) {
      d.Memo1.TextEditedByUser(text);
      Save(d, category, title);
      EXPECT_FALSE(d.IsClosed());
      EXPECT_EQ(ShownBoxes().back().kind, BoxKind::Information);
      messages.push_back(ShownBoxes().back().text);
    };
    click(u"", u"", u"");
    EXPECT_TRUE(d.ComboBox1.FocusRequested() && !d.Edt_Titol.FocusRequested());
    click(u"仕,事", u"", u"");
    EXPECT_TRUE(d.Edt_Titol.FocusRequested() && !d.Memo1.FocusRequested());
    click(u"仕,事", u"題,名", u"");
    EXPECT_TRUE(d.Memo1.FocusRequested());
    click(u"仕,事", u"題,名", u"本文");
    click(u"仕事", u"題,名", u"本文");
    EXPECT_EQ(d.Edt_Titol.GetText(), u"題,名");  // what was typed stays
    d.Img_cancel.Click();
  });
  EXPECT_EQ(messages, (std::vector<Text>{
                          u"新たなカテゴリー入力するか、カテゴリーを選択して下さい。",
                          u"タイトルを入力して下さい。", u"内容を入力して下さい。",
                          u"カテゴリーに半角カンマは使用できません。",
                          u"タイトルに半角カンマは使用できません。"}));
  EXPECT_EQ(f.wEditSw, u"NEW");
  EXPECT_EQ(recording_->Count("write"), 0);
}

TEST_F(EdtFormTest, ALineBreakPastedIntoTitleOrCategoryIsRefusedThere) {
  services_.clipboard.CopyText(u"本文");
  ui::TMainForm& f = StartEditor();
  Open(u"NEW", 1, [&](ui::TEdtForm& d) {
    Save(d, u"仕事", u"挨拶\r\n二行目");
    EXPECT_TRUE(d.Edt_Titol.FocusRequested() && !d.ComboBox1.FocusRequested());
    EXPECT_EQ(ShownBoxes().back().text, u"タイトルに改行は使用できません。");
    Save(d, u"仕\n事", u"挨拶");
    EXPECT_TRUE(d.ComboBox1.FocusRequested());
    EXPECT_EQ(ShownBoxes().back().text, u"カテゴリーに改行は使用できません。");
    EXPECT_FALSE(d.IsClosed());
    Save(d, u"仕事", u"挨拶");
    EXPECT_TRUE(d.IsClosed());
  });
  EXPECT_EQ(Table().Cell(1, 1), u"仕事");
  EXPECT_EQ(Table().Cell(2, 1), u"挨拶");
  EXPECT_EQ(f.wEditSw, u"OK");
}

TEST_F(EdtFormTest, SameSecondOrClockSetBackNeverReusesAKey) {
  TwoEntries(Cp932("東京都"));
  WriteBytes(ContentFile("20240115 093013"), "deleted entry");  // content files stay
  ui::TMainForm& f = StartEditor();
  services_.clock.now = {2024, 1, 15, 9, 30, 12};  // set back onto the first entry's key
  for (const char16_t* text : {u"一つ目", u"二つ目"}) {
    services_.clipboard.CopyText(text);
    Open(u"NEW", 1, [](ui::TEdtForm& d) { Save(d, u"同時", u"題"); });
    EXPECT_EQ(f.wEditSw, u"OK");
  }
  EXPECT_EQ(Table().Cell(3, 3), u"20240115 093014");
  EXPECT_EQ(Table().Cell(3, 4), u"20240115 093015");
  EXPECT_EQ(ReadBytes(ContentFile("20240115 093012")), Cp932("お世話になっております。"));
  EXPECT_EQ(ReadBytes(ContentFile("20240115 093013")), "deleted entry");
  EXPECT_EQ(ReadBytes(ContentFile("20240115 093015")), Cp932("二つ目"));
}

TEST_F(EdtFormTest, EditChangesTheRowInPlaceAndRewritesItsContentFile) {
  TwoEntries("\xEF\xBB\xBF" + U8(u"東京都\n千代田区"));  // UTF-8 with mark, a lone LF
  services_.clipboard.CopyText(u"クリップボード");
  ui::TMainForm& f = StartEditor();
  Open(u"EDIT", 2, [&](ui::TEdtForm& d) {
    EXPECT_EQ(d.Caption(), u"保存した内容の編集");
    EXPECT_EQ(d.Lbl_mente.Caption(), u"編集");
    EXPECT_EQ(d.ComboBox1.GetText(), u"私用");
    EXPECT_EQ(d.Edt_Titol.GetText(), u"住所");
    EXPECT_EQ(d.Memo1.GetText(), u"東京都\r\n千代田区");
    EXPECT_EQ(services_.clipboard.Current(), u"東京都\r\n千代田区");
    d.Memo1.TextEditedByUser(u"大阪府\r\n");
    Save(d, u"新しい分類", u"勤務先");  // a category the list does not offer
  });
  EXPECT_EQ(f.wEditSw, u"OK");
  EXPECT_EQ(f.wEditNo, u"20240116 100000");
  // The encoding the file was read in is kept.
  EXPECT_EQ(ReadBytes(ContentFile("20240116 100000")), "\xEF\xBB\xBF" + U8(u"大阪府\r\n"));
  EXPECT_EQ(Table().RowCount(), 3);
  EXPECT_EQ(Table().Row(2), (std::vector<Text>{u"", u"新しい分類", u"勤務先", u"20240116 100000",
                                               u"00007", u"", u""}));
}

TEST_F(EdtFormTest, EditWithoutContentFileStoresTheClipboardText) {
  TwoEntries("");
  fs::remove(ContentFile("20240116 100000"));
  services_.clipboard.CopyText(u"代わり");
  StartEditor();
  Open(u"EDIT", 2, [](ui::TEdtForm& d) { Save(d, u"私用", u"住所"); });
  EXPECT_EQ(ReadBytes(ContentFile("20240116 100000")), Cp932("代わり"));
}

TEST_F(EdtFormTest, EditOfAnEntryWithoutKeyGivesItOne) {
  TwoEntries(Cp932("x"));
  WriteBytes(DataDir() / "h.dat", "shared");  // would be every keyless entry's file
  services_.clipboard.CopyText(u"本文");
  StartEditor();
  form->StringGrid2.Table().SetCell(3, 2, u"");
  Open(u"EDIT", 2, [](ui::TEdtForm& d) { Save(d, u"私用", u"住所"); });
  EXPECT_EQ(Table().Cell(3, 2), u"20261209 120000");
  EXPECT_EQ(ReadBytes(DataDir() / "h.dat"), "shared");
}

TEST_F(EdtFormTest, UnreadableContentFileCannotBeOverwrittenByAnEdit) {
  TwoEntries(Cp932("東京都"));
  services_.clipboard.CopyText(u"クリップ");
  ui::TMainForm& f = StartEditor();
  recording_->failRead = [](const Text& p) { return p.ends_with(u"h20240116 100000.dat"); };
  Open(u"EDIT", 2, [](ui::TEdtForm& d) {
    d.Img_Sv.Click();  // disabled: does nothing
    EXPECT_FALSE(d.IsClosed());
  });
  EXPECT_EQ(ShownBoxes().front().kind, BoxKind::Error);
  EXPECT_EQ(f.wEditSw, u"EDIT");
  EXPECT_EQ(recording_->Count("write"), 0);
}

TEST_F(EdtFormTest, ViewShowsTheEntryAndStoresNothing) {
  TwoEntries(Cp932("東京都"));
  ui::TMainForm& f = StartEditor();
  Open(u"VIEW", 1, [&](ui::TEdtForm& d) {
    EXPECT_EQ(d.Caption(), u"内容の確認");
    EXPECT_EQ(d.Lbl_mente.Caption(), u"");
    EXPECT_EQ(d.lbl_Save.Caption(), u"戻る");
    EXPECT_FALSE(d.ComboBox1.Enabled() || d.Edt_Titol.Enabled() || d.Label4.Visible() ||
                 d.Lbl_Cancel.Visible() || d.Img_cancel.Visible() || d.Img_Sv.Visible());
    EXPECT_TRUE(d.Memo1.Enabled() && d.Img_Exit.Visible());
    EXPECT_EQ(d.Memo1.GetText(), u"お世話になっております。");
    d.Memo1.TextEditedByUser(u"書き換え");
    d.Img_SvClick();  // even if it were reached, the view mode only closes
    EXPECT_TRUE(d.IsClosed());
  });
  EXPECT_EQ(f.wEditSw, u"VIEW");
  EXPECT_EQ(recording_->Count("write"), 0);
}

TEST_F(EdtFormTest, CancelTitleBarCloseAndFailedWriteLeaveEverything) {
  TwoEntries(Cp932("東京都"));
  ui::TMainForm& f = StartEditor();
  const std::vector<Text> before = Table().Row(2);
  Open(u"NEW", 1, [](ui::TEdtForm& d) {
    d.ComboBox1.TextEditedByUser(u"仕事");
    d.Img_cancel.Click();
  });
  EXPECT_EQ(f.wEditSw, u"NEW");
  Open(u"EDIT", 2, [](ui::TEdtForm& d) {
    d.ComboBox1.TextEditedByUser(u"変更");
    d.Close();  // the title bar's close button
  });
  EXPECT_EQ(f.wEditSw, u"EDIT");
  recording_->failWrite = [](const Text&) { return true; };
  Open(u"EDIT", 2, [](ui::TEdtForm& d) {
    Save(d, u"変更", u"変更");
    EXPECT_FALSE(d.IsClosed());
  });
  EXPECT_EQ(f.wEditSw, u"EDIT");
  EXPECT_EQ(ShownBoxes().back().kind, BoxKind::Error);
  EXPECT_EQ(Table().RowCount(), 3);
  EXPECT_EQ(Table().Row(2), before);
  EXPECT_EQ(ReadBytes(ContentFile("20240116 100000")), Cp932("東京都"));
}

}  // namespace
