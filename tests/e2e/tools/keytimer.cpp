// Measures how long the main window leaves a key waiting, by posting characters into its
// search box (WM_CHAR, as a keyboard would) and waiting until the box's text changes.
// A message sent to the window would prove nothing: a thread waiting in a call to another
// process still answers sent messages, but it takes posted input only from its own loop.
//
//   keytimer record TITLE MIB TIMEOUT_MS [paragraph]
//       puts MIB mebibytes of UTF-16 text on the clipboard (this tool owns it: lines of a
//       log, or with "paragraph" one paragraph without a line break) and types
//       into the search box until the board has shown the new text and 3 s more have
//       passed. Prints "LONGEST_WAIT_MS BOARD_MS KEYS": the longest wait for one key,
//       the time until the board changed, and how many keys were taken.
//   keytimer start EXE TITLE TIMEOUT_MS
//       starts EXE and waits until its history table is shown and painted, then types one
//       key. Prints "TABLE_MS KEY_MS", both counted from the process start.
// Exit status: 0 done, 1 not found or timed out, 2 usage.
#include <windows.h>

#include "main_window.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Find {
  bool multiLine;
  bool visibleOnly;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM param) {
  auto* find = reinterpret_cast<Find*>(param);
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  if (_wcsicmp(cls, find->className) != 0) return TRUE;
  if (find->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
  if (_wcsicmp(cls, L"Edit") == 0 &&
      ((GetWindowLongW(hwnd, GWL_STYLE) & ES_MULTILINE) != 0) != find->multiLine)
    return TRUE;
  find->found = hwnd;
  return FALSE;
}

HWND FindChild(HWND window, const wchar_t* className, bool multiLine = false,
               bool visibleOnly = false) {
  Find find{multiLine, visibleOnly, className, nullptr};
  EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

// The length of a window's text, waiting as long as its thread is busy (up to a minute).
long long TextLength(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &length)) return -1;
  return static_cast<long long>(length);
}

// Posts one key into the search box (a character, or a backspace that takes it back) and
// returns the milliseconds until the box's text had changed; -1 on a timeout.
double TypeOneKey(HWND box, bool back, DWORD timeoutMs) {
  const long long before = TextLength(box);
  const double posted = NowMs();
  PostMessageW(box, WM_CHAR, back ? VK_BACK : L'a', 1);
  for (;;) {
    const long long now = TextLength(box);
    if (now != before && now >= 0) return NowMs() - posted;
    if (NowMs() - posted > timeoutMs) return -1;
    Sleep(2);
  }
}

std::wstring BigText(unsigned mebibytes, bool oneParagraph) {
  const std::size_t units = static_cast<std::size_t>(mebibytes) * 1024 * 1024 / 2;
  std::wstring text;
  text.reserve(units);
  wchar_t stamp[64];
  std::swprintf(stamp, 64, L"keytimer %lu ", static_cast<unsigned long>(GetTickCount()));
  text += stamp;
  const std::wstring line = L"ログの一行です。 2024-05-17 09:05:30 INFO request handled in 12 ms "
                            L"(user=42, path=/api/items?page=7)";
  for (unsigned long n = 0; text.size() + line.size() + 12 < units; ++n) {
    text += line;
    text += std::to_wstring(n);
    text += oneParagraph ? L" " : L"\r\n";
  }
  text.append(units - text.size(), L'.');
  return text;
}

bool SetClipboardText(HWND owner, const std::wstring& text) {
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  void* target = GlobalLock(memory);
  std::memcpy(target, text.c_str(), bytes);
  GlobalUnlock(memory);
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (OpenClipboard(owner)) {
      EmptyClipboard();
      const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
      CloseClipboard();
      if (!set) GlobalFree(memory);
      return set;
    }
    Sleep(20);
  }
  GlobalFree(memory);
  return false;
}

int Record(const std::wstring& title, unsigned mebibytes, DWORD timeoutMs, bool oneParagraph) {
  const HWND window = e2e_tools::FindMainWindow(title);
  if (!window) return std::fprintf(stderr, "keytimer: no window\n"), 1;
  const HWND box = FindChild(window, L"Edit");
  const HWND board = FindChild(window, L"Edit", true);
  if (!box || !board) return std::fprintf(stderr, "keytimer: no search box or board\n"), 1;
  const HWND owner = CreateWindowExW(0, L"STATIC", L"keytimer", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                     nullptr, nullptr, nullptr);
  const std::wstring text = BigText(mebibytes, oneParagraph);
  const long long boardBefore = TextLength(board);
  const double start = NowMs();
  if (!SetClipboardText(owner, text)) return std::fprintf(stderr, "keytimer: clipboard\n"), 1;
  double longest = 0, boardMs = -1;
  int keys = 0;
  for (bool back = false;; back = !back) {
    const double waited = TypeOneKey(box, back, timeoutMs);
    if (waited < 0) return std::fprintf(stderr, "keytimer: a key was not taken\n"), 1;
    if (waited > longest) longest = waited;
    ++keys;
    const double now = NowMs();
    if (boardMs < 0 && TextLength(board) != boardBefore) boardMs = now - start;
    if (boardMs >= 0 && now - start > boardMs + 3000) break;
    if (now - start > timeoutMs) return std::fprintf(stderr, "keytimer: the board kept its text\n"), 1;
    Sleep(20);
  }
  std::printf("%.0f %.0f %d\n", longest, boardMs, keys);
  std::fflush(stdout);
  // The clipboard's text goes with this process under Wine: keep it a moment for the
  // program's second read, which the board change may precede.
  Sleep(500);
  return 0;
}

int Start(const std::wstring& exe, const std::wstring& title, DWORD timeoutMs) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  const double start = NowMs();
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return std::fprintf(stderr, "keytimer: cannot start the program\n"), 1;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  HWND window = nullptr, table = nullptr, box = nullptr;
  double tableMs = -1;
  for (;;) {
    if (NowMs() - start > timeoutMs) return std::fprintf(stderr, "keytimer: no table\n"), 1;
    if (!window) window = e2e_tools::FindMainWindow(title);
    // The history table, when it has replaced the splash (the other tables stay hidden).
    if (window) table = FindChild(window, L"SoramitsuCellGrid", false, true);
    if (window && !box) box = FindChild(window, L"Edit");
    // Shown and painted: visible, with nothing left to paint.
    if (table && box && !GetUpdateRect(table, nullptr, FALSE)) {
      tableMs = NowMs() - start;
      break;
    }
    Sleep(5);
  }
  const double waited = TypeOneKey(box, false, timeoutMs);
  if (waited < 0) return std::fprintf(stderr, "keytimer: the key was not taken\n"), 1;
  std::printf("%.0f %.0f\n", tableMs, NowMs() - start);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"record" && (argc == 5 || argc == 6))
    return Record(argv[2], static_cast<unsigned>(std::wcstoul(argv[3], nullptr, 10)),
                  static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)),
                  argc == 6 && std::wstring(argv[5]) == L"paragraph");
  if (command == L"start" && argc == 5)
    return Start(argv[2], argv[3], static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)));
  std::fprintf(stderr,
               "usage: keytimer record TITLE MIB TIMEOUT_MS [paragraph] |\n"
               "       keytimer start EXE TITLE TIMEOUT_MS\n");
  return 2;
}
