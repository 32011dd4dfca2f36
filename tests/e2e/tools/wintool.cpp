// Drives a running Windows program from a test script. Texts are printed as UTF-8.
//
//   wintool wait-window TITLE TIMEOUT_MS     wait until a visible main window TITLE exists
//   wintool wait-gone TITLE TIMEOUT_MS       wait until no window TITLE exists any more
//   wintool close TITLE                      post WM_CLOSE
//   wintool close-holding TITLE FILE MS...   open each FILE without sharing, as a virus scanner
//                                            or sync client may, post WM_CLOSE, and let go of
//                                            each FILE MS milliseconds later
//   wintool send TITLE MSG WPARAM LPARAM     SendMessageTimeoutW; prints the result
//   wintool menu TITLE COMMAND_ID            post WM_COMMAND for a menu item
//   wintool client-origin TITLE              prints "X Y WIDTH HEIGHT" of the client area
//   wintool window-rect TITLE                prints "LEFT TOP WIDTH HEIGHT" of the window
//   wintool query-end-session TITLE          WM_QUERYENDSESSION, then WM_ENDSESSION with its answer
//   wintool list-boxes                       prints "box<TAB>caption<TAB>text" per message box
//   wintool wait-box TIMEOUT_MS              wait until a message box is visible
//   wintool press-ok [BUTTON_ID]             press a button (default IDOK) of the message box
//   wintool box-rect                         prints "LEFT TOP WIDTH HEIGHT" of the message box
//   wintool activate-box                     make the message box active, its frame drawn so
//   wintool click TITLE CX CY                left click at client point CX,CY of window TITLE
//   wintool set-text TITLE CX CY TEXT        WM_SETTEXT to the control at client point CX,CY
//   wintool post-chars TITLE CX CY TEXT      post WM_CHAR for each character to that control:
//                                            it takes them only when its thread reads input
//   wintool get-text TITLE CX CY             print that control's text (WM_GETTEXT, answered
//                                            even by a thread waiting inside another call)
//
// Main windows are top-level windows other than dialogs (#32770), so a message box with
// the same caption is never taken for the program's window. Numbers accept 0x prefixes.
// Exit status: 0 success, 1 not found / timed out / failed, 2 usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr UINT kSendTimeoutMs = 10000;

void print_utf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    std::fwrite(out.data(), 1, out.size(), stdout);
}

std::wstring window_text(HWND hwnd) {
    int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
    return text;
}

std::wstring class_name(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

bool is_dialog(HWND hwnd) { return class_name(hwnd) == L"#32770"; }

struct Search {
    std::wstring title;
    bool visible_only;
    HWND found;
};

BOOL CALLBACK match_main(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (search->visible_only && !IsWindowVisible(hwnd)) return TRUE;
    if (is_dialog(hwnd) || window_text(hwnd) != search->title) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND find_main(const std::wstring& title, bool visible_only = true) {
    Search search{title, visible_only, nullptr};
    EnumWindows(match_main, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK collect_boxes(HWND hwnd, LPARAM param) {
    if (IsWindowVisible(hwnd) && is_dialog(hwnd)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> message_boxes() {
    std::vector<HWND> boxes;
    EnumWindows(collect_boxes, reinterpret_cast<LPARAM>(&boxes));
    return boxes;
}

BOOL CALLBACK collect_static_text(HWND hwnd, LPARAM param) {
    auto* text = reinterpret_cast<std::wstring*>(param);
    std::wstring name = class_name(hwnd);
    if (_wcsicmp(name.c_str(), L"Static") == 0) {
        std::wstring part = window_text(hwnd);
        if (!part.empty()) {
            if (!text->empty()) *text += L" ";
            *text += part;
        }
    }
    return TRUE;
}

long long parse_number(const wchar_t* text) { return std::wcstoll(text, nullptr, 0); }

// The innermost visible child window under a client point of `top`; `point` becomes
// relative to that child's client area.
HWND child_at(HWND top, POINT& point) {
    HWND current = top;
    for (;;) {
        HWND child = ChildWindowFromPointEx(current, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (child == nullptr || child == current) return current;
        MapWindowPoints(current, child, &point, 1);
        current = child;
    }
}

bool wait_until(DWORD timeout_ms, bool (*done)(const std::wstring&), const std::wstring& arg) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        if (done(arg)) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(50);
    }
}

int fail(const char* what, const std::wstring& title) {
    std::fprintf(stderr, "wintool: %s: ", what);
    std::fflush(stdout);
    int size = WideCharToMultiByte(CP_UTF8, 0, title.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, title.c_str(), -1, out.data(), size, nullptr, nullptr);
    std::fprintf(stderr, "%s\n", out.c_str());
    return 1;
}

int usage() {
    std::fprintf(stderr,
                 "usage: wintool wait-window|wait-gone TITLE MS | close TITLE | send TITLE MSG W L |\n"
                 "       menu TITLE ID | client-origin TITLE | window-rect TITLE |\n"
                 "       query-end-session TITLE | list-boxes | wait-box MS | press-ok [ID] |\n"
                 "       box-rect | activate-box | click TITLE CX CY | set-text TITLE CX CY TEXT |\n"
                 "       post-chars TITLE CX CY TEXT | get-text TITLE CX CY |\n"
                 "       close-holding TITLE FILE MS [FILE MS]...\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return usage();
    const std::wstring command = argv[1];
    auto need = [&](int count) { return argc == count + 2; };

    if (command == L"wait-window" && need(2)) {
        bool ok = wait_until(static_cast<DWORD>(parse_number(argv[3])),
                             [](const std::wstring& t) { return find_main(t) != nullptr; }, argv[2]);
        if (!ok) return fail("no visible window within the time", argv[2]);
        std::printf("%p\n", static_cast<void*>(find_main(argv[2])));
        return 0;
    }
    if (command == L"wait-gone" && need(2)) {
        bool ok = wait_until(static_cast<DWORD>(parse_number(argv[3])),
                             [](const std::wstring& t) { return find_main(t, false) == nullptr; }, argv[2]);
        return ok ? 0 : fail("window still there", argv[2]);
    }
    if (command == L"wait-box" && need(1)) {
        bool ok = wait_until(static_cast<DWORD>(parse_number(argv[2])),
                             [](const std::wstring&) { return !message_boxes().empty(); }, L"");
        return ok ? 0 : fail("no message box within the time", L"");
    }
    if (command == L"list-boxes" && need(0)) {
        for (HWND box : message_boxes()) {
            std::wstring text;
            EnumChildWindows(box, collect_static_text, reinterpret_cast<LPARAM>(&text));
            std::printf("box\t");
            print_utf8(window_text(box));
            std::printf("\t");
            print_utf8(text);
            std::printf("\n");
        }
        return 0;
    }
    if (command == L"press-ok" && (need(0) || need(1))) {
        const int id = argc == 3 ? static_cast<int>(parse_number(argv[2])) : IDOK;
        std::vector<HWND> boxes = message_boxes();
        if (boxes.empty()) return fail("no message box", L"");
        HWND button = GetDlgItem(boxes.front(), id);
        if (!button) return fail("the message box has no such button", L"");
        PostMessageW(boxes.front(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return 0;
    }

    if (command == L"activate-box" && need(0)) {
        // Under Xvfb without a window manager a box of a program that has no other active
        // window stays inactive, although Windows would activate it: ask for the
        // activation, and have its frame drawn active as well.
        std::vector<HWND> boxes = message_boxes();
        if (boxes.empty()) return fail("no message box", L"");
        SetForegroundWindow(boxes.front());
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(boxes.front(), WM_NCACTIVATE, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &ignored)
                   ? 0
                   : fail("WM_NCACTIVATE was not answered", L"");
    }
    if (command == L"box-rect" && need(0)) {
        std::vector<HWND> boxes = message_boxes();
        RECT frame{};
        if (boxes.empty() || !GetWindowRect(boxes.front(), &frame)) return fail("no message box", L"");
        std::printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
        return 0;
    }

    if (argc < 3) return usage();
    HWND target = find_main(argv[2]);
    if (!target) return fail("no visible window", argv[2]);

    if (command == L"close" && need(1)) {
        return PostMessageW(target, WM_CLOSE, 0, 0) ? 0 : fail("PostMessageW failed", argv[2]);
    }
    if (command == L"close-holding" && argc >= 5 && argc % 2 == 1) {
        struct Hold {
            HANDLE file;
            ULONGLONG until;
        };
        std::vector<Hold> holds;
        for (int i = 3; i + 1 < argc; i += 2) {
            HANDLE file = CreateFileW(argv[i], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) return fail("cannot open the file to hold", argv[i]);
            holds.push_back({file, static_cast<ULONGLONG>(parse_number(argv[i + 1]))});
        }
        const ULONGLONG start = GetTickCount64();
        if (!PostMessageW(target, WM_CLOSE, 0, 0)) return fail("PostMessageW failed", argv[2]);
        for (Hold& hold : holds) hold.until += start;
        for (;;) {
            bool holding = false;
            for (Hold& hold : holds) {
                if (hold.file != nullptr && GetTickCount64() >= hold.until) {
                    CloseHandle(hold.file);
                    hold.file = nullptr;
                }
                holding = holding || hold.file != nullptr;
            }
            if (!holding) return 0;
            Sleep(10);
        }
    }
    if (command == L"menu" && need(2)) {
        const WPARAM id = static_cast<WPARAM>(parse_number(argv[3]));
        // Posted, so that a command that opens a modal window does not block the tool.
        return PostMessageW(target, WM_COMMAND, MAKEWPARAM(id, 0), 0) ? 0 : fail("PostMessageW failed", argv[2]);
    }
    if (command == L"send" && need(4)) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(target, static_cast<UINT>(parse_number(argv[3])),
                                 static_cast<WPARAM>(parse_number(argv[4])), static_cast<LPARAM>(parse_number(argv[5])),
                                 SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
            return fail("SendMessageTimeoutW failed or timed out", argv[2]);
        std::printf("%lld\n", static_cast<long long>(result));
        return 0;
    }
    if (command == L"client-origin" && need(1)) {
        POINT origin{0, 0};
        RECT client{};
        if (!ClientToScreen(target, &origin) || !GetClientRect(target, &client))
            return fail("cannot read the client area", argv[2]);
        std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right - client.left, client.bottom - client.top);
        return 0;
    }
    if (command == L"click" && need(3)) {
        POINT point{static_cast<LONG>(parse_number(argv[3])), static_cast<LONG>(parse_number(argv[4]))};
        HWND child = child_at(target, point);
        const LPARAM at = MAKELPARAM(point.x, point.y);
        // Posted, so that a click that opens a modal window does not block the tool.
        PostMessageW(child, WM_MOUSEMOVE, 0, at);
        PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, at);
        return PostMessageW(child, WM_LBUTTONUP, 0, at) ? 0 : fail("PostMessageW failed", argv[2]);
    }
    if (command == L"set-text" && need(4)) {
        POINT point{static_cast<LONG>(parse_number(argv[3])), static_cast<LONG>(parse_number(argv[4]))};
        HWND child = child_at(target, point);
        // A combo box's edit field lies inside it; the combo box takes the text for it.
        HWND parent = GetParent(child);
        if (parent != nullptr && parent != target && _wcsicmp(class_name(parent).c_str(), L"ComboBox") == 0)
            child = parent;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[5]), SMTO_ABORTIFHUNG,
                                 kSendTimeoutMs, &result))
            return fail("WM_SETTEXT failed or timed out", argv[2]);
        return 0;
    }
    if (command == L"post-chars" && need(4)) {
        POINT point{static_cast<LONG>(parse_number(argv[3])), static_cast<LONG>(parse_number(argv[4]))};
        HWND child = child_at(target, point);
        for (const wchar_t* c = argv[5]; *c; ++c)
            if (!PostMessageW(child, WM_CHAR, static_cast<WPARAM>(*c), 1)) return fail("PostMessageW failed", argv[2]);
        return 0;
    }
    if (command == L"get-text" && need(3)) {
        POINT point{static_cast<LONG>(parse_number(argv[3])), static_cast<LONG>(parse_number(argv[4]))};
        HWND child = child_at(target, point);
        wchar_t text[4096] = {};
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(child, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                                 kSendTimeoutMs, &result))
            return fail("WM_GETTEXT failed or timed out", argv[2]);
        print_utf8(text);
        return 0;
    }
    if (command == L"window-rect" && need(1)) {
        RECT frame{};
        if (!GetWindowRect(target, &frame)) return fail("cannot read the window frame", argv[2]);
        std::printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
        return 0;
    }
    if (command == L"query-end-session" && need(1)) {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(target, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 60000, &answer))
            return fail("WM_QUERYENDSESSION failed or timed out", argv[2]);
        std::printf("%lld\n", static_cast<long long>(answer));
        // As the system does: the session ends only when every program agreed.
        DWORD_PTR ignored = 0;
        if (IsWindow(target))
            SendMessageTimeoutW(target, WM_ENDSESSION, answer ? TRUE : FALSE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                60000, &ignored);
        return 0;
    }
    return usage();
}
