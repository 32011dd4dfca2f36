// Handing the program's UTF-16 texts to the W functions and back, and the error texts
// they lead to.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include "core/text.h"

namespace platform::win32 {

// wchar_t is a UTF-16 code unit on Windows; copying keeps the two types apart.
inline std::wstring Wide(core::TextView text) { return std::wstring(text.begin(), text.end()); }

inline core::Text FromWide(const wchar_t* text, std::size_t length) {
  return core::Text(text, text + length);
}

// The text of a fixed buffer up to its first NUL.
inline core::Text FromBuffer(const wchar_t* buffer, std::size_t capacity) {
  std::size_t length = 0;
  while (length < capacity && buffer[length] != L'\0') ++length;
  return FromWide(buffer, length);
}

// "<path> に書き込めません" and the like: the path first, as the settings-file message has it.
inline core::AppError PathError(core::TextView path, core::TextView what) {
  core::Text message(path);
  message += what;
  return core::AppError(std::move(message));
}

}  // namespace platform::win32
