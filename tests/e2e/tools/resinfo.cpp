// Lists the resources of a Windows program without running it, one fact a line:
//   bitmap NAME WIDTHxHEIGHT BPP alpha=N   (alpha: pixels whose alpha byte is neither 0 nor 255)
//   icon 1 sizes=16,24,...
//   manifest common-controls-6=yes per-monitor-v2=yes as-invoker=yes
//   version PRODUCT FILEVERSION ORIGINALNAME
// Usage: resinfo PROGRAM.exe
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void print_utf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    std::fwrite(out.data(), 1, out.size(), stdout);
}

struct ModuleOwner {
    HMODULE module = nullptr;
    ~ModuleOwner() {
        if (module) FreeLibrary(module);
    }
};

const void* resource_bytes(HMODULE module, const wchar_t* name, const wchar_t* type, DWORD* size) {
    HRSRC info = FindResourceW(module, name, type);
    if (!info) return nullptr;
    HGLOBAL handle = LoadResource(module, info);
    if (!handle) return nullptr;
    *size = SizeofResource(module, info);
    return LockResource(handle);
}

BOOL CALLBACK list_bitmap(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR) {
    DWORD size = 0;
    auto bytes = static_cast<const unsigned char*>(resource_bytes(module, name, type, &size));
    if (!bytes || size < sizeof(BITMAPINFOHEADER)) return TRUE;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof header);
    long partial = 0;
    if (header.biBitCount == 32 && header.biCompression == BI_RGB) {
        const unsigned char* pixels = bytes + header.biSize;
        long count = header.biWidth * (header.biHeight < 0 ? -header.biHeight : header.biHeight);
        if (header.biSize + static_cast<DWORD>(count) * 4 <= size) {
            for (long i = 0; i < count; ++i) {
                unsigned char a = pixels[i * 4 + 3];
                if (a != 0 && a != 255) ++partial;
            }
        }
    }
    std::printf("bitmap ");
    if (IS_INTRESOURCE(name))
        std::printf("#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    else
        print_utf8(name);
    std::printf(" %ldx%ld %u alpha=%ld\n", header.biWidth, header.biHeight, header.biBitCount, partial);
    return TRUE;
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bit_count;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

void list_icon(HMODULE module) {
    DWORD size = 0;
    auto bytes = static_cast<const unsigned char*>(resource_bytes(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14), &size));
    if (!bytes) {
        std::printf("icon 1 missing\n");
        return;
    }
    GroupIconHeader header;
    std::memcpy(&header, bytes, sizeof header);
    std::printf("icon 1 sizes=");
    for (WORD i = 0; i < header.count; ++i) {
        GroupIconEntry entry;
        std::memcpy(&entry, bytes + sizeof header + i * sizeof entry, sizeof entry);
        std::printf("%s%d", i ? "," : "", entry.width == 0 ? 256 : entry.width);
    }
    std::printf("\n");
}

std::wstring version_value(const std::vector<unsigned char>& block, const wchar_t* key) {
    static const wchar_t* const translations[] = {L"041104B0", L"041104b0", L"040904B0"};
    for (const wchar_t* language : translations) {
        std::wstring path = std::wstring(L"\\StringFileInfo\\") + language + L"\\" + key;
        wchar_t* value = nullptr;
        UINT length = 0;
        if (VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) && value)
            return std::wstring(value, length && value[length - 1] == L'\0' ? length - 1 : length);
    }
    return L"?";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: resinfo PROGRAM.exe\n");
        return 2;
    }
    ModuleOwner owner;
    owner.module = LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!owner.module) {
        std::fprintf(stderr, "resinfo: cannot load (error %lu)\n", GetLastError());
        return 1;
    }
    EnumResourceNamesW(owner.module, MAKEINTRESOURCEW(2), list_bitmap, 0);
    list_icon(owner.module);
    DWORD size = 0;
    auto manifest = static_cast<const char*>(resource_bytes(owner.module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24), &size));
    if (manifest) {
        const std::string text(manifest, size);
        auto has = [&](const char* part) { return text.find(part) != std::string::npos ? "yes" : "no"; };
        std::printf("manifest common-controls-6=%s per-monitor-v2=%s as-invoker=%s\n",
                    has("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), has("PerMonitorV2"),
                    has("level=\"asInvoker\""));
    } else {
        std::printf("manifest missing\n");
    }

    DWORD ignored = 0;
    DWORD info_size = GetFileVersionInfoSizeW(argv[1], &ignored);
    if (info_size == 0) {
        std::printf("version missing\n");
        return 0;
    }
    std::vector<unsigned char> block(info_size);
    if (!GetFileVersionInfoW(argv[1], 0, info_size, block.data())) {
        std::printf("version unreadable\n");
        return 0;
    }
    std::printf("version ");
    print_utf8(version_value(block, L"ProductName"));
    std::printf(" ");
    print_utf8(version_value(block, L"FileVersion"));
    std::printf(" ");
    print_utf8(version_value(block, L"OriginalFilename"));
    std::printf("\n");
    return 0;
}
