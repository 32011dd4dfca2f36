// Tells the state of a program's main windows, for the one-copy-per-folder test.
//
//   winstate TITLE            prints "PID ICONIC FOREGROUND" (0 or 1) per visible main window
//                             TITLE (dialogs aside), one line each
//   winstate minimize TITLE   minimises every such window (SW_MINIMIZE)
//   winstate close-all TITLE  posts WM_CLOSE to every such window
//
// Exit status: 0 success, 1 failed, 2 usage.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<HWND> MainWindows(const std::wstring& title) {
  struct Search {
    const std::wstring* title;
    std::vector<HWND> found;
  } search{&title, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (!IsWindowVisible(hwnd)) return TRUE;
        wchar_t cls[64] = {};
        GetClassNameW(hwnd, cls, 64);
        if (std::wstring(cls) == L"#32770") return TRUE;
        wchar_t text[256] = {};
        GetWindowTextW(hwnd, text, 256);
        if (*s->title == text) s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2) {
    const HWND front = GetForegroundWindow();
    for (HWND hwnd : MainWindows(argv[1])) {
      DWORD pid = 0;
      GetWindowThreadProcessId(hwnd, &pid);
      std::printf("%lu %d %d\n", pid, IsIconic(hwnd) ? 1 : 0, hwnd == front ? 1 : 0);
    }
    return 0;
  }
  if (argc == 3) {
    const std::wstring command = argv[1];
    const std::vector<HWND> windows = MainWindows(argv[2]);
    if (windows.empty()) return 1;
    for (HWND hwnd : windows) {
      if (command == L"minimize") ShowWindowAsync(hwnd, SW_MINIMIZE);
      else if (command == L"close-all") PostMessageW(hwnd, WM_CLOSE, 0, 0);
      else return 2;
    }
    return 0;
  }
  std::fprintf(stderr, "usage: winstate TITLE | minimize TITLE | close-all TITLE\n");
  return 2;
}
