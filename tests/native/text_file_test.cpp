#include <gtest/gtest.h>

#include "core/text_file.h"
#include "platform/posix/posix_services.h"
#include "tests/native/core_fakes.h"

namespace {

using core::DecodeFileBytes;
using core::Encoding;
using core::LineBuffer;
using core::Text;

std::vector<Text> Lines(std::initializer_list<Text> items) { return items; }

class TextFileTest : public ::testing::Test {
 protected:
  core_fakes::FakeAnsiCodePage ansi;
  core_fakes::FakeFileSystem files;
};

TEST_F(TextFileTest, EveryBreakFormIsOneBreakAndBecomesCrLf) {
  EXPECT_EQ(core::NormalizeLineBreaks(u"a\r\nb"), u"a\r\nb");
  EXPECT_EQ(core::NormalizeLineBreaks(u"a\rb"), u"a\r\nb");
  EXPECT_EQ(core::NormalizeLineBreaks(u"a\nb"), u"a\r\nb");
  EXPECT_EQ(core::NormalizeLineBreaks(u"a\n\rb"), u"a\r\nb");
  // Pairs are taken from the left: CR LF then a lone CR, LF CR then a lone LF.
  EXPECT_EQ(core::NormalizeLineBreaks(u"a\r\n\rb"), u"a\r\n\r\nb");
  EXPECT_EQ(core::NormalizeLineBreaks(u"a\n\r\nb"), u"a\r\n\r\nb");
  EXPECT_EQ(core::NormalizeLineBreaks(u"\r\r\n\n"), u"\r\n\r\n\r\n");
  EXPECT_EQ(core::NormalizeLineBreaks(u"end\r"), u"end\r\n");
  EXPECT_EQ(core::NormalizeLineBreaks(u""), u"");
}

TEST_F(TextFileTest, InPlaceNormalizingMatchesTheCopy) {
  for (Text sample : {Text(u"plain"), Text(u"a\r\nb\r\n"), Text(u"a\r\nb\nc\n\rd\re"),
                      Text(u"\n"), Text(u"x\r\n\r")}) {
    Text copy = sample;
    core::NormalizeLineBreaksInPlace(copy);
    EXPECT_EQ(copy, core::NormalizeLineBreaks(sample)) << core::ToUtf8(sample);
  }
}

TEST_F(TextFileTest, SplitsAtEveryBreakFormWithoutAnExtraLastLine) {
  EXPECT_EQ(core::SplitLines(u"a\r\nb"), Lines({u"a", u"b"}));
  EXPECT_EQ(core::SplitLines(u"a\rb\r"), Lines({u"a", u"b"}));
  EXPECT_EQ(core::SplitLines(u"a\nb\n"), Lines({u"a", u"b"}));
  EXPECT_EQ(core::SplitLines(u"a\n\rb"), Lines({u"a", u"b"}));
  EXPECT_EQ(core::SplitLines(u"a\r\n\r\nb\r\n"), Lines({u"a", u"", u"b"}));
  EXPECT_EQ(core::SplitLines(u"\r\n"), Lines({u""}));
  EXPECT_TRUE(core::SplitLines(u"").empty());
}

TEST_F(TextFileTest, DetectsEachByteOrderMark) {
  auto utf8 = DecodeFileBytes("\xEF\xBB\xBF\xE6\x97\xA5\n\xF0\x9F\x98\x80", ansi);
  EXPECT_EQ(utf8.encoding, Encoding::Utf8Bom);
  EXPECT_EQ(utf8.text, u"日\r\n\U0001F600");

  auto le = DecodeFileBytes(std::string("\xFF\xFE\xE5\x65\x0D\x00\x41\x00", 8), ansi);
  EXPECT_EQ(le.encoding, Encoding::Utf16LeBom);
  EXPECT_EQ(le.text, u"日\r\nA");

  auto be = DecodeFileBytes(std::string("\xFE\xFF\x65\xE5\x00\x0A\x00\x41\xD8\x3D\xDE\x00", 12), ansi);
  EXPECT_EQ(be.encoding, Encoding::Utf16BeBom);
  EXPECT_EQ(be.text, u"日\r\nA\U0001F600");

  auto plain = DecodeFileBytes("\x93\xFA\x96\x7B\r\nx", ansi);
  EXPECT_EQ(plain.encoding, Encoding::Ansi);
  EXPECT_EQ(plain.text, u"日本\r\nx");
}

TEST_F(TextFileTest, EmptyAndMarkOnlyFiles) {
  EXPECT_EQ(DecodeFileBytes("", ansi).text, u"");
  EXPECT_EQ(DecodeFileBytes("", ansi).encoding, Encoding::Ansi);
  EXPECT_EQ(DecodeFileBytes("\xEF\xBB\xBF", ansi).encoding, Encoding::Utf8Bom);
  EXPECT_EQ(DecodeFileBytes("\xFF\xFE", ansi).text, u"");
  // A UTF-16 file cut off in the middle of a code unit loses only that half unit.
  EXPECT_EQ(DecodeFileBytes(std::string("\xFF\xFE\x41\x00\x42", 5), ansi).text, u"A");
}

// Without a mark: valid UTF-8 with a multi-byte sequence is UTF-8, anything else the code page.
TEST_F(TextFileTest, FilesWithoutAMarkAreUtf8OnlyWhenTheirBytesAreValidUtf8) {
  struct Case {
    const char* name;
    std::string bytes;
    core::Utf8Form form;
  } cases[] = {
      {"ascii", "plain\r\ntext", core::Utf8Form::Ascii},
      {"empty", "", core::Utf8Form::Ascii},
      {"japanese", "\xE6\x97\xA5\xE6\x9C\xAC\r\nx", core::Utf8Form::MultiByte},
      {"two-byte only", "caf\xC3\xA9", core::Utf8Form::MultiByte},
      {"four-byte", "\xF0\x9F\x98\x80", core::Utf8Form::MultiByte},
      {"after a long ascii run", std::string(37, 'a') + "\xE6\x97\xA5" + std::string(9, 'b'),
       core::Utf8Form::MultiByte},
      {"bad byte after a long ascii run", std::string(37, 'a') + "\x82\xA0",
       core::Utf8Form::Invalid},
      {"overlong two-byte", "\xC0\xAF", core::Utf8Form::Invalid},
      {"overlong three-byte", "\xE0\x80\xAF", core::Utf8Form::Invalid},
      {"overlong four-byte", "\xF0\x80\x80\xAF", core::Utf8Form::Invalid},
      {"surrogate", "\xED\xA0\x80", core::Utf8Form::Invalid},
      {"above U+10FFFF", "\xF4\x90\x80\x80", core::Utf8Form::Invalid},
      {"lead byte F5", "\xF5\x80\x80\x80", core::Utf8Form::Invalid},
      {"cut off at the end", "ab\xE6\x97", core::Utf8Form::Invalid},
      {"lone continuation", "a\x80" "b", core::Utf8Form::Invalid},
      {"cp932 hiragana", "\x82\xA0\x82\xA2", core::Utf8Form::Invalid},
      {"cp932 half-width pair", "\xB6\xC0\xB6\xC5", core::Utf8Form::Invalid},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::ClassifyUtf8(c.bytes), c.form) << c.name;
    auto decoded = DecodeFileBytes(c.bytes, ansi);
    if (c.form == core::Utf8Form::MultiByte) {
      EXPECT_EQ(decoded.encoding, Encoding::Utf8Bom) << c.name;
      EXPECT_EQ(decoded.text, core::NormalizeLineBreaks(core::FromUtf8(c.bytes))) << c.name;
    } else {
      EXPECT_EQ(decoded.encoding, Encoding::Ansi) << c.name;
    }
  }
}

TEST_F(TextFileTest, AUtf8FileWithoutMarkIsWrittenBackWithTheMark) {
  files.files[u"Log.dat"] = "\xE6\x97\xA5\xE6\x9C\xAC\nx";
  LineBuffer buffer(files, ansi);
  buffer.LoadFromFile(u"Log.dat");
  EXPECT_EQ(buffer.Lines(), Lines({u"日本", u"x"}));
  EXPECT_EQ(buffer.LastEncoding(), Encoding::Utf8Bom);
  buffer.SaveToFile(u"Log.dat");
  EXPECT_EQ(files.files[u"Log.dat"], "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC\r\nx");
}

TEST_F(TextFileTest, EncodesEachEncodingWithItsMark) {
  EXPECT_EQ(core::EncodeFileText(u"日A", Encoding::Ansi, ansi), "\x93\xFA" "A");
  EXPECT_EQ(core::EncodeFileText(u"日A", Encoding::Utf8Bom, ansi), "\xEF\xBB\xBF\xE6\x97\xA5" "A");
  EXPECT_EQ(core::EncodeFileText(u"日A", Encoding::Utf16LeBom, ansi),
            std::string("\xFF\xFE\xE5\x65\x41\x00", 6));
  EXPECT_EQ(core::EncodeFileText(u"日A", Encoding::Utf16BeBom, ansi),
            std::string("\xFE\xFF\x65\xE5\x00\x41", 6));
  // Encoding writes the text exactly: no break added, none changed.
  EXPECT_EQ(core::EncodeFileText(u"a\r\nb", Encoding::Ansi, ansi), "a\r\nb");
}

TEST_F(TextFileTest, TextsTheCodePageCannotHoldAreWrittenAsUtf8WithAMark) {
  Encoding used = Encoding::Ansi;
  const Text text = u"日本\U0001F600\U00020BB7";
  std::string bytes = core::EncodeFileText(text, Encoding::Ansi, ansi, &used);
  EXPECT_EQ(used, Encoding::Utf8Bom);
  EXPECT_EQ(bytes, "\xEF\xBB\xBF" + core::ToUtf8(text));
  // Nothing turned into "?": the reader gets every character back.
  EXPECT_EQ(DecodeFileBytes(bytes, ansi).text, text);

  core::EncodeFileText(u"日本", Encoding::Ansi, ansi, &used);
  EXPECT_EQ(used, Encoding::Ansi);
}

TEST_F(TextFileTest, LineBufferWritesInTheEncodingItLastRead) {
  files.files[u"le.dat"] = std::string("\xFF\xFE\x41\x00", 4);
  files.files[u"ansi.dat"] = "\x93\xFA";
  LineBuffer buffer(files, ansi);
  buffer.LoadFromFile(u"le.dat");
  EXPECT_EQ(buffer.LastEncoding(), Encoding::Utf16LeBom);
  buffer.SetText(u"B\nC");
  buffer.SaveToFile(u"out.dat");
  EXPECT_EQ(files.files[u"out.dat"], std::string("\xFF\xFE\x42\x00\x0D\x00\x0A\x00\x43\x00", 10));

  buffer.LoadFromFile(u"ansi.dat");
  EXPECT_EQ(buffer.LastEncoding(), Encoding::Ansi);
  EXPECT_EQ(buffer.Lines(), Lines({u"日"}));
  buffer.SaveToFile(u"out.dat");
  EXPECT_EQ(files.files[u"out.dat"], "\x93\xFA");
}

TEST_F(TextFileTest, FallbackDoesNotMoveLaterFittingTextsOutOfTheCodePage) {
  files.files[u"in.dat"] = "x";
  LineBuffer buffer(files, ansi);
  buffer.LoadFromFile(u"in.dat");
  buffer.SetText(u"\U0001F600");
  buffer.SaveToFile(u"a.dat");
  EXPECT_EQ(files.files[u"a.dat"], "\xEF\xBB\xBF\xF0\x9F\x98\x80");
  EXPECT_EQ(buffer.LastEncoding(), Encoding::Ansi);
  buffer.SetText(u"日本");
  buffer.SaveToFile(u"b.dat");
  EXPECT_EQ(files.files[u"b.dat"], "\x93\xFA\x96\x7B");
}

TEST_F(TextFileTest, FailedWriteLeavesTheOldFileAndReachesTheCaller) {
  files.files[u"Log.dat"] = "old";
  LineBuffer buffer(files, ansi);
  buffer.SetText(u"new");
  files.failWrites = true;
  EXPECT_THROW(buffer.SaveToFile(u"Log.dat"), core::AppError);
  EXPECT_EQ(files.files[u"Log.dat"], "old");
}

TEST_F(TextFileTest, MissingFileThrowsAndKeepsTheBuffer) {
  LineBuffer buffer(files, ansi);
  buffer.SetText(u"kept");
  EXPECT_THROW(buffer.LoadFromFile(u"missing.dat"), core::AppError);
  EXPECT_EQ(buffer.GetText(), u"kept");
}

// Bytes a reading replaces or leaves out are kept beside the file before it can be
// rewritten, and each damage is reported once.
TEST_F(TextFileTest, BytesThatCannotBeReadAreKeptOnceBesideTheFile) {
  const std::string cases[] = {std::string("\xEF\xBB\xBF" "ab\xFF" "c"),
                               std::string("\xFF\xFE\x41\x00\x42", 5)};
  for (const std::string& bytes : cases) {
    files.files.clear();
    files.files[u"Log.dat"] = bytes;
    LineBuffer buffer(files, ansi);
    buffer.LoadFromFile(u"Log.dat");
    ASSERT_EQ(buffer.KeptOriginal(), Text(u"Log.dat_元の内容.txt"));
    EXPECT_EQ(files.files[u"Log.dat_元の内容.txt"], bytes);
    buffer.SaveToFile(u"Log.dat");
    files.files[u"Log.dat"] = bytes;  // written again by an older version
    buffer.LoadFromFile(u"Log.dat");
    EXPECT_FALSE(buffer.KeptOriginal());
    files.files[u"Log.dat"] = bytes + "zz";  // another damage later
    buffer.LoadFromFile(u"Log.dat");
    EXPECT_EQ(buffer.KeptOriginal(), Text(u"Log.dat_元の内容 (2).txt"));
    files.failWrites = true;
    files.files[u"Log.dat"] = bytes + "zzzz";
    EXPECT_THROW(buffer.LoadFromFile(u"Log.dat"), core::AppError);
    files.failWrites = false;
  }
}

TEST_F(TextFileTest, VeryLongLinesAreReadWhole) {
  std::string line(300000, 'x');
  files.files[u"long.dat"] = line + "\r\n" + line + "y";
  LineBuffer buffer(files, ansi);
  buffer.LoadFromFile(u"long.dat");
  auto lines = buffer.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 300000u);
  EXPECT_EQ(lines[1].size(), 300001u);
}

// Against the real code page 932 converter.
class Cp932Test : public ::testing::Test {
 protected:
  platform::posix::IconvAnsiCodePage cp932{932};
};

TEST_F(Cp932Test, RoundTripsJapaneseTextByteForByte) {
  const Text text = u"ｶﾀｶﾅ　ひらがな、漢字～①Ⅹ\\~ABC\r\n";
  std::optional<std::string> bytes = cp932.EncodeExact(text);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(bytes->substr(0, 4), "\xB6\xC0\xB6\xC5");  // half-width katakana, one byte each
  Encoding used;
  EXPECT_EQ(core::EncodeFileText(text, Encoding::Ansi, cp932, &used), *bytes);
  EXPECT_EQ(used, Encoding::Ansi);
  auto decoded = DecodeFileBytes(*bytes, cp932);
  EXPECT_EQ(decoded.encoding, Encoding::Ansi);
  EXPECT_EQ(decoded.text, text);
}

TEST_F(Cp932Test, JapaneseCodePageFilesAreStillReadInTheCodePage) {
  const Text text =
      u"\\\\内容\\\\=2024/05/17 09:05:30 79759482909469\r\n"
      u"お世話になっております。株式会社山田の佐藤です。\r\n"
      u"来週の打ち合わせは、５月２１日（火）午後２時から第３会議室で行います。\r\n"
      u"資料：議事録、見積書（ｶﾀｶﾅ表記）、①～③の確認事項\r\n"
      u"東京都千代田区丸の内一丁目　電話０３－１２３４－５６７８\r\n"
      u"よろしくお願いいたします。\r\n";
  std::optional<std::string> bytes = cp932.EncodeExact(text);
  ASSERT_TRUE(bytes.has_value());
  auto decoded = DecodeFileBytes(*bytes, cp932);
  EXPECT_EQ(decoded.encoding, Encoding::Ansi);
  EXPECT_EQ(decoded.text, text);
}

// Every full-width character of the code page, even alone between ASCII, stays code page
// text: none of them is a UTF-8 sequence. Only half-width katakana can pair up as one: a
// lead of C2-DF (ﾂ to ﾟ) followed by A1-BF (｡ to ｿ), 30 x 31 such pairs; a file of nothing
// else besides ASCII would be read as UTF-8.
TEST(Utf8Detection, NoSingleFullWidthCodePageCharacterLooksLikeUtf8) {
  int looksLikeUtf8 = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const std::string bytes = {'a', static_cast<char>(lead), static_cast<char>(trail), '\r', '\n'};
      if (core::ClassifyUtf8(bytes) != core::Utf8Form::Invalid) ++looksLikeUtf8;
    }
  }
  EXPECT_EQ(looksLikeUtf8, 0);

  int halfWidthPairs = 0;
  for (int first = 0xA1; first <= 0xDF; ++first) {
    for (int second = 0xA1; second <= 0xDF; ++second) {
      const std::string bytes = {static_cast<char>(first), static_cast<char>(second)};
      if (core::ClassifyUtf8(bytes) == core::Utf8Form::MultiByte) ++halfWidthPairs;
    }
  }
  EXPECT_EQ(halfWidthPairs, 30 * 31);
}

TEST_F(Cp932Test, EmojiAndRareKanjiFallBackToUtf8) {
  // "ﾃｽ" fits the code page, but its bytes C3 BD would read back as the UTF-8 of "ý".
  for (Text text : {Text(u"笑顔\U0001F600"), Text(u"\U00020BB7野家"), Text(u"é€✓"), Text(u"ﾃｽ")}) {
    Encoding used;
    std::string bytes = core::EncodeFileText(text, Encoding::Ansi, cp932, &used);
    EXPECT_EQ(used, Encoding::Utf8Bom) << core::ToUtf8(text);
    EXPECT_EQ(DecodeFileBytes(bytes, cp932).text, text);
    EXPECT_EQ(bytes.find('?'), std::string::npos);
  }
}

TEST_F(Cp932Test, LineBufferReadsBackWhatItWrote) {
  core_fakes::FakeFileSystem files;
  LineBuffer writer(files, cp932);
  writer.SetText(u"一行目\n二行目\U0001F600\r");
  writer.SaveToFile(u"h.dat");
  LineBuffer reader(files, cp932);
  reader.LoadFromFile(u"h.dat");
  EXPECT_EQ(reader.LastEncoding(), Encoding::Utf8Bom);
  EXPECT_EQ(reader.Lines(), Lines({u"一行目", u"二行目\U0001F600"}));
}

}  // namespace
