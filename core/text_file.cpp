#include "core/text_file.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace core {

namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

bool IsBreak(char16_t u) { return u == kCr || u == kLf; }

// Length of the line break that starts at text[i] (which is CR or LF): a CR LF or an LF CR
// pair counts as one break, anything else as a lone one.
std::size_t BreakLength(TextView text, std::size_t i) {
  if (i + 1 < text.size()) {
    char16_t here = text[i];
    char16_t next = text[i + 1];
    if ((here == kCr && next == kLf) || (here == kLf && next == kCr)) return 2;
  }
  return 1;
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.size() >= mark.size() && bytes.substr(0, mark.size()) == mark;
}

Text DecodeUtf16(std::string_view bytes, bool bigEndian) {
  // A trailing odd byte is not a whole code unit and is left out.
  const std::size_t count = bytes.size() / 2;
  Text text(count, u'\0');
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t i = 0; i < count; ++i) {
    unsigned first = p[2 * i], second = p[2 * i + 1];
    text[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return text;
}

std::string EncodeUtf16(TextView text, bool bigEndian) {
  std::string bytes;
  bytes.resize(2 + text.size() * 2);
  bytes[0] = static_cast<char>(bigEndian ? 0xFE : 0xFF);
  bytes[1] = static_cast<char>(bigEndian ? 0xFF : 0xFE);
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto high = static_cast<char>(text[i] >> 8);
    auto low = static_cast<char>(text[i] & 0xFF);
    bytes[2 + 2 * i] = bigEndian ? high : low;
    bytes[3 + 2 * i] = bigEndian ? low : high;
  }
  return bytes;
}

std::string EncodeUtf8WithMark(TextView text) { return "\xEF\xBB\xBF" + ToUtf8(text); }

}  // namespace

Utf8Form ClassifyUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  bool multiByte = false;
  std::size_t i = 0;
  while (i < n) {
    // ASCII runs, the bulk of most files, eight bytes at a time.
    while (i + 8 <= n) {
      std::uint64_t word;
      std::memcpy(&word, p + i, 8);
      if (word & 0x8080808080808080ull) break;
      i += 8;
    }
    if (i >= n) break;
    const unsigned char b = p[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    // The allowed range of the second byte excludes overlong forms, surrogates and values
    // above U+10FFFF; the bytes after it are plain continuation bytes.
    std::size_t extra;
    unsigned char low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      extra = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      return Utf8Form::Invalid;
    }
    if (n - i <= extra) return Utf8Form::Invalid;
    if (p[i + 1] < low || p[i + 1] > high) return Utf8Form::Invalid;
    for (std::size_t k = 2; k <= extra; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return Utf8Form::Invalid;
    }
    multiByte = true;
    i += extra + 1;
  }
  return multiByte ? Utf8Form::MultiByte : Utf8Form::Ascii;
}

DecodedText DecodeFileBytes(std::string_view bytes, platform::AnsiCodePage& ansi) {
  DecodedText decoded;
  if (StartsWith(bytes, "\xEF\xBB\xBF")) {
    decoded.encoding = Encoding::Utf8Bom;
    decoded.text = FromUtf8(bytes.substr(3));
    decoded.lossy = ClassifyUtf8(bytes.substr(3)) == Utf8Form::Invalid;
  } else if (StartsWith(bytes, "\xFF\xFE")) {
    decoded.encoding = Encoding::Utf16LeBom;
    decoded.text = DecodeUtf16(bytes.substr(2), false);
    decoded.lossy = bytes.size() % 2 != 0;
  } else if (StartsWith(bytes, "\xFE\xFF")) {
    decoded.encoding = Encoding::Utf16BeBom;
    decoded.text = DecodeUtf16(bytes.substr(2), true);
    decoded.lossy = bytes.size() % 2 != 0;
  } else if (ClassifyUtf8(bytes) == Utf8Form::MultiByte) {
    decoded.encoding = Encoding::Utf8Bom;
    decoded.text = FromUtf8(bytes);
  } else {
    decoded.encoding = Encoding::Ansi;
    decoded.text = ansi.Decode(bytes);
  }
  NormalizeLineBreaksInPlace(decoded.text);
  return decoded;
}

Text NormalizeLineBreaks(TextView text) {
  Text out;
  out.reserve(text.size() + text.size() / 32 + 2);
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    std::size_t runEnd = i;
    while (runEnd < n && !IsBreak(text[runEnd])) ++runEnd;
    out.append(text.data() + i, runEnd - i);
    if (runEnd == n) break;
    out += u"\r\n";
    i = runEnd + BreakLength(text, runEnd);
  }
  return out;
}

void NormalizeLineBreaksInPlace(Text& text) {
  // Most files already break at CR LF only; find the first break that is not one.
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    char16_t u = text[i];
    if (u == kCr && i + 1 < n && text[i + 1] == kLf) {
      ++i;
      continue;
    }
    if (IsBreak(u)) {
      Text rest = NormalizeLineBreaks(TextView(text).substr(i));
      text.resize(i);
      text += rest;
      return;
    }
  }
}

std::vector<Text> SplitLines(TextView text) {
  std::vector<Text> lines;
  lines.reserve(text.size() / 48 + 1);
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    std::size_t runEnd = i;
    while (runEnd < n && !IsBreak(text[runEnd])) ++runEnd;
    lines.emplace_back(text.data() + i, runEnd - i);
    if (runEnd == n) break;
    i = runEnd + BreakLength(text, runEnd);
  }
  return lines;
}

std::string EncodeFileText(TextView text, Encoding wanted, platform::AnsiCodePage& ansi,
                           Encoding* used) {
  Encoding chosen = wanted;
  std::string bytes;
  switch (wanted) {
    case Encoding::Ansi: {
      // The code page cannot hold every character (emoji, many symbols and rare kanji);
      // writing those as "?" would corrupt the data, so such a text goes out as UTF-8 with
      // a byte-order mark, which every reader of these files accepts.
      std::optional<std::string> exact = ansi.EncodeExact(text);
      // Code page bytes that begin like a byte-order mark, or that form valid UTF-8 (half-width
      // katakana such as "ﾃｽ" can), would be read back as another text: those go out as UTF-8
      // with a mark as well.
      if (exact && !StartsWith(*exact, "\xEF\xBB\xBF") && !StartsWith(*exact, "\xFF\xFE") &&
          !StartsWith(*exact, "\xFE\xFF") && ClassifyUtf8(*exact) != Utf8Form::MultiByte) {
        bytes = std::move(*exact);
      } else {
        chosen = Encoding::Utf8Bom;
        bytes = EncodeUtf8WithMark(text);
      }
      break;
    }
    case Encoding::Utf8Bom:
      bytes = EncodeUtf8WithMark(text);
      break;
    case Encoding::Utf16LeBom:
      bytes = EncodeUtf16(text, false);
      break;
    case Encoding::Utf16BeBom:
      bytes = EncodeUtf16(text, true);
      break;
  }
  if (used) *used = chosen;
  return bytes;
}

std::optional<Text> KeepOriginalBytes(platform::FileSystem& fs, const Text& path,
                                      const std::string& bytes) {
  // Not "h*.dat" nor "*.dat": nothing takes the copy for a data file of its own.
  constexpr int kMaxCopies = 100;
  for (int n = 1; n <= kMaxCopies; ++n) {
    const Text kept =
        path + u"_元の内容" + (n == 1 ? Text() : u" (" + IntToText(n) + u")") + u".txt";
    if (!fs.FileExists(kept)) {
      try {
        fs.WriteFileAtomic(kept, bytes);
      } catch (const AppError&) {
        throw AppError(kept + u" に書き込めません");
      }
      return kept;
    }
    try {
      if (fs.ReadFile(kept) == bytes) return std::nullopt;
    } catch (const AppError&) {
      // Unreadable: it stays as it is, and the next name is tried.
    }
  }
  throw AppError(path + u" の元の内容を残すファイルが多すぎます。不要なものを削除してください");
}

Text KeptOriginalNotice(const Text& path, const Text& keptPath) {
  return u"次のファイルには文字として読めない部分があったため、その部分を代わりの文字"
         u"（\uFFFD）に置き換えて読み込みました。\r\n" +
         path + u"\r\n\r\n置き換える前の内容は、次のファイルに残してあります。\r\n" + keptPath;
}

void LineBuffer::LoadFromFile(const Text& path) {
  keptOriginal_.reset();
  std::string bytes = fs_.ReadFile(path);
  DecodedText decoded = DecodeFileBytes(bytes, ansi_);
  // Before the text can be written back over them.
  if (decoded.lossy) keptOriginal_ = KeepOriginalBytes(fs_, path, bytes);
  text_ = std::move(decoded.text);
  encoding_ = decoded.encoding;
}

void LineBuffer::SaveToFile(const Text& path) {
  // The remembered encoding stays what the last read found: a text that needed the UTF-8
  // fallback once does not move later texts that fit the code page out of it.
  std::string bytes = EncodeFileText(text_, encoding_, ansi_);
  fs_.WriteFileAtomic(path, bytes);
}

}  // namespace core
