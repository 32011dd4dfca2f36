// Text is UTF-16: every position and length in the program counts code units.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace core {

using Text = std::u16string;
using TextView = std::u16string_view;

// Conversions used at the edges (tests, file names on POSIX, diagnostics).
// Appends one code point in UTF-8. A lone surrogate half gets the three-byte form of its
// code point, which only an exact round trip of any UTF-16 text needs.
void AppendUtf8(std::string& out, char32_t cp);
std::string ToUtf8(TextView text);
Text FromUtf8(std::string_view utf8);

// Plain decimal without leading zeros, "-" when negative.
Text IntToText(std::int64_t value);
// Decimal with leading zeros to at least `digits` digits ("00000" style formats).
Text ZeroPadded(std::int64_t value, int digits);

// An error whose text is shown to the user by the application's error report.
class AppError : public std::runtime_error {
 public:
  explicit AppError(Text message);
  const Text& message() const noexcept { return message_; }

 private:
  Text message_;
};

// The general error report appends "." when the last code unit sorts above ".".
Text ErrorReportText(TextView message);

}  // namespace core
