// The commands on history rows: choose, copy, open a web address, clear history and board.
#include <gmock/gmock.h>
#include <ostream>
#include "tests/native/history_test_support.h"

namespace history_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using gui::headless::BoxKind;
using gui::headless::ShownBoxes;

class HistoryCommandsTest : public HistoryFormTest {
 protected:
  // History texts, newest first.
  void StartWith(const std::vector<std::string>& texts) {
    std::string file;
    for (std::size_t i = 0; i < texts.size(); ++i)
      file += Record(StampDaysAgo(static_cast<int>(i)), texts[i]);
    WriteLog(file);
    Start();
  }
  void ClickHistoryRow(int row) { History().SelectByUser(1, row); }
  void ClickExtractRow(int row) { Extract().SelectByUser(1, row); }
  const std::vector<Text>& Opened() { return services_.shell.opened; }
};

TEST_F(HistoryCommandsTest, ChoosingTheTextTheBoardShowsChangesNothingButTheUrlItem) {
  StartWith({"https://example.com/", "older"});
  ASSERT_EQ(Board(), "https://example.com/");
  Clipboard().CopyText(u"elsewhere");
  Form().URL1->SetEnabled(false);
  const auto sequence = Clipboard().SequenceNumber();
  ClickHistoryRow(1);
  EXPECT_EQ(Board(), "https://example.com/");
  EXPECT_EQ(ClipboardText(), "elsewhere");
  EXPECT_EQ(Clipboard().SequenceNumber(), sequence);
  EXPECT_TRUE(Form().URL1->Enabled());
}

TEST_F(HistoryCommandsTest, ChoosingDropsEmptyLinesEachTime) {
  StartWith({"newest", "a\r\n\r\nb"});
  for (int i = 0; i < 2; ++i) {
    const auto sequence = Clipboard().SequenceNumber();
    ClickHistoryRow(2);
    EXPECT_EQ(Board(), "a\r\nb\r\n");
    EXPECT_EQ(ClipboardText(), "a\r\nb\r\n");
    EXPECT_NE(Clipboard().SequenceNumber(), sequence) << "click " << i;
  }
  EXPECT_THAT(Texts(), ElementsAre("newest", "a\r\n\r\nb")) << "the history keeps its text";
}

TEST_F(HistoryCommandsTest, ALongLineGoesToTheClipboardInThePiecesTheBoardShows) {
  const std::string longLine = std::string(80, 'a') + std::string(80, 'b') + std::string(40, 'c');
  StartWith({"newest", longLine + "\r\nshort"});
  Form().Memo_Board.headlessWrapWidth = 80;
  ClickHistoryRow(2);
  const std::string expected = std::string(80, 'a') + "\r\n" + std::string(80, 'b') + "\r\n" +
                               std::string(40, 'c') + "\r\nshort\r\n";
  EXPECT_EQ(ClipboardText(), expected);
  EXPECT_EQ(Board(), expected);
}

TEST_F(HistoryCommandsTest, ChoosingTheEmptyRowOfAClearedHistoryEmptiesBoardAndClipboard) {
  StartWith({"text"});
  Form().Img_ClrerClick();
  ASSERT_EQ(Board(), "text");
  ClickHistoryRow(1);
  EXPECT_EQ(Board(), "");
  EXPECT_EQ(ClipboardText(), "");
}

struct UrlCase {
  const char* name;
  std::string text;
  bool webAddress;     // the item's state: the prefix rule alone
  std::string opened;  // what the shell gets; empty: nothing, and the notice instead
};
// Test names show the case, not its bytes.
void PrintTo(const UrlCase& c, std::ostream* os) { *os << c.name; }

class HistoryUrlTest : public HistoryCommandsTest, public ::testing::WithParamInterface<UrlCase> {};

TEST_P(HistoryUrlTest, EnablesTheItemAndOpensOnlyWebAddresses) {
  const UrlCase& c = GetParam();
  StartWith({"newest", c.text});
  Form().URL1->SetEnabled(!c.webAddress);
  ClickHistoryRow(2);
  EXPECT_EQ(Form().URL1->Enabled(), c.webAddress);
  Form().URL1Click();
  if (!c.opened.empty()) {
    EXPECT_THAT(Opened(), ElementsAre(U16(c.opened)));
    EXPECT_THAT(ShownBoxes(), IsEmpty());
  } else {
    EXPECT_THAT(Opened(), IsEmpty());
    ASSERT_EQ(ShownBoxes().size(), 1u);
    EXPECT_EQ(U8(ShownBoxes()[0].text),
              "この内容はURLとして開けません。\r\n1行目が http:// または https:// で始まり、"
              "空白や引用符などを含まない場合だけ、ブラウザで開きます。");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, HistoryUrlTest,
    ::testing::Values(
        UrlCase{"Https", "https://example.com/a?b=c", true, "https://example.com/a?b=c"},
        UrlCase{"Http", "http://example.com", true, "http://example.com"},
        UrlCase{"PrefixAlone", "https://", true, "https://"},
        UrlCase{"FollowedByMoreLines", "https://example.com\r\nnotes", true,
                "https://example.com"},
        UrlCase{"LoneLineFeed", "https://example.com/x\n--flag", true, "https://example.com/x"},
        UrlCase{"CapitalLetters", "HTTPS://example.com", false, ""},
        UrlCase{"MixedCase", "Http://example.com", false, ""},
        UrlCase{"SpaceBefore", " https://example.com", false, ""},
        UrlCase{"OneSlash", "https:/example.com", false, ""},
        UrlCase{"OtherScheme", "ftp://example.com", false, ""},
        UrlCase{"FullWidth", "ｈｔｔｐｓ://example.com", false, ""},
        UrlCase{"JapanesePath", "https://ja.example/東京/ｶﾀｶﾅ", true, "https://ja.example/東京/ｶﾀｶﾅ"},
        UrlCase{"BeyondBasicPlane", "https://a.example/\U00020BB7\U0001F600", true,
                "https://a.example/\U00020BB7\U0001F600"}),
    [](const ::testing::TestParamInfo<UrlCase>& info) { return std::string(info.param.name); });

// The prefix fits, but the first line holds something no address holds.
INSTANTIATE_TEST_SUITE_P(
    Refused, HistoryUrlTest,
    ::testing::Values(UrlCase{"Blank", "https://a.example/ --new-window", true, ""},
                      UrlCase{"Tab", "https://a.example/\tx", true, ""},
                      UrlCase{"IdeographicSpace", "https://a.example/　x", true, ""},
                      UrlCase{"NoBreakSpace", "https://a.example/\u00A0x", true, ""},
                      UrlCase{"DoubleQuote", "https://a.example/\" -x", true, ""},
                      UrlCase{"SingleQuote", "https://a.example/'x", true, ""},
                      UrlCase{"TypographicQuote", "https://a.example/\u201Cx\u201D", true, ""},
                      UrlCase{"LessThan", "https://a.example/<script>", true, ""},
                      UrlCase{"Control", "https://a.example/\x01", true, ""},
                      UrlCase{"RightToLeftOverride", "https://a.example/\u202Egpj.exe", true, ""},
                      // Invisible by Unicode's own tables, not by a list of our own.
                      UrlCase{"ArabicLetterMark", "https://a.example/\u061Cx", true, ""},
                      UrlCase{"SoftHyphen", "https://a.ex\u00ADample/", true, ""},
                      UrlCase{"InvisibleTimes", "https://a.example/\u2062x", true, ""},
                      UrlCase{"HangulFiller", "https://a.example/\u3164", true, ""},
                      UrlCase{"VariationSelector", "https://a.example/\uFE0Fx", true, ""},
                      UrlCase{"LanguageTag", "https://a.example/\U000E0001x", true, ""},
                      UrlCase{"MusicalBeam", "https://a.example/\U0001D173x", true, ""}),
    [](const ::testing::TestParamInfo<UrlCase>& info) { return std::string(info.param.name); });

TEST(WebAddressToOpen, RefusesHalfASurrogatePair) {
  EXPECT_FALSE(core::history::WebAddressToOpen(u"https://a.example/\xD842x"));
  EXPECT_FALSE(core::history::WebAddressToOpen(u"https://a.example/\xDFB7"));
}

TEST_F(HistoryCommandsTest, OpenChecksTheCurrentRowAgainAfterTheTableChanged) {
  StartWith({"newest", "https://example.com/"});
  ClickHistoryRow(2);
  ASSERT_TRUE(Form().URL1->Enabled());
  CopyAndTick("not an address");  // the new record moves in above; row 2 is now "newest"
  Form().URL1Click();
  EXPECT_THAT(Opened(), IsEmpty());
}

TEST_F(HistoryCommandsTest, TheExtractTablesCommandsUseItsOwnRowAndItem) {
  StartWith({"https://one.example/", "plain", "https://two.example/"});
  Form().Edt_Serch.SetText(u"example");
  Form().SpeedB_SerchClick();
  ClickHistoryRow(2);  // "plain": URL1 off
  ASSERT_FALSE(Form().URL1->Enabled());
  Form().URL2->SetEnabled(false);
  ClickExtractRow(2);
  EXPECT_TRUE(Form().URL2->Enabled());
  EXPECT_FALSE(Form().URL1->Enabled());
  EXPECT_EQ(Board(), "https://two.example/\r\n");
  Form().URL3Click();
  EXPECT_THAT(Opened(), ElementsAre(u"https://two.example/"));
  Form().N16Click();
  EXPECT_EQ(ClipboardText(), "https://two.example/");
}

TEST_F(HistoryCommandsTest, CopyPutsTheStoredTextOnTheClipboardAndTheMonitorRecordsIt) {
  StartWith({"newest", "a\r\n\r\nb"});
  ClickHistoryRow(2);
  Form().Memo_Board.SetText(u"board text");
  Form().N8Click();
  EXPECT_EQ(ClipboardText(), "a\r\n\r\nb");
  EXPECT_EQ(Board(), "board text");
  Tick();
  EXPECT_THAT(Texts(), ElementsAre("a\r\n\r\nb", "newest", "a\r\n\r\nb"));
}

TEST_F(HistoryCommandsTest, NoToTheClearQuestionChangesNothing) {
  StartWith({"one", "two"});
  const std::string before = LogBytes();
  gui::headless::QueueAnswer(false);
  Form().Img_ClrerClick();
  ASSERT_EQ(ShownBoxes().size(), 1u);
  EXPECT_EQ(ShownBoxes()[0].kind, BoxKind::Question);
  EXPECT_EQ(U8(ShownBoxes()[0].text), "過去の履歴内容を本当にクリアしてよろしいですか?");
  EXPECT_EQ(LogBytes(), before);
  EXPECT_EQ(Form().Log_Cnt, 2);
  EXPECT_THAT(Texts(), ElementsAre("one", "two"));
}

TEST_F(HistoryCommandsTest, YesDeletesTheFileAndEmptiesTheTableButKeepsTheRest) {
  StartWith({"https://one.example/", "two"});
  Form().Edt_Serch.SetText(u"one");
  Form().SpeedB_SerchClick();
  Form().oldStr = u"old";
  gui::headless::QueueAnswer(true);
  Form().Img_ClrerClick();
  EXPECT_FALSE(fs::exists(LogPath()));
  EXPECT_EQ(Form().Log_Cnt, 0);
  EXPECT_EQ(History().RowCount(), 2);
  for (int c = 0; c < 5; ++c) EXPECT_TRUE(History().Cell(c, 1).empty()) << c;
  EXPECT_EQ(U8(History().Cell(1, 0)), "クリップボードの履歴 (過去約一カ月)");
  EXPECT_EQ(Board(), "https://one.example/");
  EXPECT_EQ(U8(Form().oldStr), "old");
  EXPECT_THAT(Column(Extract(), 1), ElementsAre("https://one.example/"));
  ClickExtractRow(1);
  Form().URL3Click();
  EXPECT_THAT(Opened(), ElementsAre(u"https://one.example/"));

  gui::headless::QueueAnswer(true);
  Form().Img_ClrerClick();  // no file now: still fine
  EXPECT_EQ(Form().Log_Cnt, 0);
  Form().WriteHistoryFile();
  EXPECT_EQ(LogBytes(), "");
}

TEST_F(HistoryCommandsTest, ClearingTheClipboardEmptiesBoardAndClipboardAndRecordsNothing) {
  StartWith({"newest"});
  CopyAndTick("secret");
  ASSERT_EQ(Board(), "secret");
  Form().Img_ClipClick();
  EXPECT_EQ(Board(), "");
  EXPECT_EQ(ClipboardText(), "");
  Tick();
  EXPECT_EQ(U8(Form().oldStr), "");
  EXPECT_THAT(Texts(), ElementsAre("secret", "newest"));
}

TEST(BoardRebuild, DropsEmptyLinesAndEndsEachWithCrLf) {
  EXPECT_EQ(core::history::RebuildBoardText({u"a", u"", u" ", u"b", u""}), u"a\r\n \r\nb\r\n");
  EXPECT_EQ(core::history::RebuildBoardText({}), u"");
  EXPECT_EQ(core::history::RebuildBoardText({u"", u""}), u"");
}

}  // namespace
}  // namespace history_test
