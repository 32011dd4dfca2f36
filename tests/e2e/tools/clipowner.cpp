// Stands in for other programs on the clipboard. Each line it prints (flushed at once)
// tells a test how far it has come.
//
//   clipowner slow TEXT MS     owns the clipboard with TEXT promised but not given
//                              (SetClipboardData with no data), as spreadsheets and remote
//                              sessions do; renders it only when a program asks, taking MS
//                              milliseconds. Prints "owner", "rendering", "rendered"; ends
//                              when killed or after a minute without a request.
//   clipowner hold MS [TITLE CX CY]
//                              holds the clipboard open for MS milliseconds, as a program
//                              that reads each change does; with TITLE, posts a left click
//                              at client point CX,CY of that window once it holds it.
//                              Prints "held", then "released".
#include <windows.h>

#include "main_window.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

std::wstring g_text;
DWORD g_renderMs = 0;
bool g_rendered = false;

void say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

HGLOBAL text_memory(const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return nullptr;
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  return memory;
}

LRESULT CALLBACK owner_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RENDERFORMAT && wParam == CF_UNICODETEXT) {
    say("rendering");
    Sleep(g_renderMs);
    HGLOBAL memory = text_memory(g_text);
    if (memory && !SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    g_rendered = true;
    say("rendered");
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND make_window() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = owner_proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ClipOwnerStandIn";
  RegisterClassW(&wc);
  return CreateWindowW(L"ClipOwnerStandIn", L"", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
}

// Opens the clipboard for `window`; another program may hold it for a moment.
bool open_clipboard(HWND window) {
  for (int attempt = 0; attempt < 40; ++attempt) {
    if (OpenClipboard(window)) return true;
    Sleep(50);
  }
  return false;
}

int slow(const wchar_t* text, DWORD ms) {
  g_text = text;
  g_renderMs = ms;
  HWND window = make_window();
  if (!window || !open_clipboard(window)) {
    std::fprintf(stderr, "clipowner: cannot open the clipboard\n");
    return 1;
  }
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, nullptr);  // promised: rendered on request
  CloseClipboard();
  say("owner");
  // A message loop for the render request; after it, a minute more for the test to finish.
  ULONGLONG deadline = GetTickCount64() + 60000;
  MSG msg;
  while (GetTickCount64() < deadline) {
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    if (g_rendered) {
      g_rendered = false;
      deadline = GetTickCount64() + 60000;
    }
  }
  return 0;
}

int hold(DWORD ms, int argc, wchar_t** argv) {
  HWND window = make_window();
  // Opened with a window of its own: in Wine two opens without a window both succeed.
  if (!window || !open_clipboard(window)) {
    std::fprintf(stderr, "clipowner: cannot open the clipboard\n");
    return 1;
  }
  say("held");
  if (argc == 6) {
    HWND target = e2e_tools::FindMainWindow(argv[3]);
    if (!target) {
      CloseClipboard();
      std::fprintf(stderr, "clipowner: no window to click\n");
      return 1;
    }
    POINT point{std::wcstol(argv[4], nullptr, 0), std::wcstol(argv[5], nullptr, 0)};
    for (HWND current = target;;) {
      HWND child = ChildWindowFromPointEx(current, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
      if (child == nullptr || child == current) {
        target = current;
        break;
      }
      MapWindowPoints(current, child, &point, 1);
      current = child;
    }
    const LPARAM at = MAKELPARAM(point.x, point.y);
    PostMessageW(target, WM_MOUSEMOVE, 0, at);
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(target, WM_LBUTTONUP, 0, at);
  }
  Sleep(ms);
  CloseClipboard();
  say("released");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && std::wcscmp(argv[1], L"slow") == 0)
    return slow(argv[2], static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 0)));
  if ((argc == 3 || argc == 6) && std::wcscmp(argv[1], L"hold") == 0)
    return hold(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 0)), argc, argv);
  std::fprintf(stderr, "usage: clipowner slow TEXT MS | clipowner hold MS [TITLE CX CY]\n");
  return 2;
}
