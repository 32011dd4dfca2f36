// Reading and writing the program's text files through a line buffer that remembers the
// encoding it found at its last read.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include "core/text.h"
#include "platform/file_system.h"
#include "platform/locale.h"

namespace core {

enum class Encoding { Ansi, Utf8Bom, Utf16LeBom, Utf16BeBom };

struct DecodedText {
  Text text;  // every line break turned into CR LF
  Encoding encoding = Encoding::Ansi;
  // Some bytes could not be read as they stand: invalid UTF-8 after a UTF-8 mark (each such
  // sequence became U+FFFD) or an odd last byte after a UTF-16 mark (left out). Writing the
  // text back would lose them.
  bool lossy = false;
};

// Detects a byte-order mark. Without one, bytes that are valid UTF-8 and hold at least one
// multi-byte sequence are read as UTF-8 (what current text editors save by default) and
// reported as Utf8Bom, so the next write adds the mark; anything else is decoded in the ANSI
// code page. Code page 932 text is practically never valid UTF-8: its kana, punctuation
// and common kanji begin with bytes 81-9F, which UTF-8 never starts a character with. The
// one kind that can pass is a text of ASCII and half-width katakana in which every katakana
// run pairs up as C2-DF then A1-BF (such as "ﾃｽ" alone); it is read as UTF-8.
DecodedText DecodeFileBytes(std::string_view bytes, platform::AnsiCodePage& ansi);

enum class Utf8Form { Ascii, MultiByte, Invalid };
// One pass over the bytes: all ASCII, valid UTF-8 with a multi-byte sequence, or not UTF-8
// (overlong forms, surrogates, values above U+10FFFF and cut-off sequences are invalid).
Utf8Form ClassifyUtf8(std::string_view bytes);

// CR LF, lone CR, lone LF and LF CR each become CR LF.
Text NormalizeLineBreaks(TextView text);
// The same in place; leaves a text that already breaks only at CR LF untouched, without
// copying it (the common case for files this program wrote).
void NormalizeLineBreaksInPlace(Text& text);

// Lines of a text; a final line break does not start an extra empty line.
std::vector<Text> SplitLines(TextView text);

// Encodes for writing. Ansi falls back to UTF-8 with a BOM when the text does not fit the
// code page exactly; `used` tells which encoding was written.
std::string EncodeFileText(TextView text, Encoding wanted, platform::AnsiCodePage& ansi,
                           Encoding* used = nullptr);

// Keeps the bytes of a file that was not read exactly beside it, as
// "<file name>_元の内容.txt" (then " (2)", " (3)" ... for a later, different damage), so
// that rewriting the file loses nothing. Returns the path it wrote, or nothing when an
// identical copy is there already: the user has been told about it once. Throws
// core::AppError when the copy cannot be written.
std::optional<Text> KeepOriginalBytes(platform::FileSystem& fs, const Text& path,
                                      const std::string& bytes);

// The one notice about a file read with replacements, naming the file that keeps its bytes.
Text KeptOriginalNotice(const Text& path, const Text& keptPath);

// The hidden line buffers (Memo_wk, the board, the editor's text box) as file readers.
class LineBuffer {
 public:
  LineBuffer(platform::FileSystem& fs, platform::AnsiCodePage& ansi) : fs_(fs), ansi_(ansi) {}

  // Reads the whole file; throws core::AppError when it cannot be read. A file that cannot
  // be read exactly has its bytes kept first (KeepOriginalBytes); KeptOriginal() then
  // names the new copy until the next read.
  void LoadFromFile(const Text& path);
  // Writes the text (line breaks made CR LF) in the remembered encoding, atomically.
  void SaveToFile(const Text& path);

  const Text& GetText() const { return text_; }
  void SetText(TextView text) { text_ = NormalizeLineBreaks(text); }
  std::vector<Text> Lines() const { return SplitLines(text_); }
  Encoding LastEncoding() const { return encoding_; }
  const std::optional<Text>& KeptOriginal() const { return keptOriginal_; }

 private:
  platform::FileSystem& fs_;
  platform::AnsiCodePage& ansi_;
  Text text_;
  Encoding encoding_ = Encoding::Ansi;
  std::optional<Text> keptOriginal_;
};

}  // namespace core
