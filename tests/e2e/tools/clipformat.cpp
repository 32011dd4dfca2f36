// Puts a text on the clipboard together with the registered format
// "ExcludeClipboardContentFromMonitorProcessing", which password managers and similar
// programs add to ask clipboard monitors not to record the text.
// Usage: clipformat TEXT [--plain]   (--plain: the text alone, without the marker format)
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

HGLOBAL global_copy(const void* data, std::size_t bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return nullptr;
    void* target = GlobalLock(memory);
    std::memcpy(target, data, bytes);
    GlobalUnlock(memory);
    return memory;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::wcscmp(argv[2], L"--plain") != 0)) {
        std::fprintf(stderr, "usage: clipformat TEXT [--plain]\n");
        return 2;
    }
    const bool with_marker = argc == 2;
    const UINT marker = RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
    if (marker == 0) {
        std::fprintf(stderr, "clipformat: RegisterClipboardFormatW failed (%lu)\n", GetLastError());
        return 1;
    }

    // Another program may hold the clipboard for a moment: retry for up to two seconds.
    bool opened = false;
    for (int attempt = 0; attempt < 40 && !opened; ++attempt) {
        opened = OpenClipboard(nullptr) != FALSE;
        if (!opened) Sleep(50);
    }
    if (!opened) {
        std::fprintf(stderr, "clipformat: cannot open the clipboard (%lu)\n", GetLastError());
        return 1;
    }
    int status = 0;
    EmptyClipboard();
    const std::size_t text_bytes = (std::wcslen(argv[1]) + 1) * sizeof(wchar_t);
    HGLOBAL text = global_copy(argv[1], text_bytes);
    if (!text || !SetClipboardData(CF_UNICODETEXT, text)) {
        std::fprintf(stderr, "clipformat: cannot set the text (%lu)\n", GetLastError());
        if (text) GlobalFree(text);
        status = 1;
    }
    if (status == 0 && with_marker) {
        const DWORD zero = 0;
        HGLOBAL flag = global_copy(&zero, sizeof zero);
        if (!flag || !SetClipboardData(marker, flag)) {
            std::fprintf(stderr, "clipformat: cannot set the marker format (%lu)\n", GetLastError());
            if (flag) GlobalFree(flag);
            status = 1;
        }
    }
    CloseClipboard();
    return status;
}
