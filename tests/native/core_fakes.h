// Small stand-ins for the core tests: a case-blind collator, a tiny code page and an
// in-memory file system whose writes can be made to fail.
#pragma once
#include <map>
#include <optional>
#include <string>
#include "core/text.h"
#include "platform/file_system.h"
#include "platform/locale.h"

namespace core_fakes {

using core::Text;
using core::TextView;

// ASCII letters compared without case, everything else by code unit.
class FakeCollator : public platform::Collator {
 public:
  int Compare(TextView a, TextView b) override {
    ++calls;
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
      char16_t x = Fold(a[i]), y = Fold(b[i]);
      if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
  }
  int calls = 0;

 private:
  static char16_t Fold(char16_t u) { return (u >= u'A' && u <= u'Z') ? static_cast<char16_t>(u + (u'a' - u'A')) : u; }
};

// ASCII plus a handful of kanji and kana with their code page 932 bytes; anything else has
// no exact form.
class FakeAnsiCodePage : public platform::AnsiCodePage {
 public:
  unsigned CodePage() const override { return 932; }
  Text Decode(std::string_view bytes) override {
    Text out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      auto b = static_cast<unsigned char>(bytes[i]);
      if (b < 0x80) {
        out += static_cast<char16_t>(b);
        continue;
      }
      char16_t decoded = u'\u30FB';  // "・" for bytes the table does not know
      if (i + 1 < bytes.size()) {
        std::string pair = std::string(bytes.substr(i, 2));
        for (const auto& [ch, sjis] : Table()) {
          if (sjis == pair) decoded = ch;
        }
        ++i;
      }
      out += decoded;
    }
    return out;
  }
  std::optional<std::string> EncodeExact(TextView text) override {
    std::string out;
    for (char16_t u : text) {
      if (u < 0x80) {
        out += static_cast<char>(u);
        continue;
      }
      auto it = Table().find(u);
      if (it == Table().end()) return std::nullopt;
      out += it->second;
    }
    return out;
  }

 private:
  static const std::map<char16_t, std::string>& Table() {
    static const std::map<char16_t, std::string> table{
        {u'あ', "\x82\xA0"}, {u'日', "\x93\xFA"}, {u'本', "\x96\x7B"},
        {u'語', "\x8C\xEA"}, {u'表', "\x95\x5C"}, {u'　', "\x81\x40"}};
    return table;
  }
};

// Files in memory. `failWrites` makes WriteFileAtomic throw before anything is replaced,
// as a full disk would.
class FakeFileSystem : public platform::FileSystem {
 public:
  bool FolderExists(const Text&) override { return true; }
  bool FileExists(const Text& path) override { return files.count(path) != 0; }
  bool CreateFolder(const Text&) override { return true; }
  std::string ReadFile(const Text& path) override {
    auto it = files.find(path);
    if (it == files.end()) throw core::AppError(u"cannot open " + path);
    return it->second;
  }
  void WriteFileAtomic(const Text& path, const std::string& bytes) override {
    ++writes;
    if (failWrites) throw core::AppError(u"disk full: " + path);
    files[path] = bytes;
  }
  bool AppendFile(const Text& path, const std::string& bytes) override {
    ++appends;
    if (failAppends) return false;
    files[path] += bytes;
    return true;
  }
  bool RemoveFile(const Text& path) override { return files.erase(path) != 0; }
  bool CopyFileReplacing(const Text& source, const Text& destination) override {
    auto it = files.find(source);
    if (it == files.end()) return false;
    files[destination] = it->second;
    return true;
  }
  bool ClearReadOnly(const Text& path) override { return files.count(path) != 0; }
  platform::Listing List(const Text&, const Text&) override { return {}; }
  Text ExecutablePath() override { return u"C:\\app\\Soramitsu.exe"; }

  std::map<Text, std::string> files;
  bool failWrites = false;
  bool failAppends = false;
  int writes = 0;
  int appends = 0;
};

}  // namespace core_fakes
