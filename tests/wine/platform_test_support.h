// A scratch folder for the platform tests under Wine, removed with everything in it.
#pragma once
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/text.h"

namespace wine_test {

class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, base);
    static unsigned counter = 0;
    path_ = std::filesystem::path(base) /
            (L"soramitsu-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
             std::to_wstring(::GetTickCount()) + L"-" + std::to_wstring(++counter));
    std::filesystem::create_directories(path_);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    // Read-only, hidden and system files would stop the removal.
    for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
      ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(path_, ignored);
  }

  // The folder with a trailing backslash, then `name`.
  core::Text Path(const std::wstring& name = L"") const {
    std::wstring full = path_.wstring() + L"\\" + name;
    return core::Text(full.begin(), full.end());
  }
  std::wstring Wide(const std::wstring& name = L"") const { return path_.wstring() + L"\\" + name; }

  void Put(const std::wstring& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }
  std::string Get(const std::wstring& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path path_;
};

inline std::string Utf8(core::TextView text) { return core::ToUtf8(text); }

}  // namespace wine_test
