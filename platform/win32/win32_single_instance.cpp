#include "platform/win32/win32_single_instance.h"

#include <string>

#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

// What the shared object holds: the first copy's main window, 0 until it exists.
struct SharedState {
  volatile LONG64 window;
};

constexpr DWORD kHolderWaitMs = 10000;  // a holder may still be reading its data files
constexpr DWORD kPollMs = 50;

std::wstring CallWithBuffer(const std::wstring& in,
                            DWORD (*call)(const std::wstring&, wchar_t*, DWORD)) {
  std::wstring out(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD n = call(in, out.data(), static_cast<DWORD>(out.size()));
    if (n == 0) return in;
    if (n < out.size()) {
      out.resize(n);
      return out;
    }
    out.resize(n + 1);
  }
  return in;
}

}  // namespace

Win32SingleInstance::~Win32SingleInstance() {
  if (view_ != nullptr) ::UnmapViewOfFile(view_);
  if (mapping_ != nullptr) ::CloseHandle(mapping_);
}

core::Text Win32SingleInstance::NormalFolder(const core::Text& folder) {
  std::wstring path = CallWithBuffer(Wide(folder), [](const std::wstring& in, wchar_t* out, DWORD size) {
    return ::GetFullPathNameW(in.c_str(), size, out, nullptr);
  });
  // Short (8.3) names name the same folder as their long form.
  path = CallWithBuffer(path, [](const std::wstring& in, wchar_t* out, DWORD size) {
    return ::GetLongPathNameW(in.c_str(), out, size);
  });
  if (path.empty() || path.back() != L'\\') path += L'\\';
  if (!path.empty()) ::CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  return FromWide(path.data(), path.size());
}

bool Win32SingleInstance::Claim(const core::Text& folder) {
  const std::wstring name = Wide(InstanceObjectName(NormalFolder(folder)));
  ::SetLastError(ERROR_SUCCESS);
  mapping_ = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  sizeof(SharedState), name.c_str());
  const DWORD error = ::GetLastError();
  // Without the object nothing can be told apart: this copy runs rather than none.
  if (mapping_ == nullptr) return true;
  view_ = ::MapViewOfFile(mapping_, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(SharedState));
  return error != ERROR_ALREADY_EXISTS;
}

void Win32SingleInstance::Publish(NativeWindow window) {
  if (view_ == nullptr) return;
  auto* state = static_cast<SharedState*>(view_);
  ::InterlockedExchange64(&state->window, static_cast<LONG64>(reinterpret_cast<INT_PTR>(window)));
}

bool Win32SingleInstance::ActivateHolder() {
  if (view_ == nullptr) return false;
  auto* state = static_cast<SharedState*>(view_);
  HWND window = nullptr;
  const DWORD start = ::GetTickCount();
  for (;;) {
    const LONG64 value = ::InterlockedCompareExchange64(&state->window, 0, 0);
    window = reinterpret_cast<HWND>(static_cast<INT_PTR>(value));
    if (window != nullptr && ::IsWindow(window)) break;
    if (::GetTickCount() - start >= kHolderWaitMs) return false;
    ::Sleep(kPollMs);
  }
  DWORD holder = 0;
  ::GetWindowThreadProcessId(window, &holder);
  // This copy was just started by the user, so it may pass the foreground on.
  ::AllowSetForegroundWindow(holder);
  if (::IsIconic(window)) ::ShowWindowAsync(window, SW_RESTORE);
  // An open dialog (the editor, a message box) is what the user has to answer first.
  HWND front = ::GetLastActivePopup(window);
  if (front == nullptr || !::IsWindowVisible(front)) front = window;
  ::SetForegroundWindow(front);
  return true;
}

}  // namespace platform::win32
