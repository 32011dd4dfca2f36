// Prints the text of the main window's board (its multi-line edit box) as UTF-8, so that a
// test can wait until the program has taken a clipboard text.
//
//   boardtext TITLE     exit status 0 when the window and its board were found, 1 otherwise
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
  const std::wstring* title;
  HWND found;
};

BOOL CALLBACK match_main(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  if (!IsWindowVisible(hwnd) || std::wstring(cls) == L"#32770") return TRUE;
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  if (*search->title != text) return TRUE;
  search->found = hwnd;
  return FALSE;
}

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
  Search search{&title, nullptr};
  EnumWindows(match_main, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return 1;
  HWND board = nullptr;
  EnumChildWindows(search.found, match_board, reinterpret_cast<LPARAM>(&board));
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
