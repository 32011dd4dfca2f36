// The history search: exact substring matching, the extract table and the messages.
#include <gmock/gmock.h>
#include <ostream>
#include "tests/native/history_test_support.h"

namespace history_test {
namespace {

using ::testing::ElementsAre;
using gui::headless::BoxKind;
using gui::headless::ShownBoxes;

const std::string kNoResult =
    "指定した内容に該当する履歴は見つかりませんでした\r\n\r\n"
    "この検索では大小文字を区別しています。\r\n"
    "例えば、\"OK\"と\"ok\" は別文字となります。\r\n"
    "ご注意下さい。";

class HistorySearchTest : public HistoryFormTest {
 protected:
  // History texts, newest first.
  void StartWith(const std::vector<std::string>& texts) {
    std::string file;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      file += Record(StampDaysAgo(0, 11, static_cast<int>(i / 60), static_cast<int>(59 - i % 60)),
                     texts[i]);
    }
    WriteLog(file);
    Start();
  }
  void Search(const std::string& text) {
    Form().Edt_Serch.SetText(U16(text));
    Form().SpeedB_SerchClick();
  }
  std::vector<std::string> Results() { return Column(Extract(), 1); }
  std::string ResultHeader() { return U8(Extract().Cell(1, 0)); }
  bool ShowsResults() { return Form().StringGrid3.Visible() && !Form().StringGrid1.Visible(); }
};

TEST_F(HistorySearchTest, TheExtractTableStartsWithItsHeadersAndWidths) {
  Start();
  EXPECT_EQ(Extract().ColCount(), 5);
  EXPECT_EQ(ResultHeader(), "クリップボードの履歴 (抽出)");
  EXPECT_EQ(U8(Extract().Cell(2, 0)), "日時");
  const int widths[] = {10, 540, 150, 0, 0};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(Extract().ColWidth(c), widths[c]);
}

TEST_F(HistorySearchTest, AnEmptySearchTextAsksForOne) {
  StartWith({"abc"});
  Form().Edt_Serch.SetText(u"");
  Form().SpeedB_SerchClick();
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_EQ(ShownBoxes()[0].kind, BoxKind::Message);
  EXPECT_EQ(U8(ShownBoxes()[0].text), "検索する文字を指定して下さい");
  EXPECT_TRUE(Form().Edt_Serch.FocusRequested());
  EXPECT_FALSE(ShowsResults());
}

TEST_F(HistorySearchTest, FindsInHistoryOrderOneRowPerTextWithTheCountInTheHeader) {
  StartWith({"apple pie", "banana", "apple\r\npineapple", "cherry", "an apple"});
  Search("apple");
  EXPECT_THAT(Results(), ElementsAre("apple pie", "apple\r\npineapple", "an apple"));
  EXPECT_EQ(Extract().RowCount(), 4);
  EXPECT_EQ(ResultHeader(), "クリップボードの履歴 (　3件抽出しました　)");
  EXPECT_TRUE(ShowsResults());
  EXPECT_EQ(U8(Form().StringGrid3.AccessibleName()), "履歴の検索「apple」");
  EXPECT_TRUE(Form().SpeedB_All.Enabled());
  // All four columns are copied.
  for (int c = 2; c <= 4; ++c) EXPECT_EQ(Extract().Cell(c, 2), History().Cell(c, 3)) << c;
  EXPECT_TRUE(ShownBoxes().empty());
}

struct MatchCase {
  const char* name;
  std::string text, search;
  bool found;
};
// Test names show the case, not its bytes.
void PrintTo(const MatchCase& c, std::ostream* os) { *os << c.name; }

class HistoryMatchTest : public HistorySearchTest, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(HistoryMatchTest, ComparesCodeUnitsExactly) {
  StartWith({GetParam().text});
  Search(GetParam().search);
  EXPECT_EQ(Form().SpeedB_All.Enabled(), GetParam().found);
  EXPECT_EQ(ShownBoxes().size(), GetParam().found ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistoryMatchTest,
    ::testing::Values(MatchCase{"LetterCase", "OK", "ok", false},
                      MatchCase{"Width", "ＡＢＣ", "ABC", false},
                      MatchCase{"KanaType", "カタカナ", "かたかな", false},
                      MatchCase{"HalfWidthKana", "ｶﾀｶﾅ", "カタカナ", false},
                      MatchCase{"Exact", "OK then", "OK", true},
                      MatchCase{"LeadingBlankCounts", "ab", " ab", false},
                      MatchCase{"TrailingBlankCounts", "ab", "ab ", false},
                      MatchCase{"BlanksMatchBlanks", "x ab y", " ab ", true},
                      MatchCase{"IdeographicSpace", "a　b", "a b", false},
                      MatchCase{"AcrossALineBreak", "end\r\nstart", "d\r\ns", true},
                      MatchCase{"Surrogates", "𠮷野家", "𠮷", true},
                      MatchCase{"AtTheEnd", "abcabd", "abd", true},
                      MatchCase{"LongerThanText", "ab", "abc", false}),
    [](const ::testing::TestParamInfo<MatchCase>& info) { return std::string(info.param.name); });

TEST_F(HistorySearchTest, ASmallerSearchLeavesOnlyItsRows) {
  std::vector<std::string> texts;
  for (int i = 0; i < 12; ++i) texts.push_back((i < 10 ? "ten " : "two ") + std::to_string(i));
  StartWith(texts);
  Search("ten");
  EXPECT_EQ(Extract().RowCount(), 11);
  Search("two");
  EXPECT_EQ(Extract().RowCount(), 3);
  EXPECT_THAT(Results(), ElementsAre("two 10", "two 11"));
  EXPECT_EQ(ResultHeader(), "クリップボードの履歴 (　2件抽出しました　)");
}

TEST_F(HistorySearchTest, NoResultKeepsTheEarlierResults) {
  StartWith({"alpha", "beta", "alphabet"});
  Search("alpha");
  Search("gamma");
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_EQ(ShownBoxes()[0].kind, BoxKind::Message);
  EXPECT_EQ(U8(ShownBoxes()[0].text), kNoResult);
  EXPECT_THAT(Results(), ElementsAre("alpha", "alphabet"));
  EXPECT_EQ(ResultHeader(), "クリップボードの履歴 (　2件抽出しました　)");
  EXPECT_TRUE(ShowsResults());
  EXPECT_TRUE(Form().SpeedB_All.Enabled());
}

TEST_F(HistorySearchTest, NoResultInTheHistoryViewChangesNothing) {
  StartWith({"alpha"});
  Search("gamma");
  EXPECT_FALSE(ShowsResults());
  EXPECT_FALSE(Form().SpeedB_All.Enabled());
  EXPECT_EQ(ResultHeader(), "クリップボードの履歴 (抽出)");
}

TEST_F(HistorySearchTest, AnEmptyHistoryFindsNothing) {
  Start();
  Search("a");
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_EQ(U8(ShownBoxes()[0].text), kNoResult);
}

TEST_F(HistorySearchTest, ASearchWhileResultsAreShownSearchesTheWholeHistory) {
  StartWith({"alpha", "beta"});
  Search("alpha");
  Search("beta");
  EXPECT_THAT(Results(), ElementsAre("beta"));
}

TEST_F(HistorySearchTest, ClearAndShowAllEachLeaveTheOtherAlone) {
  StartWith({"alpha", "beta"});
  Search("alpha");
  Form().SpeedB_ClrClick();
  EXPECT_EQ(U8(Form().Edt_Serch.GetText()), "");
  EXPECT_TRUE(Form().Edt_Serch.FocusRequested());
  EXPECT_TRUE(ShowsResults());

  Form().Edt_Serch.SetText(u"beta");
  Form().SpeedB_AllClick();
  EXPECT_FALSE(Form().StringGrid3.Visible());
  EXPECT_TRUE(Form().StringGrid1.Visible());
  EXPECT_FALSE(Form().SpeedB_All.Enabled());
  EXPECT_EQ(U8(Form().Edt_Serch.GetText()), "beta");
  EXPECT_THAT(Results(), ElementsAre("alpha")) << "the extract table keeps its rows";
}

TEST_F(HistorySearchTest, ResultsAreASnapshot) {
  StartWith({"alpha"});
  Search("alpha");
  CopyAndTick("alpha again");
  EXPECT_THAT(Results(), ElementsAre("alpha"));
}

// A screen reader is told each shown table's count without the focus moving; a search that
// finds nothing has its message box and no count. With no saved entry the saved table
// shows only its empty row: 0件.
TEST_F(HistorySearchTest, ScreenReadersHearTheCountOfEachTableShown) {
  StartWith({"apple pie", "banana", "an apple"});
  auto heard = [] {
    std::vector<std::string> texts;
    for (const gui::Text& text : gui::headless::Announcements()) texts.push_back(U8(text));
    return texts;
  };
  Search("apple");
  Search("cherry");
  Form().SpeedB_AllClick();
  Form().Img_ListClick();
  Form().img_LogClick();
  EXPECT_THAT(heard(), ElementsAre("2件抽出しました", "3件", "0件", "3件"));
}

}  // namespace
}  // namespace history_test
