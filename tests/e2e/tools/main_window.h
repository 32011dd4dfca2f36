// Finds a program's main window by its caption, leaving message boxes and dialogs aside.
#pragma once
#include <windows.h>

#include <string>

namespace e2e_tools {

inline HWND FindMainWindow(const std::wstring& title, bool visibleOnly = true) {
  struct Search {
    const std::wstring* title;
    bool visibleOnly;
    HWND found;
  } search{&title, visibleOnly, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (s->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
        wchar_t cls[64] = {};
        GetClassNameW(hwnd, cls, 64);
        if (std::wstring(cls) == L"#32770") return TRUE;
        wchar_t text[256] = {};
        GetWindowTextW(hwnd, text, 256);
        if (*s->title != text) return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace e2e_tools
