// One copy per folder through a named shared-memory object of the session. The first copy
// creates it and writes its main window's handle into it; a later copy finds it existing,
// reads the handle and brings that window to the front. The object goes when the last
// handle to it closes, so a copy that crashed does not block the next start.
#pragma once
#include <windows.h>

#include "platform/single_instance.h"

namespace platform::win32 {

class Win32SingleInstance : public SingleInstance {
 public:
  Win32SingleInstance() = default;
  ~Win32SingleInstance() override;
  Win32SingleInstance(const Win32SingleInstance&) = delete;
  Win32SingleInstance& operator=(const Win32SingleInstance&) = delete;

  // The folder is compared as its full long path in upper case (as NTFS compares names).
  bool Claim(const core::Text& folder) override;
  void Publish(NativeWindow window) override;
  bool ActivateHolder() override;

  // The normal form of a folder that the object name is made from.
  static core::Text NormalFolder(const core::Text& folder);

 private:
  HANDLE mapping_ = nullptr;
  void* view_ = nullptr;
};

}  // namespace platform::win32
