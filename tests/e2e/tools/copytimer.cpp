// Copies every ordinary file of a folder into another with CopyFileW, as the program's
// backup does, and prints the milliseconds it took (for the exit benchmark).
//
//   copytimer FROM_DIR TO_DIR     both ending in a backslash
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: copytimer FROM_DIR\\ TO_DIR\\\n");
    return 2;
  }
  const std::wstring from = argv[1], to = argv[2];
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((from + L"*.*").c_str(), &found);
  int copied = 0;
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const DWORD skip = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
      if ((found.dwFileAttributes & skip) != 0) continue;
      if (!CopyFileW((from + found.cFileName).c_str(), (to + found.cFileName).c_str(), FALSE)) {
        std::fprintf(stderr, "copytimer: copy failed\n");
        FindClose(find);
        return 1;
      }
      ++copied;
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  QueryPerformanceCounter(&end);
  std::printf("%.1f %d\n", 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                               static_cast<double>(frequency.QuadPart), copied);
  return 0;
}
