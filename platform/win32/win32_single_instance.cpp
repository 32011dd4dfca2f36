#include "platform/win32/win32_single_instance.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

constexpr DWORD kMaxFolder = 32768;  // the longest path Windows knows, with its end

// What the shared object holds. Written by the copy that owns the claim.
struct SharedState {
  volatile LONG64 window;        // its main window, 0 until it exists
  volatile LONG exiting;         // 1 while its exit sequence runs
  volatile LONG folderLength;    // 0 until `folder` is written
  wchar_t folder[kMaxFolder];    // its folder as it was started from
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

struct Identity {
  DWORD volume;
  std::uint64_t index;
  bool operator==(const Identity&) const = default;
};

std::optional<Identity> ReadIdentity(const std::wstring& folder) {
  // A folder opens only with backup semantics; links and junctions lead to their target.
  UniqueFile handle(::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!handle.valid() || !::GetFileInformationByHandle(handle.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (info.nFileIndexHigh | info.nFileIndexLow) == 0)
    return std::nullopt;
  return Identity{info.dwVolumeSerialNumber,
                  (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

void AppendHex(core::Text& out, std::uint64_t value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out += u"0123456789ABCDEF"[(value >> shift) & 0xF];
}

// No path form can look like these, so a folder named by its path never meets them.
core::Text IndexKey(const Identity& identity) {
  core::Text key = u"FILE ";
  AppendHex(key, identity.index, 16);
  return key;
}

core::Text VolumeKey(const Identity& identity) {
  core::Text key = u"VOLUME ";
  AppendHex(key, identity.volume, 8);
  return key + u" " + IndexKey(identity);
}

std::wstring MutexName(const core::Text& key) { return Wide(InstanceObjectName(key)) + L"-claim"; }

// Whether a copy owns the mutex of `key`, found by taking it for a moment.
bool ClaimHeld(const core::Text& key) {
  HANDLE mutex = ::OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, MutexName(key).c_str());
  if (mutex == nullptr) return false;
  const DWORD result = ::WaitForSingleObject(mutex, 0);
  if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) ::ReleaseMutex(mutex);
  ::CloseHandle(mutex);
  return result == WAIT_TIMEOUT;
}

HWND ReadWindow(const SharedState& state) {
  const LONG64 value = ::InterlockedCompareExchange64(
      const_cast<volatile LONG64*>(&state.window), 0, 0);
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(value));
}

// A message box or dialog of the exit waits for the user: the owner window is disabled
// while it is open, or it is the window's last active popup.
bool AsksTheUser(HWND window) {
  if (window == nullptr || !::IsWindow(window)) return false;
  if (!::IsWindowEnabled(window)) return true;
  HWND popup = ::GetLastActivePopup(window);
  return popup != nullptr && popup != window && ::IsWindowVisible(popup);
}

}  // namespace

Win32SingleInstance::~Win32SingleInstance() { Close(); }

void Win32SingleInstance::Close() {
  if (view_ != nullptr) ::UnmapViewOfFile(view_);
  if (mapping_ != nullptr) ::CloseHandle(mapping_);
  if (owned_) ::ReleaseMutex(claim_);
  if (claim_ != nullptr) ::CloseHandle(claim_);
  view_ = nullptr;
  mapping_ = claim_ = nullptr;
  owned_ = false;
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

core::Text Win32SingleInstance::FolderKey(const core::Text& folder) {
  const std::optional<Identity> identity = ReadIdentity(Wide(folder));
  return identity ? IndexKey(*identity) : NormalFolder(folder);
}

bool Win32SingleInstance::Open(const core::Text& key) {
  claim_ = ::CreateMutexW(nullptr, FALSE, MutexName(key).c_str());
  if (claim_ == nullptr) return false;
  mapping_ = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  sizeof(SharedState), Wide(InstanceObjectName(key)).c_str());
  if (mapping_ != nullptr)
    view_ = ::MapViewOfFile(mapping_, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(SharedState));
  return true;
}

bool Win32SingleInstance::Claim(const core::Text& folder) {
  folder_ = Wide(folder);
  const std::optional<Identity> identity = ReadIdentity(folder_);
  if (!identity) return ClaimUnder(NormalFolder(folder));
  // Without the objects nothing can be told apart: this copy runs rather than none.
  if (!Open(IndexKey(*identity))) return true;
  if (TakeClaim(0)) {
    // A copy of this folder that met another folder's copy here holds the other name.
    if (!ClaimHeld(VolumeKey(*identity))) return true;
    Close();
    return ClaimUnder(VolumeKey(*identity));
  }
  // Both folders are read now, in this process, so that their volumes are told alike.
  const std::wstring holder = HolderFolder();
  const std::optional<Identity> held = holder.empty() ? std::nullopt : ReadIdentity(holder);
  if (held && *held != *identity) {
    Close();
    return ClaimUnder(VolumeKey(*identity));
  }
  return WaitForHolderInItsExit();
}

bool Win32SingleInstance::ClaimUnder(const core::Text& key) {
  if (!Open(key) || TakeClaim(0)) return true;
  return WaitForHolderInItsExit();
}

bool Win32SingleInstance::WaitForHolderInItsExit() {
  // The user may have closed the program and started it again at once: the holder is
  // still writing its files and ends soon, and then this start goes on.
  const DWORD start = ::GetTickCount();
  while (HolderInItsExit() && ::GetTickCount() - start < kHolderExitWaitMs) {
    if (TakeClaim(kPollMs)) return true;
  }
  return false;
}

bool Win32SingleInstance::TakeClaim(DWORD waitMs) {
  const DWORD result = ::WaitForSingleObject(claim_, waitMs);
  if (result == WAIT_TIMEOUT) return false;
  // WAIT_ABANDONED: the holder ended without letting go (a crash); its claim passes on.
  owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
  if (owned_ && view_ != nullptr) {
    // A holder that ended may have left its state behind while a waiting start kept the
    // shared object alive.
    auto* state = static_cast<SharedState*>(view_);
    ::InterlockedExchange64(&state->window, 0);
    ::InterlockedExchange(&state->exiting, 0);
    ::InterlockedExchange(&state->folderLength, 0);
    const DWORD length = static_cast<DWORD>(std::min<size_t>(folder_.size(), kMaxFolder - 1));
    std::copy_n(folder_.data(), length, state->folder);
    ::InterlockedExchange(&state->folderLength, static_cast<LONG>(length));
  }
  // A failed wait tells nothing either: this copy runs.
  return true;
}

std::wstring Win32SingleInstance::HolderFolder() const {
  if (view_ == nullptr) return {};
  const auto* state = static_cast<const SharedState*>(view_);
  const LONG length = ::InterlockedCompareExchange(
      const_cast<volatile LONG*>(&state->folderLength), 0, 0);
  return std::wstring(state->folder, static_cast<size_t>(std::max<LONG>(length, 0)));
}

bool Win32SingleInstance::HolderInItsExit() const {
  if (view_ == nullptr) return false;
  auto* state = static_cast<SharedState*>(view_);
  if (::InterlockedCompareExchange(&state->exiting, 0, 0) == 0) return false;
  // A question during the exit (a write error, whether to leave without saving) may keep
  // the copy running: the user is shown that question instead.
  return !AsksTheUser(ReadWindow(*state));
}

void Win32SingleInstance::Publish(NativeWindow window) {
  if (view_ == nullptr || !owned_) return;
  auto* state = static_cast<SharedState*>(view_);
  ::InterlockedExchange64(&state->window, static_cast<LONG64>(reinterpret_cast<INT_PTR>(window)));
}

void Win32SingleInstance::SetExiting(bool exiting) {
  if (view_ == nullptr || !owned_) return;
  auto* state = static_cast<SharedState*>(view_);
  ::InterlockedExchange(&state->exiting, exiting ? 1 : 0);
}

bool Win32SingleInstance::ActivateHolder() {
  if (view_ == nullptr) return false;
  auto* state = static_cast<SharedState*>(view_);
  HWND window = nullptr;
  const DWORD start = ::GetTickCount();
  for (;;) {
    window = ReadWindow(*state);
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
