// Listens to a program as a screen reader does, from a process of its own: the focus
// events and alerts the program raises, each with the role and the name of its object as
// AccessibleObjectFromEvent finds them at that moment.
//
//   readerwatch PID   prints "ready", then one line per event of process PID:
//                       focus ROLE CHILD NAME
//                       alert ROLE CHILD NAME
//                       mark CHILD            (event 0xAFFF: a caller's marker, in order
//                                              with the others)
//                     ROLE is the object's MSAA role number, CHILD the event's child id,
//                     NAME UTF-8 on the rest of the line (line breaks as spaces).
//
// Ends when process PID ends, or after two minutes. Exit status: 0, or 2 (usage, no hook).
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <deque>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kMarkEvent = 0xAFFF;
DWORD watched = 0;

void WriteLine(const std::wstring& line) {
  std::wstring text = line;
  for (wchar_t& c : text)
    if (c == L'\r' || c == L'\n') c = L' ';
  text += L'\n';
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

struct Event {
  DWORD event;
  HWND hwnd;
  LONG object;
  LONG child;
};

void Report(const Event& e) {
  if (e.event == kMarkEvent) {
    WriteLine(L"mark " + std::to_wstring(e.child));
    return;
  }
  long role = -1;
  std::wstring name;
  IAccessible* accessible = nullptr;
  VARIANT self;
  ::VariantInit(&self);
  if (SUCCEEDED(::AccessibleObjectFromEvent(e.hwnd, static_cast<DWORD>(e.object),
                                            static_cast<DWORD>(e.child), &accessible, &self)) &&
      accessible != nullptr) {
    VARIANT value;
    ::VariantInit(&value);
    if (SUCCEEDED(accessible->get_accRole(self, &value)) && value.vt == VT_I4) role = value.lVal;
    ::VariantClear(&value);
    BSTR text = nullptr;
    if (SUCCEEDED(accessible->get_accName(self, &text)) && text != nullptr)
      name.assign(text, ::SysStringLen(text));
    ::SysFreeString(text);
    accessible->Release();
  }
  ::VariantClear(&self);
  WriteLine(std::wstring(e.event == EVENT_SYSTEM_ALERT ? L"alert " : L"focus ") +
            std::to_wstring(role) + L" " + std::to_wstring(e.child) + L" " + name);
}

std::deque<Event> queued;
bool reporting = false;

void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                    DWORD) {
  // Wine delivers other processes' events only to a hook for all of them.
  DWORD process = 0;
  if (hwnd == nullptr || ::GetWindowThreadProcessId(hwnd, &process) == 0 || process != watched)
    return;
  // The calls into the program wait in a message loop, where the next events arrive: they
  // wait their turn, so that the lines keep the events' order.
  queued.push_back({event, hwnd, object, child});
  if (reporting) return;
  reporting = true;
  while (!queued.empty()) {
    const Event next = queued.front();
    queued.pop_front();
    Report(next);
  }
  reporting = false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2 || (watched = static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10))) == 0) {
    std::fwprintf(stderr, L"usage: readerwatch PID\n");
    return 2;
  }
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, watched);
  const DWORD flags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
  HWINEVENTHOOK hooks[] = {
      ::SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr, &Heard, 0, 0, flags),
      ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, &Heard, 0, 0, flags),
      ::SetWinEventHook(kMarkEvent, kMarkEvent, nullptr, &Heard, 0, 0, flags)};
  for (HWINEVENTHOOK hook : hooks)
    if (hook == nullptr) return 2;
  WriteLine(L"ready");

  const ULONGLONG deadline = ::GetTickCount64() + 120000;
  for (ULONGLONG now = ::GetTickCount64(); now < deadline; now = ::GetTickCount64()) {
    const DWORD wait = ::MsgWaitForMultipleObjects(process != nullptr ? 1 : 0, &process, FALSE,
                                                   static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0 && process != nullptr) break;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
  for (HWINEVENTHOOK hook : hooks) ::UnhookWinEvent(hook);
  if (process != nullptr) ::CloseHandle(process);
  ::CoUninitialize();
  return 0;
}
