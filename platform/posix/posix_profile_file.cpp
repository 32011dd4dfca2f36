#include <algorithm>
#include <optional>
#include <vector>

#include "core/text_file.h"
#include "platform/posix/posix_services.h"

namespace platform::posix {
namespace {

// GetPrivateProfileStringW is called with a 2048-character buffer: 2047 characters and a NUL.
constexpr std::size_t kMaxValue = 2047;

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f' || c == u'\x1A';
}

core::TextView Trim(core::TextView text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(core::TextView a, core::TextView b) {
  return a.size() == b.size() && PosixCollator().Compare(a, b) == 0;
}

// "[name]" after leading blanks; the name runs to the last "]".
std::optional<core::TextView> SectionName(core::TextView line) {
  line = Trim(line);
  if (line.empty() || line.front() != u'[') return std::nullopt;
  std::size_t close = line.rfind(u']');
  if (close == core::TextView::npos) return std::nullopt;
  return line.substr(1, close - 1);
}

// A line of a section is a key, with or without "="; blank lines are no key.
struct KeyLine {
  core::TextView key, value;
};
std::optional<KeyLine> ParseKey(core::TextView line) {
  std::size_t equals = line.find(u'=');
  KeyLine parsed;
  if (equals == core::TextView::npos) {
    parsed.key = Trim(line);
  } else {
    parsed.key = Trim(line.substr(0, equals));
    parsed.value = Trim(line.substr(equals + 1));
  }
  if (parsed.key.empty() && equals == core::TextView::npos) return std::nullopt;
  return parsed;
}

core::Text Limited(core::TextView text) {
  return core::Text(text.substr(0, std::min(text.size(), kMaxValue)));
}

// Quotes around a whole value are dropped, as Windows does.
core::TextView Unquoted(core::TextView value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

struct ProfileDocument {
  std::vector<core::Text> lines;
  core::Encoding encoding = core::Encoding::Ansi;

  // Index of the header line of the first section named `section`, or npos.
  std::size_t FindSection(core::TextView section) const {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      auto name = SectionName(lines[i]);
      if (name && SameName(*name, section)) return i;
    }
    return npos;
  }
  // One past the last line of the section whose header is at `header`.
  std::size_t SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines.size() && !SectionName(lines[i])) ++i;
    return i;
  }
  std::size_t FindKey(std::size_t header, core::TextView key) const {
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
      auto parsed = ParseKey(lines[i]);
      if (parsed && SameName(parsed->key, key)) return i;
    }
    return npos;
  }

  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
};

IconvAnsiCodePage& Ansi() {
  static IconvAnsiCodePage ansi;
  return ansi;
}

// A missing file is an empty profile; a file that exists but cannot be read gives nothing.
std::optional<ProfileDocument> Load(FileSystem& fs, const core::Text& path) {
  ProfileDocument document;
  if (!fs.FileExists(path)) return document;
  try {
    core::DecodedText decoded = core::DecodeFileBytes(fs.ReadFile(path), Ansi());
    document.lines = core::SplitLines(decoded.text);
    document.encoding = decoded.encoding;
  } catch (const core::AppError&) {
    return std::nullopt;
  }
  return document;
}

}  // namespace

core::Text PosixProfileFile::ReadString(const core::Text& section, const core::Text& key,
                                        const core::Text& defaultValue, const core::Text& path) {
  core::TextView fallback = defaultValue;
  while (!fallback.empty() && fallback.back() == u' ') fallback.remove_suffix(1);
  std::optional<ProfileDocument> document = Load(fs_, path);
  if (!document) return Limited(fallback);
  std::size_t header = document->FindSection(section);
  if (header == ProfileDocument::npos) return Limited(fallback);
  std::size_t line = document->FindKey(header, key);
  if (line == ProfileDocument::npos) return Limited(fallback);
  return Limited(Unquoted(ParseKey(document->lines[line])->value));
}

bool PosixProfileFile::WriteString(const core::Text& section, const core::Text& key,
                                   const core::Text& value, const core::Text& path) {
  std::optional<ProfileDocument> document = Load(fs_, path);
  if (!document) return false;
  auto& lines = document->lines;
  std::size_t header = document->FindSection(section);
  if (header == ProfileDocument::npos) {
    lines.push_back(u"[" + section + u"]");
    lines.push_back(key + u"=" + value);
  } else if (std::size_t at = document->FindKey(header, key); at != ProfileDocument::npos) {
    // The key keeps the spelling it has in the file.
    core::Text replaced = core::Text(ParseKey(lines[at])->key) + u"=" + value;
    if (replaced == lines[at]) return true;
    lines[at] = std::move(replaced);
  } else {
    // After the section's last non-blank line, so blank lines stay between the sections.
    std::size_t insertAt = document->SectionEnd(header);
    while (insertAt > header + 1 && Trim(lines[insertAt - 1]).empty()) --insertAt;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), key + u"=" + value);
  }
  core::Text text;
  for (const core::Text& line : lines) {
    text += line;
    text += u"\r\n";
  }
  try {
    fs_.WriteFileAtomic(path, core::EncodeFileText(text, document->encoding, Ansi()));
  } catch (const core::AppError&) {
    return false;
  }
  return true;
}

bool PosixProfileFile::Flush(const core::Text&) {
  // Every write goes straight to the file; there is no cache to write out.
  return true;
}

}  // namespace platform::posix
