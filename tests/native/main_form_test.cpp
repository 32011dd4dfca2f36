// The main window on the headless backend: start-up, views, saved-entry switches, menus,
// the resize rule and the painting rule.
#include <algorithm>

#include "core/settings.h"
#include "form_fixture.h"
#include "ui/ver_form.h"

namespace {

using namespace testing_support;
using gui::headless::BoxKind;
using gui::headless::ShownBoxes;

// Forwards to the real file system but cannot read one file (a locked or damaged file).
class UnreadableFileSystem : public platform::FileSystem {
 public:
  UnreadableFileSystem(platform::FileSystem& inner, Text unreadable)
      : inner_(inner), unreadable_(std::move(unreadable)) {}
  bool FolderExists(const Text& p) override { return inner_.FolderExists(p); }
  bool FileExists(const Text& p) override { return inner_.FileExists(p); }
  bool CreateFolder(const Text& p) override { return inner_.CreateFolder(p); }
  std::string ReadFile(const Text& p) override {
    if (p.size() >= unreadable_.size() && p.ends_with(unreadable_))
      throw core::AppError(u"読み取りエラー");
    return inner_.ReadFile(p);
  }
  void WriteFileAtomic(const Text& p, const std::string& b) override { inner_.WriteFileAtomic(p, b); }
  bool AppendFile(const Text& p, const std::string& b) override { return inner_.AppendFile(p, b); }
  bool RemoveFile(const Text& p) override { return inner_.RemoveFile(p); }
  bool CopyFileReplacing(const Text& s, const Text& d) override { return inner_.CopyFileReplacing(s, d); }
  bool ClearReadOnly(const Text& p) override { return inner_.ClearReadOnly(p); }
  platform::Listing List(const Text& f, const Text& p) override { return inner_.List(f, p); }
  Text ExecutablePath() override { return inner_.ExecutablePath(); }

 private:
  platform::FileSystem& inner_;
  Text unreadable_;
};

class MainFormTest : public AppFolderTest {
 protected:
  // Starts with a file system that cannot read the file named `unreadable`.
  ui::TMainForm& StartWithUnreadable(const Text& unreadable) {
    failing_ = std::make_unique<UnreadableFileSystem>(services_.fileSystem, unreadable);
    TestServices& s = services_;
    services = std::make_unique<platform::Services>(platform::Services{
        s.clipboard, s.shell, s.specialFolders, s.shellLinks, s.profile, *failing_, s.collator,
        s.ansi, s.clock});
    form = std::make_unique<ui::TMainForm>(*services);
    Settle();
    return *form;
  }

  std::vector<gui::Control*> SavedControls(ui::TMainForm& f) {
    return {&f.Lbl_Edit, &f.Lbl_Del, &f.Img_Edit, &f.Img_Del, &f.Lbl_List,
            &f.Lbl_New,  &f.Lbl_High, &f.Img_List, &f.Img_High, &f.Img_new};
  }
  std::vector<gui::MenuItem*> SavedItems(ui::TMainForm& f) { return {f.N10, f.N14, f.N15}; }
  void SetOuterSize(ui::TMainForm& f, int w, int h) {
    f.SetBounds({f.Left(), f.Top(), w, h});
  }
  static bool Contains(const Text& text, const Text& part) { return text.find(part) != Text::npos; }

  std::unique_ptr<UnreadableFileSystem> failing_;
};

TEST_F(MainFormTest, FirstStartInAnEmptyFolder) {
  ui::TMainForm& f = Start();
  EXPECT_TRUE(fs::is_directory(root / "Data"));
  EXPECT_TRUE(fs::is_directory(root / "Bkup1"));
  EXPECT_TRUE(fs::is_directory(root / "Bkup2"));
  EXPECT_EQ(f.Bounds(), (gui::Rect{200, 200, 1088, 683}));
  EXPECT_FALSE(f.N4->Checked());
  for (gui::Control* c : SavedControls(f)) EXPECT_FALSE(c->Enabled());
  for (gui::MenuItem* m : SavedItems(f)) EXPECT_FALSE(m->Enabled());
  EXPECT_TRUE(f.Img_Sv.Enabled());
  EXPECT_TRUE(f.lbl_Save.Enabled());
  EXPECT_EQ(f.Memo_Board.GetText(), u"");
  EXPECT_TRUE(ShownBoxes().empty());

  EXPECT_EQ(f.AppPath, U16(root.string() + "/"));
  EXPECT_EQ(f.DataPath, f.AppPath + u"Data\\");
  EXPECT_EQ(f.Bkup1Path, f.AppPath + u"Bkup1\\");
  EXPECT_EQ(f.Bkup2Path, f.AppPath + u"Bkup2\\");
  EXPECT_EQ(f.wSortSw, u"0");
  EXPECT_EQ(f.tbl_Cnt, 0);
  EXPECT_EQ(f.Ini_BkupFlg, 1);
  EXPECT_FALSE(f.historyLoadFailed);
  EXPECT_FALSE(f.indexLoadFailed);

  // Created, not yet shown: the splash state.
  EXPECT_TRUE(f.Timer2.Enabled());
  EXPECT_FALSE(f.Timer1.Enabled());
  EXPECT_TRUE(f.Img_Logo.Visible());
  for (gui::Control* c : std::initializer_list<gui::Control*>{
           &f.StringGrid1, &f.StringGrid2, &f.StringGrid3, &f.ListBox1, &f.Label2, &f.Edt_Serch,
           &f.SpeedB_Serch, &f.SpeedB_Clr, &f.SpeedB_All, &f.Img_List1, &f.Img_new1, &f.Img_High1})
    EXPECT_FALSE(c->Visible());
  EXPECT_TRUE(f.Img_Log1.Visible());
  EXPECT_EQ(f.Lbl_Titol.Caption(), u"履　歴");
  EXPECT_EQ(f.Lbl_New.Caption(), u"最近保存\r\nした順");
  EXPECT_EQ(f.Lbl_Clip.Caption(), u"クリップ\r\nボードクリア");
  // The logo's lower right corner meets that of the history table.
  EXPECT_EQ(f.Img_Logo.Bounds().Right(), f.StringGrid1.Bounds().Right());
  EXPECT_EQ(f.Img_Logo.Bounds().Bottom(), f.StringGrid1.Bounds().Bottom());
  EXPECT_EQ(f.StringGrid2.Width(), f.StringGrid1.Width());
  EXPECT_EQ(f.StringGrid2.Height(), f.StringGrid1.Height());
}

TEST_F(MainFormTest, StartUpTextOfTheClipboardIsTheMonitorsStartingPoint) {
  services_.clipboard.CopyText(u"起動時のテキスト");
  EXPECT_EQ(Start().oldStr, u"起動時のテキスト");
}

TEST_F(MainFormTest, ClipboardHeldOpenIsRetriedThenTakenAsEmpty) {
  services_.clipboard.CopyText(u"held");
  services_.clipboard.busy = true;
  ui::TMainForm& f = Start();
  EXPECT_EQ(f.oldStr, u"");
  EXPECT_GE(services_.clipboard.readCount, 2);
  EXPECT_TRUE(ShownBoxes().empty());
  EXPECT_TRUE(f.Timer2.Enabled());  // start-up went on to the end
}

// A clipboard let go within about half a second still gives the start-up text; the tries
// are 50 ms apart (on the reading thread), and one held longer is given up on after half a
// second.
TEST_F(MainFormTest, ClipboardHeldAtStartUpIsWaitedForAboutHalfASecond) {
  struct Case {
    std::uint32_t heldMs;
    const char16_t* expected;
  };
  for (const Case c : {Case{0, u"held"}, Case{120, u"held"}, Case{450, u"held"}, Case{600, u""},
                       Case{3600000, u""}}) {
    SCOPED_TRACE(c.heldMs);
    form.reset();
    gui::headless::Reset();
    services_.clock.tick = 0xFFFFFF00u;  // the counter wraps during the wait
    services_.clock.tickStep = 0;        // only the waits move it on
    services_.clock.slept.clear();
    services_.clipboard.CopyText(u"held");
    services_.clipboard.busy = c.heldMs > 0;
    services_.clock.onSleep = [this, c] {
      if (services_.clock.tick - 0xFFFFFF00u >= c.heldMs) services_.clipboard.busy = false;
    };
    EXPECT_EQ(Start().oldStr, c.expected);
    EXPECT_LE(services_.clock.slept.size(), 10u);
    for (std::uint32_t ms : services_.clock.slept) EXPECT_EQ(ms, 50u);
    EXPECT_TRUE(form->Timer2.Enabled());
  }
  services_.clock.onSleep = nullptr;
}

TEST_F(MainFormTest, DataFolderThatCannotBeCreatedIsNamed) {
  WriteBytes(root / "Data", "a file where the folder should be");
  ui::TMainForm& f = Start();
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_EQ(ShownBoxes()[0].kind, BoxKind::Message);
  EXPECT_TRUE(Contains(ShownBoxes()[0].text, f.DataPath));
  EXPECT_FALSE(Contains(ShownBoxes()[0].text, f.Bkup1Path));
  EXPECT_TRUE(fs::is_directory(root / "Bkup1"));
  EXPECT_TRUE(f.Timer2.Enabled());
}

TEST_F(MainFormTest, UnreadableHistoryFileIsReportedAndKept) {
  WriteBytes(DataDir() / "Log.dat", "anything");
  ui::TMainForm& f = StartWithUnreadable(u"Log.dat");
  EXPECT_TRUE(f.historyLoadFailed);
  EXPECT_FALSE(f.indexLoadFailed);
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_TRUE(Contains(ShownBoxes()[0].text, f.DataPath + u"Log.dat"));
  EXPECT_TRUE(Contains(ShownBoxes()[0].text, u"上書きされません"));
  // The remaining steps ran.
  EXPECT_TRUE(f.Timer2.Enabled());
  EXPECT_FALSE(f.Img_Edit.Enabled());
}

TEST_F(MainFormTest, UnreadableIndexIsReportedAndKept) {
  WriteBytes(DataDir() / "hozon.dat", "anything");
  ui::TMainForm& f = StartWithUnreadable(u"hozon.dat");
  EXPECT_FALSE(f.historyLoadFailed);
  EXPECT_TRUE(f.indexLoadFailed);
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_TRUE(Contains(ShownBoxes()[0].text, f.DataPath + u"hozon.dat"));
  for (gui::Control* c : SavedControls(f)) EXPECT_FALSE(c->Enabled());
  EXPECT_TRUE(f.Timer2.Enabled());
}

TEST_F(MainFormTest, ShowAndEndOfTheSplash) {
  ui::TMainForm& f = Start();
  f.SetCaption(u"other");
  f.ShowWindow();
  EXPECT_EQ(f.Caption(), u"ソラミツ");
  EXPECT_TRUE(f.Timer1.Enabled());
  EXPECT_EQ(f.Timer1.interval, 2000);
  EXPECT_EQ(f.Timer2.interval, 1000);
  f.Timer1.Fire();
  EXPECT_FALSE(f.Timer1.Enabled());
  EXPECT_TRUE(f.StringGrid1.Visible());
  EXPECT_FALSE(f.Img_Logo.Visible());
  for (gui::Control* c : std::initializer_list<gui::Control*>{&f.Label2, &f.Edt_Serch,
                                                               &f.SpeedB_Serch, &f.SpeedB_Clr,
                                                               &f.SpeedB_All})
    EXPECT_TRUE(c->Visible());
  EXPECT_FALSE(f.SpeedB_All.Enabled());
  EXPECT_TRUE(f.SpeedB_Serch.Enabled());
}

TEST_F(MainFormTest, HistoryViewAfterASearchAndASavedView) {
  ui::TMainForm& f = Start();
  f.Timer1.Fire();
  // A search has replaced the history table; then a saved-entry view was entered.
  f.StringGrid1.Hide();
  f.StringGrid3.Show();
  f.SpeedB_All.SetEnabled(true);
  f.Edt_Serch.SetText(u"検索語");
  f.Memo_Board.SetText(u"board");
  f.wSortSw = u"1";
  f.Lbl_Titol.SetCaption(u"カテゴリー順");
  f.ListBox1.Show();
  f.StringGrid2.Show();
  f.Img_Log1.Hide();
  f.Img_List1.Show();
  f.EnableSavedCommands(true);

  f.Img_Log1.Click();
  EXPECT_EQ(f.wSortSw, u"0");
  EXPECT_EQ(f.Lbl_Titol.Caption(), u"履　歴");
  EXPECT_FALSE(f.ListBox1.Visible());
  EXPECT_TRUE(f.StringGrid1.Visible());
  EXPECT_FALSE(f.StringGrid2.Visible());
  EXPECT_TRUE(f.StringGrid3.Visible());  // covered by the history table
  EXPECT_TRUE(f.Img_Log1.Visible());
  EXPECT_FALSE(f.Img_List1.Visible());
  EXPECT_FALSE(f.SpeedB_All.Enabled());
  EXPECT_TRUE(f.Edt_Serch.Visible());
  EXPECT_EQ(f.Edt_Serch.GetText(), u"");
  EXPECT_EQ(f.Memo_Board.GetText(), u"board");
  for (gui::Control* c : std::initializer_list<gui::Control*>{&f.Lbl_Edit, &f.Lbl_Del, &f.Img_Edit, &f.Img_Del})
    EXPECT_FALSE(c->Enabled());
  EXPECT_TRUE(f.Img_List.Enabled());  // only edit and delete go off

  f.Img_High1.Show();
  f.img_Log.Click();  // the navigation button does the same
  EXPECT_FALSE(f.Img_High1.Visible());
}

TEST_F(MainFormTest, EnableSavedCommandsSwitchesTheThirteenOnly) {
  ui::TMainForm& f = Start();
  f.EnableSavedCommands(true);
  for (gui::Control* c : SavedControls(f)) EXPECT_TRUE(c->Enabled());
  for (gui::MenuItem* m : SavedItems(f)) EXPECT_TRUE(m->Enabled());

  f.Img_Sv.SetEnabled(false);
  f.N8->SetEnabled(false);
  f.EnableSavedCommands(false);
  for (gui::Control* c : SavedControls(f)) EXPECT_FALSE(c->Enabled());
  for (gui::MenuItem* m : SavedItems(f)) EXPECT_FALSE(m->Enabled());
  f.EnableSavedCommands(true);
  EXPECT_FALSE(f.Img_Sv.Enabled());
  EXPECT_FALSE(f.N8->Enabled());
  for (gui::Control* c : std::initializer_list<gui::Control*>{&f.lbl_Save, &f.img_Log, &f.Img_Log1,
                                                               &f.Img_Clrer, &f.Img_Clip})
    EXPECT_TRUE(c->Enabled());
  for (gui::MenuItem* m : {f.N9, f.URL1, f.N16, f.N19, f.URL2}) EXPECT_TRUE(m->Enabled());
}

TEST_F(MainFormTest, ResizeRuleAtTheDefaultSize) {
  ui::TMainForm& f = Start();
  SetOuterSize(f, 1000, 600);
  SetOuterSize(f, 1088, 683);
  EXPECT_EQ(f.Panel1.Height(), 683);
  EXPECT_EQ(f.Panel2.Height(), 683);
  for (gui::Grid* g : {&f.StringGrid1, &f.StringGrid2, &f.StringGrid3})
    EXPECT_EQ(g->Bounds(), (gui::Rect{346, 224, 718, 395}));
  EXPECT_EQ(f.Memo_Board.Bounds(), (gui::Rect{346, 0, 718, 178}));
  EXPECT_EQ(f.Edt_Serch.Bounds(), (gui::Rect{443, 191, 462, 27}));
  EXPECT_EQ(f.SpeedB_Serch.Left(), 915);
  EXPECT_EQ(f.SpeedB_Clr.Left(), 983);
  EXPECT_EQ(f.SpeedB_All.Left(), 1018);
  EXPECT_EQ(f.SpeedB_Serch.Top(), 187);
  EXPECT_EQ(f.StringGrid1.Table().ColWidth(1), 528);
  EXPECT_EQ(f.StringGrid3.Table().ColWidth(1), 528);
  EXPECT_EQ(f.StringGrid2.Table().ColWidth(2), 358);
}

TEST_F(MainFormTest, ResizeRuleCorner) {
  ui::TMainForm& f = Start();
  SetOuterSize(f, 900, 500);
  const gui::Rect grid = f.StringGrid1.Bounds();
  const gui::Rect panel = f.Panel1.Bounds();
  const int column = f.StringGrid1.Table().ColWidth(1);
  SetOuterSize(f, 500, 200);
  EXPECT_EQ(f.StringGrid1.Bounds(), grid);
  EXPECT_EQ(f.Panel1.Bounds(), panel);
  EXPECT_EQ(f.StringGrid1.Table().ColWidth(1), column);

  SetOuterSize(f, 501, 200);
  EXPECT_EQ(f.Panel1.Height(), 200);
  EXPECT_EQ(f.StringGrid1.Width(), 131);
  EXPECT_EQ(f.StringGrid1.Height(), 0);  // 200 - 288, clamped
  EXPECT_EQ(f.Edt_Serch.Width(), 0);     // 131 - 256, clamped
  EXPECT_EQ(f.StringGrid1.Table().ColWidth(1), 0);
  EXPECT_EQ(f.SpeedB_Serch.Left(), 453);

  SetOuterSize(f, 500, 201);
  EXPECT_EQ(f.Panel2.Height(), 201);
  EXPECT_EQ(f.StringGrid1.Width(), 130);
  EXPECT_EQ(f.StringGrid3.Width(), 130);
  EXPECT_EQ(f.Memo_Board.Width(), 130);
}

TEST_F(MainFormTest, MenusPopupsAndTimersAreAttached) {
  ui::TMainForm& f = Start();
  EXPECT_EQ(f.menu, &f.MainMenu1);
  EXPECT_EQ(f.StringGrid1.popup, &f.PopupMenu1);
  EXPECT_EQ(f.StringGrid2.popup, &f.PopupMenu2);
  EXPECT_EQ(f.StringGrid3.popup, &f.PopupMenu3);
  EXPECT_TRUE(f.N11->IsSeparator() && f.N12->IsSeparator() && f.N20->IsSeparator());
  EXPECT_FALSE(f.StringGrid1.tabStop);
  EXPECT_FALSE(f.StringGrid2.tabStop);
  EXPECT_EQ(f.timers, (std::vector<gui::Timer*>{&f.Timer1, &f.Timer2}));
}

TEST_F(MainFormTest, OptionManualAndExit) {
  ui::TMainForm& f = Start();
  f.N4->Click();
  EXPECT_TRUE(f.N4->Checked());
  f.N4->Click();
  EXPECT_FALSE(f.N4->Checked());

  f.N13->Click();
  EXPECT_EQ(services_.shell.opened, (std::vector<Text>{f.AppPath + u"soramitsu.pdf"}));
  EXPECT_TRUE(ShownBoxes().empty());  // an opened manual needs no word from the program

  f.N6->Click();
  EXPECT_TRUE(f.IsClosed());
}

TEST_F(MainFormTest, ManualThatCannotBeOpenedIsNamedInANotice) {
  services_.shell.opens = false;  // no soramitsu.pdf beside the program, or no PDF viewer
  ui::TMainForm& f = Start();
  f.N13->Click();
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_EQ(ShownBoxes()[0].kind, BoxKind::Message);
  EXPECT_EQ(ShownBoxes()[0].text,
            u"取扱説明書を開けませんでした。\r\n" + f.AppPath +
                u"soramitsu.pdf\r\n\r\nファイルがあるか、PDF を表示できるアプリが入っているかを確認してください。");
  EXPECT_FALSE(f.IsClosed());
}

TEST_F(MainFormTest, VersionDialogIsBuiltFreshAtEachOpening) {
  ui::TMainForm& f = Start();
  std::vector<std::size_t> rows;
  gui::headless::SetModalHandler([&](gui::Form& dialog) {
    EXPECT_EQ(ui::VerForm, &dialog);
    rows.push_back(ui::VerForm->ListView1.Items().size());
  });
  f.N7->Click();
  EXPECT_EQ(ui::VerForm, nullptr);
  f.N7->Click();
  EXPECT_EQ(rows, (std::vector<std::size_t>{2, 2}));
  EXPECT_EQ(ui::VerForm, nullptr);
}

// ---- painting rule ----

struct PaintCall {
  enum Kind { Fill, Text } kind;
  gui::Rect rect;
  gui::Color color;
  core::Text text;
  gui::Font font;
};

class RecordingCanvas : public gui::Canvas {
 public:
  void FillRect(const gui::Rect& rect, gui::Color color) override {
    calls.push_back({PaintCall::Fill, rect, color, {}, {}});
  }
  void DrawSingleLine(const core::Text& text, const gui::Rect& rect, const gui::Font& font,
                      gui::Color color) override {
    calls.push_back({PaintCall::Text, rect, color, text, font});
  }
  std::vector<PaintCall> calls;
};

constexpr gui::Color kGreen{192, 220, 192}, kCream{255, 251, 240}, kMagenta{255, 0, 255};

class PaintingTest : public MainFormTest {
 protected:
  std::vector<PaintCall> Paint(gui::Grid& grid, int col, int row) {
    RecordingCanvas canvas;
    grid.onDrawCell(col, row, cell, canvas);
    return canvas.calls;
  }
  void Fill(gui::Grid& grid) {
    core::CellTable& t = grid.Table();
    t.SetColCount(3);
    t.SetRowCount(5);
    for (int r = 0; r < 5; ++r)
      for (int c = 0; c < 3; ++c) t.SetCell(c, r, U16("c" + std::to_string(c) + "r" + std::to_string(r)));
  }
  const gui::Rect cell{100, 48, 80, 24};
};

TEST_F(PaintingTest, RowColoursInAllThreeTables) {
  ui::TMainForm& f = Start();
  for (gui::Grid* g : {&f.StringGrid1, &f.StringGrid2, &f.StringGrid3}) {
    Fill(*g);
    g->Table().SetCurrentRow(1);
    g->Table().SetCurrentCol(1);
    const gui::Color expected[] = {kGreen, kCream, gui::kWhite, kCream, gui::kWhite};
    for (int row = 0; row < 5; ++row) {
      auto calls = Paint(*g, 0, row);  // the fixed column too
      ASSERT_EQ(calls.size(), 2u);
      EXPECT_EQ(calls[0].kind, PaintCall::Fill);
      EXPECT_EQ(calls[0].rect, cell);
      EXPECT_EQ(calls[0].color, expected[row]) << "row " << row;
      EXPECT_EQ(calls[1].kind, PaintCall::Text);
      EXPECT_EQ(calls[1].rect, (gui::Rect{102, 48, 78, 24}));
      EXPECT_EQ(calls[1].color, gui::kBlack);
      EXPECT_EQ(calls[1].font, g->GetFont());
      EXPECT_EQ(calls[1].text, U16("c0r" + std::to_string(row)));
    }
  }
  EXPECT_EQ(f.StringGrid1.GetFont().face, u"Tahoma");
  EXPECT_EQ(f.StringGrid1.GetFont().height, 15);
}

TEST_F(PaintingTest, CurrentCellOfADataRow) {
  ui::TMainForm& f = Start();
  gui::Grid& g = f.StringGrid1;
  Fill(g);
  g.Table().SetCurrentRow(2);
  g.Table().SetCurrentCol(1);
  auto calls = Paint(g, 1, 2);
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].color, gui::kWhite);  // the row colour stays in the 2-pixel strip
  EXPECT_EQ(calls[2].kind, PaintCall::Fill);
  EXPECT_EQ(calls[2].rect, (gui::Rect{102, 48, 78, 24}));
  EXPECT_EQ(calls[2].color, kMagenta);
  EXPECT_EQ(calls[3].kind, PaintCall::Text);
  EXPECT_EQ(calls[3].rect, (gui::Rect{104, 48, 76, 24}));
  EXPECT_EQ(calls[3].color, gui::kWhite);
  EXPECT_EQ(calls[3].text, u"c1r2");
  EXPECT_EQ(calls[3].font.face, u"Tahoma");
  EXPECT_EQ(calls[3].font.height, 11);
  EXPECT_TRUE(calls[3].font.points);

  // Only the current cell, never the whole row.
  EXPECT_EQ(Paint(g, 2, 2).size(), 2u);
  EXPECT_EQ(Paint(g, 1, 1).size(), 2u);
}

TEST_F(PaintingTest, HeaderRowIsNeverHighlighted) {
  ui::TMainForm& f = Start();
  gui::Grid& g = f.StringGrid3;
  Fill(g);
  g.Table().SetCurrentRow(0);
  g.Table().SetCurrentCol(1);
  auto calls = Paint(g, 1, 0);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].color, kGreen);
}

// ---- the error report ----

TEST(ErrorReportTest, FullStopAddedAfterCharactersAboveIt) {
  EXPECT_EQ(core::ErrorReportText(u"C:\\app\\Soramitsu.ini に書き込めません"),
            u"C:\\app\\Soramitsu.ini に書き込めません.");
  EXPECT_EQ(core::ErrorReportText(u"done."), u"done.");
  EXPECT_EQ(core::ErrorReportText(u"what!"), u"what!");    // "!" lies below "."
  EXPECT_EQ(core::ErrorReportText(u"a/b"), u"a/b.");       // "/" lies just above
  EXPECT_EQ(core::ErrorReportText(u"x-"), u"x-");          // "-" lies just below
  EXPECT_EQ(core::ErrorReportText(u"終わり。"), u"終わり。.");
}

class FailingShell : public platform::Shell {
 public:
  bool Open(platform::NativeWindow, const Text&) override { throw core::AppError(u"開けません"); }
};

TEST_F(MainFormTest, ErrorInAHandlerBecomesTheErrorReport) {
  FailingShell shell;
  TestServices& s = services_;
  services = std::make_unique<platform::Services>(platform::Services{
      s.clipboard, shell, s.specialFolders, s.shellLinks, s.profile, s.fileSystem, s.collator,
      s.ansi, s.clock});
  form = std::make_unique<ui::TMainForm>(*services);
  form->N13->Click();
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_EQ(ShownBoxes()[0].kind, BoxKind::Error);
  EXPECT_EQ(ShownBoxes()[0].text, u"開けません.");
  form.reset();
}

}  // namespace
