// The input method of text boxes that ask for hiragana: opened in native, full-width
// conversion each time the box gets the focus, so a Japanese user types at once without
// the 半角/全角 key. Without an input method for the keyboard, imm32 gives no context or
// refuses the calls, and nothing changes.
#include <windows.h>

#include <imm.h>

#include "gui/win32/win32_window.h"

namespace gui::win32 {

void ApplyImeMode(HWND hwnd, gui::ImeMode mode) {
  if (mode != gui::ImeMode::Hiragana || hwnd == nullptr) return;
  HIMC context = ::ImmGetContext(hwnd);
  if (context == nullptr) return;
  ::ImmSetOpenStatus(context, TRUE);
  DWORD conversion = 0, sentence = 0;
  if (!::ImmGetConversionStatus(context, &conversion, &sentence)) sentence = IME_SMODE_NONE;
  // Katakana and half-width off, native and full shape on; other flags stay.
  conversion &= ~static_cast<DWORD>(IME_CMODE_KATAKANA);
  conversion |= IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
  ::ImmSetConversionStatus(context, conversion, sentence);
  ::ImmReleaseContext(hwnd, context);
}

bool InputMethodComposing(HWND hwnd) {
  if (hwnd == nullptr) return false;
  HIMC context = ::ImmGetContext(hwnd);
  if (context == nullptr) return false;
  const LONG bytes = ::ImmGetCompositionStringW(context, GCS_COMPSTR, nullptr, 0);
  ::ImmReleaseContext(hwnd, context);
  return bytes > 0;
}

}  // namespace gui::win32
