#include <windows.h>

#include <algorithm>
#include <atomic>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_profile_file.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

void FlushSystemCache(const std::wstring& path) {
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
}

// The copy's bytes on disk before the rename makes them the file. Best effort: should the
// copy be held open elsewhere, the rename still leaves either the old file or the new one.
void FlushToDisk(const std::wstring& path) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.valid()) ::FlushFileBuffers(file.get());
}

}  // namespace

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
  // A read-only file must refuse the writing, as the system would at the first key.
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return nullptr;
  static std::atomic<unsigned> counter{0};
  Pending p{target, target + L".tmp" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                        std::to_wstring(counter.fetch_add(1))};
  if (exists && !::CopyFileW(target.c_str(), p.copy.c_str(), TRUE)) return nullptr;
  pending_.push_back(std::move(p));
  return &pending_.back();
}

void Win32ProfileFile::Drop(const std::wstring& target) {
  auto it = std::find_if(pending_.begin(), pending_.end(),
                         [&](const Pending& p) { return p.target == target; });
  if (it == pending_.end()) return;
  FlushSystemCache(it->copy);
  ::DeleteFileW(it->copy.c_str());
  pending_.erase(it);
}

core::Text Win32ProfileFile::ReadString(const core::Text& section, const core::Text& key,
                                        const core::Text& defaultValue, const core::Text& path) {
  constexpr DWORD kBuffer = 2048;
  wchar_t buffer[kBuffer] = {};
  const std::wstring s = Wide(section), k = Wide(key), d = Wide(defaultValue);
  std::wstring file = Wide(path);
  if (Pending* p = Find(file)) file = p->copy;
  DWORD length =
      ::GetPrivateProfileStringW(s.c_str(), k.c_str(), d.c_str(), buffer, kBuffer, file.c_str());
  if (length >= kBuffer) length = kBuffer - 1;
  return FromWide(buffer, length);
}

bool Win32ProfileFile::WriteString(const core::Text& section, const core::Text& key,
                                   const core::Text& value, const core::Text& path) {
  const std::wstring target = Wide(path);
  Pending* p = Begin(target);
  if (!p) return false;
  const std::wstring s = Wide(section), k = Wide(key), v = Wide(value);
  if (!::WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), p->copy.c_str())) {
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
  FlushToDisk(p->copy);
  const bool ok = ::MoveFileExW(p->copy.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  Drop(target);  // after a successful rename there is no copy left to delete
  return ok;
}

}  // namespace platform::win32
