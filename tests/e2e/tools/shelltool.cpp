// Reads special folders and shell link files for a test script. Texts are printed as UTF-8.
//
//   shelltool folder CSIDL       prints the special folder's path (0 desktop, 7 Startup)
//   shelltool link LINK_PATH     prints the link's target, then its working directory
//
// Shell32 and Ole32 are loaded at run time: the tools link only user32 and version.
// Exit status: 0 success, 1 failed, 2 usage.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// {00021401-0000-0000-C000-000000000046}, {000214F9-...}, {0000010B-...}
constexpr CLSID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kShellLinkW = {0x000214F9, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

void print_line(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fputc('\n', stdout);
}

int fail(const char* what) {
    std::fprintf(stderr, "shelltool: %s\n", what);
    return 1;
}

template <typename F>
F function(const wchar_t* dll, const char* name) {
    HMODULE module = LoadLibraryW(dll);
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

int print_folder(int csidl) {
    using GetPath = BOOL(WINAPI*)(HWND, LPWSTR, int, BOOL);
    auto get_path = function<GetPath>(L"shell32.dll", "SHGetSpecialFolderPathW");
    if (!get_path) return fail("SHGetSpecialFolderPathW is missing");
    wchar_t path[MAX_PATH] = {};
    if (!get_path(nullptr, path, csidl, FALSE)) return fail("no such special folder");
    print_line(path);
    return 0;
}

int print_link(const wchar_t* link_path) {
    using Initialize = HRESULT(WINAPI*)(LPVOID, DWORD);
    using Create = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    auto initialize = function<Initialize>(L"ole32.dll", "CoInitializeEx");
    auto create = function<Create>(L"ole32.dll", "CoCreateInstance");
    if (!initialize || !create) return fail("ole32 is missing");
    initialize(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    if (FAILED(create(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkW,
                      reinterpret_cast<void**>(&link))))
        return fail("no shell link object");
    IPersistFile* file = nullptr;
    int result = 1;
    if (SUCCEEDED(link->QueryInterface(kPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {};
        if (FAILED(file->Load(link_path, STGM_READ))) {
            result = fail("the link cannot be loaded");
        } else if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_UNCPRIORITY)) ||
                   FAILED(link->GetWorkingDirectory(folder, MAX_PATH))) {
            result = fail("the link cannot be read");
        } else {
            print_line(target);
            print_line(folder);
            result = 0;
        }
        file->Release();
    }
    link->Release();
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"folder") == 0)
        return print_folder(static_cast<int>(std::wcstol(argv[2], nullptr, 0)));
    if (argc == 3 && std::wcscmp(argv[1], L"link") == 0) return print_link(argv[2]);
    std::fprintf(stderr, "usage: shelltool folder CSIDL | link LINK_PATH\n");
    return 2;
}
