// The Win32 calls on the program's files, each tried again while another program holds
// the file for a moment (platform/held_file_retry.h). Shared by the file system and the
// settings file, so that both wait alike.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/held_file_retry.h"
#include "platform/win32/win32_handles.h"

namespace platform::win32 {

inline std::uint32_t ErrorOf(BOOL ok) { return ok ? 0 : ::GetLastError(); }

inline bool IsOrdinaryFile(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

// "There is a file at `path` and it is not read-only": access denied on it then comes from
// another program holding it. `path` must outlive the answer.
inline std::function<bool()> OrdinaryFileAt(const std::wstring& path) {
  return [&path] { return IsOrdinaryFile(::GetFileAttributesW(path.c_str())); };
}

// GetFileAttributesW; `error` receives its error when it fails.
inline DWORD AttributesHeld(Clock& clock, const std::wstring& path, std::uint32_t* error = nullptr) {
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  const std::uint32_t last = RetryWhileHeld(clock, [&]() -> std::uint32_t {
    attributes = ::GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : 0;
  });
  if (error) *error = last;
  return attributes;
}

inline UniqueFile CreateFileHeld(Clock& clock, const std::wstring& path, DWORD access, DWORD share,
                                 DWORD disposition, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  UniqueFile file;
  RetryWhileHeld(
      clock,
      [&]() -> std::uint32_t {
        file = UniqueFile(::CreateFileW(path.c_str(), access, share, nullptr, disposition,
                                        attributes, nullptr));
        return file.valid() ? 0 : ::GetLastError();
      },
      OrdinaryFileAt(path));
  return file;
}

inline bool DeleteFileHeld(Clock& clock, const std::wstring& path) {
  return RetryWhileHeld(clock, [&] { return ErrorOf(::DeleteFileW(path.c_str())); },
                        OrdinaryFileAt(path)) == 0;
}

// MoveFileExW over the target. The source stays where it is until a try succeeds, so a
// crash between tries leaves the old target and the whole source, as before the first.
// Access denied may come from either file: the source may be held (a scanner reading the
// file just written) or the target.
inline bool ReplaceFileHeld(Clock& clock, const std::wstring& source, const std::wstring& target) {
  auto bothOrdinary = [&] {
    const DWORD to = ::GetFileAttributesW(target.c_str());
    return IsOrdinaryFile(::GetFileAttributesW(source.c_str())) &&
           (to == INVALID_FILE_ATTRIBUTES || IsOrdinaryFile(to));
  };
  return RetryWhileHeld(
             clock,
             [&] {
               return ErrorOf(::MoveFileExW(source.c_str(), target.c_str(),
                                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
             },
             bothOrdinary) == 0;
}

// CopyFileW. A try that fails leaves no partial destination behind for the next one: the
// system deletes it, and a copy that must not replace (failIfExists) removes what it made.
inline bool CopyFileHeld(Clock& clock, const std::wstring& source, const std::wstring& destination,
                         bool failIfExists) {
  return RetryWhileHeld(
             clock,
             [&]() -> std::uint32_t {
               if (::CopyFileW(source.c_str(), destination.c_str(), failIfExists ? TRUE : FALSE))
                 return 0;
               const std::uint32_t error = ::GetLastError();
               if (failIfExists && error != ERROR_FILE_EXISTS) ::DeleteFileW(destination.c_str());
               return error;
             },
             OrdinaryFileAt(destination)) == 0;
}

}  // namespace platform::win32
