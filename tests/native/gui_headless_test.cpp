// State rules of the windowing layer on the headless backend.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "core/text.h"
#include "gui/application.h"
#include "gui/controls.h"
#include "gui/form.h"
#include "gui/headless/headless.h"
#include "gui/menu.h"
#include "gui/single_line_text.h"

namespace {

using core::Text;
using gui::headless::BoxKind;
using gui::headless::ShownBoxes;

class GuiHeadless : public ::testing::Test {
 protected:
  void SetUp() override { gui::headless::Reset(); }
  void TearDown() override { gui::headless::Reset(); }
};

// Records every property change a backend would hear of.
class RecordingPeer : public gui::ControlPeer {
 public:
  explicit RecordingPeer(std::vector<gui::Property>& log) : log_(log) {}
  void PropertyChanged(gui::Property property) override { log_.push_back(property); }

 private:
  std::vector<gui::Property>& log_;
};

TEST_F(GuiHeadless, ChildrenRegisterInCreationOrderAndLeaveWhenDestroyed) {
  gui::Form form;
  gui::Panel panel{&form};
  gui::Label first{&panel};
  {
    gui::Label second{&panel};
    ASSERT_EQ(panel.Children().size(), 2u);
    EXPECT_EQ(panel.Children()[1], &second);
  }
  ASSERT_EQ(panel.Children().size(), 1u);
  EXPECT_EQ(panel.Children()[0], &first);
  EXPECT_EQ(form.Children().size(), 1u);
}

TEST_F(GuiHeadless, DisabledControlIgnoresClicks) {
  gui::Form form;
  gui::Image image{&form};
  int clicks = 0;
  image.onClick = [&] { ++clicks; };
  image.Click();
  image.SetEnabled(false);
  image.Click();
  image.Click();
  EXPECT_EQ(clicks, 1);
  image.SetEnabled(true);
  image.Click();
  EXPECT_EQ(clicks, 2);
}

TEST_F(GuiHeadless, EnabledWithParentsFollowsTheChain) {
  gui::Form form;
  gui::Panel panel{&form};
  gui::Label label{&panel};
  EXPECT_TRUE(label.EnabledWithParents());
  panel.SetEnabled(false);
  EXPECT_TRUE(label.Enabled());
  EXPECT_FALSE(label.EnabledWithParents());
}

TEST_F(GuiHeadless, PeerHearsOnlyRealChanges) {
  gui::Form form;
  gui::Label label{&form};
  std::vector<gui::Property> log;
  label.AttachPeer(std::make_unique<RecordingPeer>(log));
  label.SetBounds({1, 2, 3, 4});
  label.SetBounds({1, 2, 3, 4});
  label.SetWidth(3);
  label.SetCaption(u"a");
  label.SetCaption(u"a");
  label.SetVisible(true);
  label.Hide();
  label.SetFont(gui::Font{u"Tahoma", 15});
  label.SetColor(gui::Color{1, 2, 3});
  EXPECT_EQ(log, (std::vector<gui::Property>{gui::Property::Bounds, gui::Property::Caption,
                                             gui::Property::Visible, gui::Property::Font,
                                             gui::Property::Color}));
  EXPECT_EQ(label.Bounds(), (gui::Rect{1, 2, 3, 4}));
}

TEST_F(GuiHeadless, ANameAfterALabelLeavesOutIdeographicSpacesAndLineBreaks) {
  gui::Form form;
  gui::Label label{&form};
  gui::Edit box{&form};
  const std::pair<Text, Text> cases[] = {
      {u"履　歴", u"履歴"},
      {u"最近保存\r\nした順", u"最近保存した順"},
      {u"クリップ\nボード クリア", u"クリップボード クリア"},  // an ordinary space stays
      {u"", u""},
  };
  for (const auto& [caption, name] : cases) {
    label.SetCaption(caption);
    gui::NameAfter(box, label);
    EXPECT_TRUE(box.AccessibleName() == name) << core::ToUtf8(caption);
  }
}

TEST_F(GuiHeadless, FormResizeRunsOnSizeChangesOnly) {
  gui::Form form;
  int resizes = 0;
  form.onResize = [&] { ++resizes; };
  form.SetBounds({200, 200, 1088, 683});
  EXPECT_EQ(resizes, 1);
  form.SetLeft(10);
  form.SetTop(20);
  EXPECT_EQ(resizes, 1);
  form.SetBounds({10, 20, 1088, 683});
  EXPECT_EQ(resizes, 1);
  form.SetWidth(500);
  EXPECT_EQ(resizes, 2);
  form.SetHeight(201);
  EXPECT_EQ(resizes, 3);
  // The backend's report of a user's change runs the same event.
  form.FrameChangedByUser({0, 0, 800, 600}, {0, 0, 800, 600});
  EXPECT_EQ(resizes, 4);
  form.FrameChangedByUser({5, 5, 800, 600}, {5, 5, 800, 600});
  EXPECT_EQ(resizes, 4);
  EXPECT_EQ(form.StoredFrame(), (gui::Rect{5, 5, 800, 600}));
}

TEST_F(GuiHeadless, CloseQueryCanKeepTheFormOpen) {
  gui::Form form;
  bool allow = false;
  int queries = 0, closes = 0;
  form.onCloseQuery = [&](bool& canClose) {
    ++queries;
    canClose = allow;
  };
  form.onClose = [&] { ++closes; };
  EXPECT_FALSE(form.Close());
  EXPECT_FALSE(form.IsClosed());
  EXPECT_EQ(closes, 0);
  allow = true;
  EXPECT_TRUE(form.Close());
  EXPECT_TRUE(form.IsClosed());
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(closes, 1);
  // Closing again neither asks nor closes twice.
  EXPECT_TRUE(form.Close());
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(closes, 1);
}

TEST_F(GuiHeadless, ACloseAskedForDuringTheCloseQueryIsRefused) {
  gui::Form form;
  int queries = 0, closes = 0;
  bool nestedResult = true;
  form.onCloseQuery = [&](bool&) {
    ++queries;
    // The query processes messages; the user clicks the close button again meanwhile.
    nestedResult = form.Close();
  };
  form.onClose = [&] { ++closes; };
  EXPECT_TRUE(form.Close());
  EXPECT_FALSE(nestedResult);
  EXPECT_EQ(queries, 1);
  EXPECT_EQ(closes, 1);
}

TEST_F(GuiHeadless, AQueryThatThrowsKeepsTheFormOpenAndClosableLater) {
  gui::Form form;
  bool fail = true;
  form.onCloseQuery = [&](bool&) {
    if (fail) throw core::AppError(u"書き込めません");
  };
  EXPECT_THROW(form.Close(), core::AppError);
  EXPECT_FALSE(form.IsClosed());
  fail = false;
  EXPECT_TRUE(form.Close());
}

TEST_F(GuiHeadless, ShowRunsOnShowAndModalShowEndsClosed) {
  gui::Form dialog;
  int shows = 0, closes = 0;
  dialog.onShow = [&] { ++shows; };
  dialog.onClose = [&] { ++closes; };
  gui::Realize(dialog);
  gui::Form* seen = nullptr;
  gui::headless::SetModalHandler([&](gui::Form& f) {
    seen = &f;
    EXPECT_EQ(shows, 1);
    EXPECT_FALSE(f.IsClosed());
  });
  dialog.ShowModal();
  EXPECT_EQ(seen, &dialog);
  EXPECT_TRUE(dialog.IsClosed());
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(dialog.NativeHandle(), nullptr);
}

TEST_F(GuiHeadless, ModalHandlerMayCloseTheFormItself) {
  gui::Form dialog;
  int closes = 0;
  dialog.onClose = [&] { ++closes; };
  gui::Realize(dialog);
  gui::headless::SetModalHandler([](gui::Form& f) { f.Close(); });
  dialog.ShowModal();
  EXPECT_EQ(closes, 1);
}

TEST_F(GuiHeadless, MenuItemsCheckEnableAndClick) {
  gui::MainMenu menu;
  gui::MenuItem& settings = menu.Add(u"設定");
  gui::MenuItem& option = settings.Add(u"オプション");
  gui::MenuItem& separator = settings.Add(u"-");
  EXPECT_TRUE(separator.IsSeparator());
  EXPECT_FALSE(option.IsSeparator());
  ASSERT_EQ(settings.Items().size(), 2u);

  int stateChanges = 0, clicks = 0;
  option.onStateChanged = [&](gui::MenuItem& item) {
    EXPECT_EQ(&item, &option);
    ++stateChanges;
  };
  option.onClick = [&] { ++clicks; };
  option.SetChecked(true);
  option.SetChecked(true);
  EXPECT_TRUE(option.Checked());
  EXPECT_EQ(stateChanges, 1);
  option.SetEnabled(false);
  option.Click();
  EXPECT_EQ(clicks, 0);
  option.SetEnabled(true);
  option.Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(stateChanges, 3);
}

TEST_F(GuiHeadless, ListBoxUserChoiceRunsOnSelectProgramChoiceDoesNot) {
  gui::Form form;
  gui::ListBox list{&form};
  int selects = 0;
  list.onSelect = [&] { ++selects; };
  list.Add(u"a");
  list.Add(u"b");
  EXPECT_EQ(list.Selected(), -1);
  list.SetSelected(1);
  EXPECT_EQ(list.Selected(), 1);
  EXPECT_EQ(selects, 0);
  list.SelectByUser(0);
  EXPECT_EQ(list.Selected(), 0);
  EXPECT_EQ(selects, 1);
  // Choosing the same line again is still a choice.
  list.SelectByUser(0);
  EXPECT_EQ(selects, 2);
  list.SetSelected(5);
  EXPECT_EQ(list.Selected(), -1);
  list.SelectByUser(7);
  EXPECT_EQ(selects, 2);
  list.SetSelected(1);
  list.Clear();
  EXPECT_EQ(list.Selected(), -1);
  EXPECT_TRUE(list.Items().empty());
}

TEST_F(GuiHeadless, ListViewKeepsColumnsAndRows) {
  gui::Form form;
  gui::ListView view{&form};
  view.AddColumn(u"版", 50);
  view.AddColumn(u"内容", 200);
  view.SetColumnWidth(1, 300);
  view.SetColumnWidth(9, 1);
  auto& row = view.AddItem();
  row.caption = u"1.0.0";
  view.AddSubItem(0, u"初版");
  view.AddSubItem(3, u"none");
  ASSERT_EQ(view.Columns().size(), 2u);
  EXPECT_EQ(view.Columns()[1].width, 300);
  ASSERT_EQ(view.Items().size(), 1u);
  EXPECT_EQ(view.Items()[0].caption, u"1.0.0");
  EXPECT_EQ(view.Items()[0].subItems, (std::vector<Text>{u"初版"}));
  view.ClearItems();
  EXPECT_TRUE(view.Items().empty());
}

TEST_F(GuiHeadless, GridTableChangesReachThePeer) {
  gui::Form form;
  gui::Grid grid{&form};
  std::vector<gui::Property> log;
  grid.AttachPeer(std::make_unique<RecordingPeer>(log));
  grid.Table().SetCell(1, 1, u"x");
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), gui::Property::Content);
}

TEST_F(GuiHeadless, TimerFireRunsTheTickHandler) {
  gui::Timer timer;
  EXPECT_EQ(timer.interval, 1000);
  EXPECT_FALSE(timer.Enabled());
  timer.Fire();  // no handler: nothing happens
  int ticks = 0;
  timer.onTimer = [&] { ++ticks; };
  timer.Fire();
  timer.Fire();
  EXPECT_EQ(ticks, 2);
}

TEST_F(GuiHeadless, TimerPeerHearsEnabledChanges) {
  struct CountingPeer : gui::Timer::Peer {
    int* count;
    explicit CountingPeer(int* c) : count(c) {}
    void EnabledChanged() override { ++*count; }
  };
  int changes = 0;
  gui::Timer timer;
  timer.AttachPeer(std::make_unique<CountingPeer>(&changes));
  timer.SetEnabled(true);
  timer.SetEnabled(true);
  timer.SetEnabled(false);
  EXPECT_EQ(changes, 2);
}

TEST_F(GuiHeadless, MessageBoxesAreRecordedAndQuestionsAnsweredFromTheQueue) {
  gui::ShowMessage(u"notice");
  EXPECT_TRUE(gui::AskYesNo(u"q1"));  // empty queue answers yes
  gui::headless::QueueAnswer(false);
  gui::headless::QueueAnswer(true);
  EXPECT_FALSE(gui::AskYesNo(u"q2"));
  EXPECT_TRUE(gui::AskYesNo(u"q3"));
  EXPECT_TRUE(gui::AskYesNo(u"q4"));
  gui::ShowInformation(u"info");
  gui::ShowErrorBox(u"error");
  auto& boxes = ShownBoxes();
  ASSERT_EQ(boxes.size(), 7u);
  EXPECT_EQ(boxes[0].kind, BoxKind::Message);
  EXPECT_EQ(boxes[1].kind, BoxKind::Question);
  EXPECT_EQ(boxes[2].text, u"q2");
  EXPECT_EQ(boxes[5].kind, BoxKind::Information);
  EXPECT_EQ(boxes[6].kind, BoxKind::Error);
  gui::headless::Reset();
  EXPECT_TRUE(ShownBoxes().empty());
}

TEST_F(GuiHeadless, ProcessMessagesRunsPendingWorkWithoutRecursion) {
  int runs = 0;
  gui::ProcessMessages();  // nothing pending: harmless
  gui::headless::SetPendingMessages([&] {
    ++runs;
    gui::ProcessMessages();
  });
  gui::ProcessMessages();
  gui::ProcessMessages();
  EXPECT_EQ(runs, 2);
}

TEST_F(GuiHeadless, ErrorReportAddsAFullStopAfterHigherCharacters) {
  gui::Guarded([] { throw core::AppError(u"C:\\Data\\Log.dat に書き込めません"); });
  gui::Guarded([] { throw core::AppError(u"ends with stop."); });
  gui::Guarded([] { throw core::AppError(u"ends with space "); });
  gui::Guarded([] { throw core::AppError(u"ends with slash/"); });
  gui::Guarded([] { throw std::runtime_error("日本語 text"); });
  gui::Guarded([] { throw std::runtime_error("count 1"); });
  gui::Guarded([] { throw 42; });
  bool ran = false;
  gui::Guarded([&] { ran = true; });
  EXPECT_TRUE(ran);
  auto& boxes = ShownBoxes();
  ASSERT_EQ(boxes.size(), 7u);
  for (const auto& box : boxes) EXPECT_EQ(box.kind, BoxKind::Error);
  EXPECT_EQ(boxes[0].text, u"C:\\Data\\Log.dat に書き込めません.");
  EXPECT_EQ(boxes[1].text, u"ends with stop.");
  EXPECT_EQ(boxes[2].text, u"ends with space ");
  EXPECT_EQ(boxes[3].text, u"ends with slash/.");
  EXPECT_EQ(boxes[4].text, u"日本語 text.");
  EXPECT_EQ(boxes[5].text, u"count 1.");
  EXPECT_FALSE(boxes[6].text.empty());
}

TEST_F(GuiHeadless, ReportExceptionUsesTheAppErrorMessage) {
  gui::ReportException(core::AppError(u"読めません"));
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_EQ(ShownBoxes()[0].text, u"読めません.");
}

struct WrapCase {
  const char16_t* text;
  int width;
  std::vector<Text> lines;
};

class MemoWrap : public ::testing::TestWithParam<WrapCase> {};

TEST_P(MemoWrap, SplitsAtBreaksAndWraps) {
  gui::Form form;
  gui::Memo memo{&form};
  memo.headlessWrapWidth = GetParam().width;
  memo.SetText(GetParam().text);
  EXPECT_EQ(memo.DisplayedLines(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoWrap,
    ::testing::Values(
        WrapCase{u"", 80, {}},
        WrapCase{u"a", 80, {u"a"}},
        WrapCase{u"a\r\n\r\nb", 80, {u"a", u"", u"b"}},
        WrapCase{u"a\rb\nc\r\nd", 80, {u"a", u"b", u"c", u"d"}},
        WrapCase{u"a\r\n", 80, {u"a"}},
        WrapCase{u"a\r\n\r\n", 80, {u"a", u""}},
        WrapCase{u"\r\n", 80, {u""}},
        WrapCase{u"\n\r", 80, {u"", u""}},
        WrapCase{u"abcdefg", 3, {u"abc", u"def", u"g"}},
        WrapCase{u"abcdef\r\nxy", 3, {u"abc", u"def", u"xy"}},
        // A surrogate pair at a cut moves whole to the next line.
        WrapCase{u"ab\U0001F600c", 3, {u"ab", u"\U0001F600c"}}));

TEST(MemoLines, NoWrapKeepsLongLinesAndASourceWins) {
  gui::Form form;
  gui::Memo memo{&form};
  memo.headlessWrapWidth = 2;
  memo.wordWrap = false;
  memo.SetText(u"abcdef");
  EXPECT_EQ(memo.DisplayedLines(), (std::vector<Text>{u"abcdef"}));

  struct Fixed : gui::Memo::LinesSource {
    std::vector<Text> DisplayedLines() const override { return {u"from", u"box"}; }
  } source;
  memo.SetLinesSource(&source);
  EXPECT_EQ(memo.DisplayedLines(), (std::vector<Text>{u"from", u"box"}));
  memo.SetLinesSource(nullptr);
  EXPECT_EQ(memo.DisplayedLines().size(), 1u);
}

TEST(EditText, UserTypingAndProgramTextAgree) {
  gui::Form form;
  gui::Edit edit{&form};
  std::vector<gui::Property> log;
  edit.AttachPeer(std::make_unique<RecordingPeer>(log));
  edit.TextEditedByUser(u"typed");
  EXPECT_EQ(edit.GetText(), u"typed");
  EXPECT_TRUE(log.empty());  // the window already shows what the user typed
  edit.SetText(u"");
  EXPECT_EQ(edit.GetText(), u"");
  EXPECT_EQ(log, (std::vector<gui::Property>{gui::Property::Content}));
}

}  // namespace

namespace {

TEST(SingleLineText, EachLineBreakBecomesOneMark) {
  struct Case {
    Text text;
    Text shown;
  };
  const char16_t m = u'#';
  for (const Case& c : {Case{u"行A\r\n行B", u"行A#行B"}, Case{u"a\rb", u"a#b"},
                        Case{u"a\nb", u"a#b"}, Case{u"a\r\n\r\nb", u"a##b"},
                        Case{u"a\n\rb", u"a##b"}, Case{u"\r\nend\r", u"#end#"},
                        Case{u"plain", u"plain"}, Case{u"", u""}}) {
    EXPECT_EQ(gui::SingleLineText(c.text, m), c.shown);
  }
}

// The start of a long text is cut where no surrogate pair or CR LF is split.
TEST(SingleLineText, StartIsCutWithinTheLimit) {
  struct Case {
    Text text;
    std::size_t limit;
    Text shown;
    bool cut;
  };
  const char16_t m = u'#';
  for (const Case& c : {Case{u"abcdef", 4, u"abcd", true}, Case{u"abc", 3, u"abc", false},
                        Case{u"ab\r\ncd", 3, u"ab", true}, Case{u"ab\r\ncd", 4, u"ab#", true},
                        Case{u"a\U0001F600b", 2, u"a", true},
                        Case{u"a\U0001F600b", 3, u"a\U0001F600", true},
                        Case{u"x\ny", 0, u"", true}, Case{u"", 5, u"", false}}) {
    const gui::SingleLineStart start = gui::SingleLineStartOf(c.text, m, c.limit);
    EXPECT_EQ(start.shown, c.shown) << c.limit;
    EXPECT_EQ(start.cut, c.cut) << c.limit;
  }
}

TEST_F(GuiHeadless, BusyCursorShowsOnceWhileNestedAndPausesForModalForms) {
  EXPECT_FALSE(gui::BusyCursorShown());
  bool busyInDialog = true;
  {
    gui::BusyCursor outer;
    {
      gui::BusyCursor inner;
      EXPECT_TRUE(gui::BusyCursorShown());
    }
    EXPECT_TRUE(gui::BusyCursorShown()) << "the outer scope still runs";
    gui::Form dialog;
    dialog.onShow = [&] { busyInDialog = gui::BusyCursorShown(); };
    dialog.ShowModal();
    EXPECT_TRUE(gui::BusyCursorShown()) << "back after the dialog";
  }
  EXPECT_FALSE(busyInDialog);
  EXPECT_FALSE(gui::BusyCursorShown());
  EXPECT_EQ(gui::headless::BusyCursorShows(), 2) << "the outer scope, then after the dialog";
}

TEST_F(GuiHeadless, AFormsSizeCountsAsGivenOnlyWhenTheProgramSetsIt) {
  gui::Form form;
  form.SetClientSize(300, 200);
  form.SetTop(10);
  form.SetLeft(20);
  EXPECT_FALSE(form.SizeGiven()) << "a position alone keeps the client size";
  form.SetWidth(0);  // the value it already has still counts
  EXPECT_TRUE(form.SizeGiven());
  EXPECT_EQ(form.Width(), 0);
  form.SetClientSize(300, 200);
  EXPECT_FALSE(form.SizeGiven());
  form.SetHeight(-5);
  EXPECT_TRUE(form.SizeGiven());
  EXPECT_EQ(form.Height(), -5);
}

TEST_F(GuiHeadless, AGridRemembersTheRowAskedAtTheTop) {
  gui::Grid grid{nullptr};
  std::vector<gui::Property> log;
  grid.AttachPeer(std::make_unique<RecordingPeer>(log));
  EXPECT_EQ(grid.RowAskedAtTop(), 0);
  grid.ShowRowAtTop(7);
  EXPECT_EQ(grid.RowAskedAtTop(), 7);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), gui::Property::Scroll);
}

}  // namespace
