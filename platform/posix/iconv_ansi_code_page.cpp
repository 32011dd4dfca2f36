#include <iconv.h>

#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/posix/posix_services.h"

namespace platform::posix {

// Decoding is a table walk: one table for single bytes, one for lead/trail pairs. Both are
// filled by asking iconv about every byte and pair once, so the hot loop never calls iconv.
struct IconvAnsiCodePage::Tables {
  enum Kind : unsigned char { kSingle, kLead, kInvalid };
  Kind kind[256];
  char16_t single[256];
  std::vector<char16_t> pairs;   // [lead * 256 + trail]; 0 means no character
  std::vector<std::uint32_t> encode;  // per UTF-16 code unit; kNone, a byte, or kPair | lead<<8 | trail
  char16_t defaultChar;
  bool utf8 = false;

  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  static constexpr std::uint32_t kPair = 0x10000u;
};

namespace {

using Tables = IconvAnsiCodePage::Tables;

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() {
    if (ok()) ::iconv_close(cd_);
  }
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts the whole input; errno tells why when it returns false.
  bool Convert(const char* input, std::size_t length, std::string& output) {
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[16];
    char* in = const_cast<char*>(input);
    char* out = buffer;
    std::size_t inLeft = length, outLeft = sizeof buffer;
    std::size_t r = ::iconv(cd_, &in, &inLeft, &out, &outLeft);
    if (r == static_cast<std::size_t>(-1)) return false;
    // A stateful encoding may still want to finish its output.
    if (::iconv(cd_, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) return false;
    output.assign(buffer, static_cast<std::size_t>(out - buffer));
    return inLeft == 0;
  }

 private:
  iconv_t cd_;
};

// One UTF-16LE unit from iconv's output, or 0 when it produced something else.
char16_t SingleUnit(const std::string& utf16le) {
  if (utf16le.size() != 2) return 0;
  return static_cast<char16_t>(static_cast<unsigned char>(utf16le[0]) |
                               (static_cast<unsigned char>(utf16le[1]) << 8));
}

void FillWindows932Gaps(Tables& t) {
  // Bytes Windows maps although glibc's CP932 rejects them.
  const std::pair<unsigned char, char16_t> extra[] = {
      {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}};
  for (auto [byte, unit] : extra) {
    if (t.kind[byte] == Tables::kInvalid) {
      t.kind[byte] = Tables::kSingle;
      t.single[byte] = unit;
    }
  }
}

std::unique_ptr<Tables> BuildTables(unsigned codePage) {
  auto t = std::make_unique<Tables>();
  t->defaultChar = codePage == 932 ? u'\u30FB' : u'?';
  if (codePage == 65001) {
    t->utf8 = true;
    return t;
  }
  const std::string name = "CP" + std::to_string(codePage);
  Converter decoder("UTF-16LE", name.c_str());
  if (!decoder.ok()) {
    throw core::AppError(core::FromUtf8("Code page " + std::to_string(codePage) +
                                        " is not available"));
  }
  t->pairs.assign(256 * 256, 0);
  std::string out;
  for (int b = 0; b < 256; ++b) {
    char byte = static_cast<char>(b);
    t->single[b] = 0;
    bool converted = decoder.Convert(&byte, 1, out);
    int error = errno;
    if (converted && (SingleUnit(out) != 0 || b == 0)) {
      t->kind[b] = Tables::kSingle;
      t->single[b] = SingleUnit(out);
    } else if (!converted && error == EINVAL) {
      t->kind[b] = Tables::kLead;
      for (int trail = 1; trail < 256; ++trail) {
        char pair[2] = {byte, static_cast<char>(trail)};
        if (decoder.Convert(pair, 2, out)) t->pairs[b * 256 + trail] = SingleUnit(out);
      }
    } else {
      t->kind[b] = Tables::kInvalid;
    }
  }
  if (codePage == 932) FillWindows932Gaps(*t);
  return t;
}

void BuildEncodeTable(Tables& t, unsigned codePage) {
  t.encode.assign(65536, Tables::kNone);
  const std::string name = "CP" + std::to_string(codePage);
  Converter encoder(name.c_str(), "UTF-16LE");
  std::string out;
  auto decodesBackTo = [&](const std::string& bytes, char16_t unit) {
    if (bytes.size() == 1) {
      unsigned char b = static_cast<unsigned char>(bytes[0]);
      return t.kind[b] == Tables::kSingle && t.single[b] == unit;
    }
    if (bytes.size() == 2) {
      unsigned char lead = static_cast<unsigned char>(bytes[0]);
      unsigned char trail = static_cast<unsigned char>(bytes[1]);
      return t.kind[lead] == Tables::kLead && t.pairs[lead * 256 + trail] == unit;
    }
    return false;
  };
  if (encoder.ok()) {
    for (std::uint32_t u = 0; u < 0x10000; ++u) {
      if (u >= 0xD800 && u < 0xE000) continue;  // surrogates never stand alone in a code page
      char unit[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
      if (!encoder.Convert(unit, 2, out) || !decodesBackTo(out, static_cast<char16_t>(u))) continue;
      unsigned char b0 = static_cast<unsigned char>(out[0]);
      t.encode[u] = out.size() == 1 ? b0
                                    : (Tables::kPair | (b0 << 8) |
                                       static_cast<unsigned char>(out[1]));
    }
  }
  // Whatever decodes and has no encoding yet round-trips through its first byte form.
  for (int b = 0; b < 256; ++b) {
    if (t.kind[b] == Tables::kSingle && t.encode[t.single[b]] == Tables::kNone) {
      t.encode[t.single[b]] = static_cast<std::uint32_t>(b);
    } else if (t.kind[b] == Tables::kLead) {
      for (int trail = 1; trail < 256; ++trail) {
        char16_t unit = t.pairs[b * 256 + trail];
        if (unit != 0 && t.encode[unit] == Tables::kNone) {
          t.encode[unit] = Tables::kPair | static_cast<std::uint32_t>(b << 8 | trail);
        }
      }
    }
  }
}

std::mutex tablesMutex;

const Tables* TablesFor(unsigned codePage) {
  static std::map<unsigned, std::unique_ptr<Tables>> cache;
  std::lock_guard<std::mutex> lock(tablesMutex);
  auto& slot = cache[codePage];
  if (!slot) slot = BuildTables(codePage);
  return slot.get();
}

bool IsValidTrail(unsigned char trail) { return trail >= 0x40 && trail <= 0xFC && trail != 0x7F; }

}  // namespace

IconvAnsiCodePage::IconvAnsiCodePage(unsigned codePage)
    : codePage_(codePage), tables_(TablesFor(codePage)) {}

core::Text IconvAnsiCodePage::Decode(std::string_view bytes) {
  const Tables& t = *tables_;
  if (t.utf8) return core::FromUtf8(bytes);
  core::Text text(bytes.size(), u'\0');
  char16_t* out = text.data();
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    unsigned char b = *p;
    switch (t.kind[b]) {
      case Tables::kSingle:
        *out++ = t.single[b];
        ++p;
        break;
      case Tables::kLead:
        if (p + 1 < end) {
          char16_t unit = t.pairs[b * 256 + p[1]];
          if (unit != 0) {
            *out++ = unit;
            p += 2;
            break;
          }
          if (IsValidTrail(p[1])) {  // a pair with no character: one replacement for both
            *out++ = t.defaultChar;
            p += 2;
            break;
          }
        }
        // A lead byte without its trail byte: the next byte (a line break, say) stays.
        *out++ = t.defaultChar;
        ++p;
        break;
      default:
        *out++ = t.defaultChar;
        ++p;
        break;
    }
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
  return text;
}

std::optional<std::string> IconvAnsiCodePage::EncodeExact(core::TextView text) {
  Tables& t = const_cast<Tables&>(*tables_);
  if (t.utf8) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      char16_t c = text[i];
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
          text[i + 1] < 0xE000) {
        ++i;
      } else if (c >= 0xD800 && c < 0xE000) {
        return std::nullopt;
      }
    }
    return core::ToUtf8(text);
  }
  {
    std::lock_guard<std::mutex> lock(tablesMutex);
    if (t.encode.empty()) BuildEncodeTable(t, codePage_);
  }
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    std::uint32_t code = t.encode[c];
    if (code == Tables::kNone) return std::nullopt;
    if (code & Tables::kPair) {
      bytes.push_back(static_cast<char>((code >> 8) & 0xFF));
      bytes.push_back(static_cast<char>(code & 0xFF));
    } else {
      bytes.push_back(static_cast<char>(code));
    }
  }
  return bytes;
}

}  // namespace platform::posix
