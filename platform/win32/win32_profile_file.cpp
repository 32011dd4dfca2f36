#include <windows.h>

#include <algorithm>
#include <atomic>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_held_file.h"
#include "platform/win32/win32_profile_file.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

void FlushSystemCache(const std::wstring& path) {
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
}

// The copy's bytes on disk before the rename makes them the file. Best effort: should the
// copy be held open elsewhere, the rename still leaves either the old file or the new one.
void FlushToDisk(Clock& clock, const std::wstring& path) {
  UniqueFile file = CreateFileHeld(clock, path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   OPEN_EXISTING);
  if (file.valid()) ::FlushFileBuffers(file.get());
}

}  // namespace

Win32ProfileFile::Win32ProfileFile() : clock_(ownClock_) {}

Win32ProfileFile::Win32ProfileFile(Clock& clock) : clock_(clock) {}

Win32ProfileFile::~Win32ProfileFile() {
  while (!pending_.empty()) Drop(pending_.back().target);
}

Win32ProfileFile::Pending* Win32ProfileFile::Find(const std::wstring& target) {
  for (Pending& p : pending_) {
    if (p.target == target) return &p;
  }
  return nullptr;
}

Win32ProfileFile::Pending* Win32ProfileFile::Begin(const std::wstring& target) {
  if (Pending* existing = Find(target)) return existing;
  // Values that could not be read would be replaced by defaults: the file stays as it is.
  if (std::find(unread_.begin(), unread_.end(), target) != unread_.end()) return nullptr;
  // A read-only file must refuse the writing, as the system would at the first key.
  const DWORD attributes = AttributesHeld(clock_, target);
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return nullptr;
  static std::atomic<unsigned> counter{0};
  Pending p{target, target + L".tmp" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                        std::to_wstring(counter.fetch_add(1))};
  if (exists && !CopyFileHeld(clock_, target, p.copy, /*failIfExists=*/true)) return nullptr;
  pending_.push_back(std::move(p));
  return &pending_.back();
}

void Win32ProfileFile::Drop(const std::wstring& target) {
  auto it = std::find_if(pending_.begin(), pending_.end(),
                         [&](const Pending& p) { return p.target == target; });
  if (it == pending_.end()) return;
  FlushSystemCache(it->copy);
  DeleteFileHeld(clock_, it->copy);
  pending_.erase(it);
}

core::Text Win32ProfileFile::ReadString(const core::Text& section, const core::Text& key,
                                        const core::Text& defaultValue, const core::Text& path) {
  constexpr DWORD kBuffer = 2048;
  wchar_t buffer[kBuffer] = {};
  const std::wstring s = Wide(section), k = Wide(key), d = Wide(defaultValue);
  const std::wstring target = Wide(path);
  const Pending* pending = Find(target);
  const std::wstring file = pending ? pending->copy : target;
  DWORD length = 0;
  const std::uint32_t error = RetryWhileHeld(
      clock_,
      [&]() -> std::uint32_t {
        // The system reads a file it cannot open like a missing one, with the default and
        // no failure: a hold is seen by opening the file first, as the system will.
        {
          UniqueFile probe(::CreateFileW(file.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
          if (!probe.valid()) {
            const std::uint32_t opened = ::GetLastError();
            if (IsHeldFileError(opened, OrdinaryFileAt(file))) return opened;
          }
        }
        ::SetLastError(0);
        length = ::GetPrivateProfileStringW(s.c_str(), k.c_str(), d.c_str(), buffer, kBuffer,
                                            file.c_str());
        // Taken between the two calls.
        const std::uint32_t read = ::GetLastError();
        return read == kErrorSharingViolation || read == kErrorLockViolation ? read : 0;
      },
      OrdinaryFileAt(file));
  if (error != 0) {
    // Held past the wait: read as the system reads a file it cannot open.
    if (!pending) unread_.push_back(target);
    return defaultValue;
  }
  if (length >= kBuffer) length = kBuffer - 1;
  return FromWide(buffer, length);
}

bool Win32ProfileFile::WriteString(const core::Text& section, const core::Text& key,
                                   const core::Text& value, const core::Text& path) {
  const std::wstring target = Wide(path);
  Pending* p = Begin(target);
  if (!p) return false;
  const std::wstring s = Wide(section), k = Wide(key), v = Wide(value);
  // The copy is new, and a scanner may be reading it: the system's write then waits too.
  const std::wstring& copy = p->copy;
  auto write = [&] {
    return ErrorOf(::WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), copy.c_str()));
  };
  if (RetryWhileHeld(clock_, write, OrdinaryFileAt(copy)) != 0) {
    Drop(target);
    return false;
  }
  return true;
}

bool Win32ProfileFile::Flush(const core::Text& path) {
  const std::wstring target = Wide(path);
  Pending* p = Find(target);
  if (!p) {
    FlushSystemCache(target);
    return true;
  }
  FlushSystemCache(p->copy);
  FlushToDisk(clock_, p->copy);
  const bool ok = ReplaceFileHeld(clock_, p->copy, target);
  Drop(target);  // after a successful rename there is no copy left to delete
  return ok;
}

}  // namespace platform::win32
