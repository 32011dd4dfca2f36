// Posts WM_CLOSE to a main window and prints the milliseconds until its process has ended,
// measured inside one process so that no tool start-up is counted.
//
//   closetimer TITLE TIMEOUT_MS     exit status 0 when the process ended in time
// Prints "MILLISECONDS POSTED_AT" where POSTED_AT is the Unix time in milliseconds of the
// request, so that a test can place the program's file writes on the same time line.
#include <windows.h>

#include "main_window.h"

#include <cstdio>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: closetimer TITLE TIMEOUT_MS\n");
    return 2;
  }
  const std::wstring title = argv[1];
  const DWORD timeout = static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 0));
  const HWND window = e2e_tools::FindMainWindow(title);
  if (!window) {
    std::fprintf(stderr, "closetimer: no such window\n");
    return 1;
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) {
    std::fprintf(stderr, "closetimer: cannot open the process\n");
    return 1;
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  FILETIME posted;
  GetSystemTimeAsFileTime(&posted);
  QueryPerformanceCounter(&start);
  if (!PostMessageW(window, WM_CLOSE, 0, 0)) {
    CloseHandle(process);
    return 1;
  }
  const DWORD waited = WaitForSingleObject(process, timeout);
  QueryPerformanceCounter(&end);
  CloseHandle(process);
  if (waited != WAIT_OBJECT_0) {
    std::fprintf(stderr, "closetimer: the process did not end in time\n");
    return 1;
  }
  const unsigned long long postedTicks =
      (static_cast<unsigned long long>(posted.dwHighDateTime) << 32) | posted.dwLowDateTime;
  const unsigned long long postedUnixMs = (postedTicks - 116444736000000000ULL) / 10000ULL;
  std::printf("%.1f %llu\n",
              1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                  static_cast<double>(frequency.QuadPart),
              postedUnixMs);
  return 0;
}
