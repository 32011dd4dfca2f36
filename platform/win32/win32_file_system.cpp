#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "platform/name_pattern.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_held_file.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

const char16_t kCannotRead[] = u" を読み込めません";
const char16_t kCannotWrite[] = u" に書き込めません";

// Chunks stay well below what one ReadFile/WriteFile call takes.
constexpr DWORD kChunk = 1u << 24;

std::wstring TemporaryBeside(const std::wstring& target) {
  static std::atomic<unsigned> counter{0};
  return target + L".tmp" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
         std::to_wstring(counter.fetch_add(1));
}

// A range locked by another program refuses the write until it is unlocked.
bool WriteAll(Clock& clock, HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD part = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kChunk));
    DWORD written = 0;
    const std::uint32_t error = RetryWhileHeld(clock, [&] {
      return ErrorOf(::WriteFile(file, bytes.data() + done, part, &written, nullptr));
    });
    if (error != 0 || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

Win32FileSystem::Win32FileSystem() : clock_(ownClock_) {}

Win32FileSystem::Win32FileSystem(Clock& clock) : clock_(clock) {}

bool Win32FileSystem::FolderExists(const core::Text& path) {
  DWORD attributes = AttributesHeld(clock_, Wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::FileExists(const core::Text& path) {
  std::uint32_t error = 0;
  DWORD attributes = AttributesHeld(clock_, Wide(path), &error);
  // Held past the wait: something is there. Calling it missing would let a caller start
  // afresh over a file it could not read.
  if (attributes == INVALID_FILE_ATTRIBUTES) return IsHeldFileError(error, {});
  return !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::CreateFolder(const core::Text& path) {
  const std::wstring p = Wide(path);
  return ::CreateDirectoryW(p.c_str(), nullptr) != FALSE;
}

std::string Win32FileSystem::ReadFile(const core::Text& path) {
  const std::wstring p = Wide(path);
  UniqueFile file =
      CreateFileHeld(clock_, p, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  if (!file.valid()) throw PathError(path, kCannotRead);
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) throw PathError(path, kCannotRead);
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD part = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kChunk));
    DWORD read = 0;
    // A range locked by another program refuses the read until it is unlocked.
    if (RetryWhileHeld(clock_, [&] {
          return ErrorOf(::ReadFile(file.get(), bytes.data() + done, part, &read, nullptr));
        }) != 0) {
      throw PathError(path, kCannotRead);
    }
    if (read == 0) break;  // the file shrank meanwhile
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

void Win32FileSystem::WriteFileAtomic(const core::Text& path, const std::string& bytes) {
  const std::wstring target = Wide(path);
  // Windows refuses to rename over a read-only file; Wine run as root would not, so the
  // rule is checked here to behave alike everywhere.
  const DWORD old = AttributesHeld(clock_, target);
  if (old != INVALID_FILE_ATTRIBUTES && (old & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    throw PathError(path, kCannotWrite);
  }
  const std::wstring temp = TemporaryBeside(target);
  {
    // The new file keeps the hidden and system marks the user gave the old one.
    const DWORD kept = old == INVALID_FILE_ATTRIBUTES
                           ? 0
                           : old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    UniqueFile file = CreateFileHeld(clock_, temp, GENERIC_WRITE, 0, CREATE_NEW,
                                     kept ? kept : FILE_ATTRIBUTE_NORMAL);
    if (!file.valid()) throw PathError(path, kCannotWrite);
    bool ok = WriteAll(clock_, file.get(), bytes) && ::FlushFileBuffers(file.get());
    ok = file.Close() && ok;
    if (!ok) {
      DeleteFileHeld(clock_, temp);
      throw PathError(path, kCannotWrite);
    }
  }
  // A scanner often opens the new file the moment it is closed, and a sync client may hold
  // the old one: the rename waits for both. The temporary file stays in place between
  // tries and goes only once the rename has failed for good.
  if (!ReplaceFileHeld(clock_, temp, target)) {
    DeleteFileHeld(clock_, temp);
    throw PathError(path, kCannotWrite);
  }
}

bool Win32FileSystem::AppendFile(const core::Text& path, const std::string& bytes) {
  const std::wstring p = Wide(path);
  // FILE_APPEND_DATA alone: every write goes to the end, whatever another handle did. The
  // file may be read or deleted meanwhile (a deleted journal is simply started again).
  UniqueFile file = CreateFileHeld(clock_, p, FILE_APPEND_DATA,
                                   FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_ALWAYS);
  if (!file.valid()) return false;
  bool ok = WriteAll(clock_, file.get(), bytes) && ::FlushFileBuffers(file.get());
  return file.Close() && ok;
}

bool Win32FileSystem::RemoveFile(const core::Text& path) {
  const std::wstring p = Wide(path);
  return DeleteFileHeld(clock_, p);
}

bool Win32FileSystem::CopyFileReplacing(const core::Text& source, const core::Text& destination) {
  const std::wstring from = Wide(source), to = Wide(destination);
  return CopyFileHeld(clock_, from, to, /*failIfExists=*/false);
}

bool Win32FileSystem::ClearReadOnly(const core::Text& path) {
  const std::wstring p = Wide(path);
  const DWORD attributes = AttributesHeld(clock_, Wide(path));
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return false;
  if ((attributes & FILE_ATTRIBUTE_READONLY) == 0) return true;
  // Only the read-only bit goes; hidden, system and archive stay as they are.
  DWORD rest = attributes & ~DWORD{FILE_ATTRIBUTE_READONLY};
  if (rest == 0) rest = FILE_ATTRIBUTE_NORMAL;
  // The file is read-only here, so access denied is final: only a hold is waited for.
  return RetryWhileHeld(clock_, [&] { return ErrorOf(::SetFileAttributesW(p.c_str(), rest)); }) == 0;
}

Listing Win32FileSystem::List(const core::Text& folder, const core::Text& pattern) {
  Listing listing;
  const std::wstring query = Wide(folder) + Wide(pattern);
  WIN32_FIND_DATAW data{};
  UniqueFind find(::FindFirstFileW(query.c_str(), &data));
  if (!find.valid()) {
    listing.complete = ::GetLastError() == ERROR_FILE_NOT_FOUND;
    return listing;
  }
  do {
    core::Text name = FromBuffer(data.cFileName, MAX_PATH);
    if (name == u"." || name == u"..") continue;
    // FindFirstFileW also matches short (8.3) names, so "x.lnk2" can come back for "*.LNK":
    // the long name is checked again.
    if (!MatchesNamePattern(name, pattern)) continue;
    DirEntry entry;
    entry.name = std::move(name);
    entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    entry.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    entry.readOnly = !entry.isFolder && (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    entry.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    listing.entries.push_back(std::move(entry));
  } while (::FindNextFileW(find.get(), &data));
  if (::GetLastError() != ERROR_NO_MORE_FILES) listing.complete = false;
  return listing;
}

core::Text Win32FileSystem::ExecutablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // the path was cut off
  }
}

}  // namespace platform::win32
