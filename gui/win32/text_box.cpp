// What the single-line and multi-line text boxes share.
#include <string>

#include "gui/win32/peers.h"

namespace gui::win32 {

std::wstring EditControlText(const gui::Text& text) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r') {
      out += L"\r\n";
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else if (c == u'\n') {
      out += L"\r\n";
    } else {
      out += static_cast<wchar_t>(c);
    }
  }
  return out;
}

gui::Text WindowText(HWND hwnd) {
  const int length = ::GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(hwnd, buffer.data(), length + 1);
  buffer.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return gui::Text(buffer.begin(), buffer.end());
}

bool HandleTextBoxKey(HWND hwnd, UINT message, WPARAM wParam, bool singleLine) {
  const bool control = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (message == WM_KEYDOWN && control && wParam == 'A') {
    ::SendMessageW(hwnd, EM_SETSEL, 0, -1);
    return true;
  }
  // Ctrl+A also arrives as the character 1, which the edit control would beep at.
  if (message == WM_CHAR && wParam == 1) return true;
  if (singleLine && message == WM_CHAR && (wParam == L'\r' || wParam == L'\n')) return true;
  return false;
}

}  // namespace gui::win32
