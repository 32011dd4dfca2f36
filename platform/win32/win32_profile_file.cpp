#include <windows.h>

#include "platform/win32/win32_profile_file.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

core::Text Win32ProfileFile::ReadString(const core::Text& section, const core::Text& key,
                                        const core::Text& defaultValue, const core::Text& path) {
  constexpr DWORD kBuffer = 2048;
  wchar_t buffer[kBuffer] = {};
  const std::wstring s = Wide(section), k = Wide(key), d = Wide(defaultValue), p = Wide(path);
  DWORD length = ::GetPrivateProfileStringW(s.c_str(), k.c_str(), d.c_str(), buffer, kBuffer, p.c_str());
  if (length >= kBuffer) length = kBuffer - 1;
  return FromWide(buffer, length);
}

bool Win32ProfileFile::WriteString(const core::Text& section, const core::Text& key,
                                   const core::Text& value, const core::Text& path) {
  const std::wstring s = Wide(section), k = Wide(key), v = Wide(value), p = Wide(path);
  return ::WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), p.c_str()) != FALSE;
}

bool Win32ProfileFile::Flush(const core::Text& path) {
  const std::wstring p = Wide(path);
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, p.c_str());
  return true;
}

}  // namespace platform::win32
