#include "core/settings.h"

#include <limits>

namespace core {

namespace {

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Digits only, at least one; the magnitude stops growing once it is out of range so that
// long inputs cannot overflow.
std::optional<std::int64_t> Magnitude(TextView digits, int base) {
  if (digits.empty()) return std::nullopt;
  constexpr std::int64_t kLimit = std::int64_t{1} << 32;
  std::int64_t value = 0;
  for (char16_t c : digits) {
    const int d = HexDigit(c);
    if (d < 0 || d >= base) return std::nullopt;
    value = value * base + d;
    if (value > kLimit) value = kLimit;
  }
  return value;
}

std::optional<std::int32_t> Fit(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

bool EqualsIgnoringAsciiCase(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

Text SettingsPathFor(TextView exePath) {
  // The extension is what follows the last "." of the file name, not of a folder name.
  const auto nameStart = exePath.find_last_of(u"\\/:");
  const auto dot = exePath.rfind(u'.');
  const bool hasExtension =
      dot != TextView::npos && (nameStart == TextView::npos || dot > nameStart);
  Text path(hasExtension ? exePath.substr(0, dot) : exePath);
  return path + u".ini";
}

std::optional<std::int32_t> ParseProfileInteger(TextView value) {
  if (value.size() >= 3 && value[0] == u'0' && (value[1] == u'x' || value[1] == u'X')) {
    auto m = Magnitude(value.substr(2), 16);
    if (!m) return std::nullopt;
    return Fit(*m);
  }
  std::size_t i = 0;
  while (i < value.size() && value[i] == u' ') ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == u'+' || value[i] == u'-')) {
    negative = value[i] == u'-';
    ++i;
  }
  int base = 10;
  if (i < value.size() && (value[i] == u'$' || value[i] == u'x' || value[i] == u'X')) {
    base = 16;
    ++i;
  }
  auto m = Magnitude(value.substr(i), base);
  if (!m) return std::nullopt;
  return Fit(negative ? -*m : *m);
}

std::optional<bool> ParseProfileBoolean(TextView value) {
  if (auto n = ParseProfileInteger(value)) return *n != 0;
  if (EqualsIgnoringAsciiCase(value, u"true")) return true;
  if (EqualsIgnoringAsciiCase(value, u"false")) return false;
  return std::nullopt;
}

Text ProfileBooleanText(bool value) { return value ? u"-1" : u"0"; }

Text SettingsWriteErrorText(TextView settingsPath) {
  return Text(settingsPath) + u" に書き込めません";
}

}  // namespace core
