#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>

#include "platform/win32/com.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

[[noreturn]] void ThrowComError(const char* what, HRESULT hr) {
  char code[16];
  std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(hr));
  throw core::AppError(u"ショートカットを扱えません（" + core::FromUtf8(what) + u" 0x" +
                       core::FromUtf8(code) + u"）");
}

// A fresh shell link object with the two interfaces the link files need.
struct ShellLinkObject {
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
};

ShellLinkObject CreateShellLink() {
  ComPtr<IUnknown> object;
  HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr,
                                  CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                  object.PutVoid());
  if (FAILED(hr)) ThrowComError("CoCreateInstance", hr);
  ShellLinkObject result;
  hr = object.As(IID_IShellLinkW, result.link);
  if (FAILED(hr)) ThrowComError("IShellLinkW", hr);
  hr = result.link.As(IID_IPersistFile, result.file);
  if (FAILED(hr)) ThrowComError("IPersistFile", hr);
  return result;
}

}  // namespace

bool Win32ShellLinks::CreateLink(const core::Text& target, const core::Text& workingDirectory,
                                 const core::Text& linkPath) {
  ShellLinkObject object = CreateShellLink();
  const std::wstring path = Wide(target), folder = Wide(workingDirectory), link = Wide(linkPath);
  object.link->SetPath(path.c_str());
  object.link->SetWorkingDirectory(folder.c_str());
  return object.file->Save(link.c_str(), FALSE) == S_OK;
}

core::Text Win32ShellLinks::GetLinkTarget(const core::Text& linkPath) {
  ShellLinkObject object = CreateShellLink();
  const std::wstring link = Wide(linkPath);
  if (FAILED(object.file->Load(link.c_str(), STGM_READ))) return {};
  wchar_t buffer[MAX_PATH] = {};
  WIN32_FIND_DATAW findData{};
  if (FAILED(object.link->GetPath(buffer, MAX_PATH, &findData, SLGP_UNCPRIORITY))) return {};
  return FromBuffer(buffer, MAX_PATH);
}

}  // namespace platform::win32
