#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

// An item list from the shell, freed with CoTaskMemFree.
class ItemList {
 public:
  ItemList() = default;
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;
  ~ItemList() {
    if (pidl_) ::CoTaskMemFree(pidl_);
  }
  PIDLIST_ABSOLUTE* Put() { return &pidl_; }
  PCIDLIST_ABSOLUTE get() const { return pidl_; }

 private:
  PIDLIST_ABSOLUTE pidl_ = nullptr;
};

}  // namespace

bool Win32Shell::Open(NativeWindow owner, const core::Text& target) {
  const std::wstring file = Wide(target);
  const HINSTANCE result =
      ::ShellExecuteW(static_cast<HWND>(owner), L"Open", file.c_str(), nullptr, nullptr, SW_SHOW);
  // ShellExecuteW reports success as a value greater than 32 in its HINSTANCE.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

core::Text Win32SpecialFolders::GetDirectoryFromCSIDL(int nFolder) {
  ItemList items;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, nFolder, items.Put())) || !items.get()) {
    return {};
  }
  wchar_t buffer[MAX_PATH] = {};
  if (!::SHGetPathFromIDListW(items.get(), buffer)) return {};
  return FromBuffer(buffer, MAX_PATH);
}

}  // namespace platform::win32
