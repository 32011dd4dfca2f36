// Prints the text of the main window's board (its multi-line edit box) as UTF-8, so that a
// test can wait until the program has taken a clipboard text.
//
//   boardtext TITLE     exit status 0 when the window and its board were found, 1 otherwise
#include <windows.h>

#include "main_window.h"

#include <cstdio>
#include <string>

namespace {

BOOL CALLBACK match_board(HWND hwnd, LPARAM param) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  if (_wcsicmp(cls, L"Edit") != 0 || (style & ES_MULTILINE) == 0) return TRUE;
  *reinterpret_cast<HWND*>(param) = hwnd;
  return FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: boardtext TITLE\n");
    return 2;
  }
  const std::wstring title = argv[1];
  const HWND window = e2e_tools::FindMainWindow(title);
  if (!window) return 1;
  HWND board = nullptr;
  EnumChildWindows(window, match_board, reinterpret_cast<LPARAM>(&board));
  if (!board) return 1;
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(board, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return 1;
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(board, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 5000, &got))
    return 1;
  text.resize(static_cast<std::size_t>(got));
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
