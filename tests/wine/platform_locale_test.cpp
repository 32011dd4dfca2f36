// CompareStringW and the ANSI code page, as the program sees them on a Japanese system.
#include <gtest/gtest.h>

#include "platform/win32/win32_locale.h"

namespace {

using platform::win32::Win32AnsiCodePage;
using platform::win32::Win32Collator;

TEST(Win32Collator, IgnoresLetterCaseOnly) {
  Win32Collator c;
  EXPECT_EQ(c.Compare(u"abc", u"ABC"), 0);
  EXPECT_EQ(c.Compare(u"Soramitsu", u"sORAMITSU"), 0);
  EXPECT_EQ(c.Compare(u"ｓｏｒａ", u"ＳＯＲＡ"), 0);  // full-width letters fold too
  EXPECT_NE(c.Compare(u"abc", u"ａｂｃ"), 0);        // width is kept
  EXPECT_NE(c.Compare(u"あいう", u"アイウ"), 0);      // kana type is kept
  EXPECT_NE(c.Compare(u"ｱｲｳ", u"アイウ"), 0);        // half-width kana kept apart
  EXPECT_LT(c.Compare(u"a", u"B"), 0);
  EXPECT_GT(c.Compare(u"b", u"A"), 0);
  EXPECT_LT(c.Compare(u"ab", u"abc"), 0);
  EXPECT_GT(c.Compare(u"abc", u""), 0);
}

TEST(Win32Collator, OrdersTheSortKeysOfTheHistoryTable) {
  // Equal-width digit keys with the position suffix the table sort appends.
  Win32Collator c;
  EXPECT_LT(c.Compare(u"79871190\u00010000000001", u"79871191\u00010000000000"), 0);
  EXPECT_LT(c.Compare(u"111111\u00010000000000", u"111111\u00010000000001"), 0);
  EXPECT_LT(c.Compare(u"099999", u"100000"), 0);
}

TEST(Win32AnsiCodePage, IsCodePage932AndRoundTripsJapanese) {
  Win32AnsiCodePage ansi;
  ASSERT_EQ(ansi.CodePage(), 932u) << "run with LANG=ja_JP.UTF-8";
  const core::Text text = u"ソラミツ　保存 abc ｱ ①髙 \r\n";
  std::optional<std::string> bytes = ansi.EncodeExact(text);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(ansi.Decode(*bytes), text);
  EXPECT_EQ(*ansi.EncodeExact(u"あ"), "\x82\xa0");
  EXPECT_EQ(ansi.Decode("\x82\xa0\x88\x9f"), u"あ亜");
  EXPECT_EQ(*ansi.EncodeExact(u""), "");
}

TEST(Win32AnsiCodePage, RefusesCharactersWithoutAnExactForm) {
  Win32AnsiCodePage ansi;
  EXPECT_FALSE(ansi.EncodeExact(u"😀"));
  EXPECT_FALSE(ansi.EncodeExact(u"Ä"));      // best fit would give "A"
  EXPECT_FALSE(ansi.EncodeExact(u"x\u00A5"));  // yen sign: no exact byte
}

}  // namespace
