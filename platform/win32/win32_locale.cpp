#include <windows.h>

#include <climits>

#include "platform/win32/win32_locale.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

int Length(std::size_t size) {
  if (size > static_cast<std::size_t>(INT_MAX)) {
    throw core::AppError(u"文字列が長すぎて変換できません");
  }
  return static_cast<int>(size);
}

int Ordinal(core::TextView a, core::TextView b) {
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

int Win32Collator::Compare(core::TextView a, core::TextView b) {
  const std::wstring x = Wide(a), y = Wide(b);
  int result = ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, x.data(), Length(x.size()),
                                y.data(), Length(y.size()));
  if (result == 0) return Ordinal(a, b);  // invalid input: fall back to a total order
  return result - CSTR_EQUAL;
}

unsigned Win32AnsiCodePage::CodePage() const { return ::GetACP(); }

core::Text Win32AnsiCodePage::Decode(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = Length(bytes.size());
  int units = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  units = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), units);
  return FromWide(wide.data(), static_cast<std::size_t>(units > 0 ? units : 0));
}

std::optional<std::string> Win32AnsiCodePage::EncodeExact(core::TextView text) {
  if (text.empty()) return std::string();
  const std::wstring wide = Wide(text);
  const int length = Length(wide.size());
  // UTF-8 as the ANSI code page takes neither flags nor a default character.
  const bool utf8 = CodePage() == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultPtr = utf8 ? nullptr : &usedDefault;
  int size = ::WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr,
                                   usedDefaultPtr);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  size = ::WideCharToMultiByte(CP_ACP, flags, wide.data(), length, bytes.data(), size, nullptr,
                               usedDefaultPtr);
  if (size <= 0 || usedDefault) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(size));
  // Some characters convert without a default character and still come back different.
  if (Decode(bytes) != text) return std::nullopt;
  return bytes;
}

}  // namespace platform::win32
