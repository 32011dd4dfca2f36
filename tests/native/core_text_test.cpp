#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include "core/text.h"

namespace {

using core::Text;

TEST(Utf8Conversion, RoundTripsJapaneseAndSurrogatePairs) {
  const Text text = u"Aあ日本\U0001F600\U00020BB7z";
  const std::string utf8 = core::ToUtf8(text);
  EXPECT_EQ(utf8, "A\xE3\x81\x82\xE6\x97\xA5\xE6\x9C\xAC\xF0\x9F\x98\x80\xF0\xA0\xAE\xB7z");
  EXPECT_EQ(core::FromUtf8(utf8), text);
}

TEST(Utf8Conversion, MalformedInputBecomesReplacementCharacters) {
  // A stray continuation byte, a truncated sequence and an overlong form.
  EXPECT_EQ(core::FromUtf8("a\x80" "b"), u"a\uFFFDb");
  EXPECT_EQ(core::FromUtf8("a\xE3\x81"), u"a\uFFFD");
  EXPECT_EQ(core::FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(core::FromUtf8("\xE3\x81" "x"), u"\uFFFDx");  // the byte after is kept
  // A lone surrogate has no UTF-8 form.
  EXPECT_EQ(core::ToUtf8(Text(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

TEST(NumberTexts, PlainAndZeroPadded) {
  EXPECT_EQ(core::IntToText(0), u"0");
  EXPECT_EQ(core::IntToText(120), u"120");
  EXPECT_EQ(core::IntToText(-7), u"-7");
  EXPECT_EQ(core::IntToText(std::numeric_limits<std::int64_t>::min()), u"-9223372036854775808");
  EXPECT_EQ(core::ZeroPadded(12, 5), u"00012");
  EXPECT_EQ(core::ZeroPadded(0, 5), u"00000");
  EXPECT_EQ(core::ZeroPadded(123456, 5), u"123456");  // never cut
  EXPECT_EQ(core::ZeroPadded(12, 10), u"0000000012");
  EXPECT_EQ(core::ZeroPadded(-3, 5), u"-00003");
}

TEST(ErrorReportText, DotAddedOnlyAfterCharactersAboveDot) {
  EXPECT_EQ(core::ErrorReportText(u"ファイルを開けません"), u"ファイルを開けません.");
  EXPECT_EQ(core::ErrorReportText(u"abc"), u"abc.");
  EXPECT_EQ(core::ErrorReportText(u"done."), u"done.");
  EXPECT_EQ(core::ErrorReportText(u"why!"), u"why!");   // "!" is below "."
  EXPECT_EQ(core::ErrorReportText(u"a-"), u"a-");       // "-" is below "." too
  EXPECT_EQ(core::ErrorReportText(u"path/"), u"path/.");  // "/" is above "."
  EXPECT_EQ(core::ErrorReportText(u""), u"");
}

TEST(ErrorReportText, AppErrorCarriesItsText) {
  try {
    throw core::AppError(u"読めません");
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "読めません");
    EXPECT_EQ(dynamic_cast<const core::AppError&>(e).message(), u"読めません");
  }
}

}  // namespace
