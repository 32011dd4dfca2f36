// One copy per folder through two named objects of the session. A mutex is the claim: the
// first copy owns it until it ends (a copy that crashed leaves it abandoned, which the next
// start takes over). A shared-memory object beside it holds what later starts read: the
// first copy's folder and main window, brought to the front, and whether its exit runs,
// which a later start waits out.
//
// The objects are named after the folder's file index, which every path to the folder
// gives alike (Wine reports a volume serial number for each drive letter, so a second
// letter for the same folder reads another one). Folders on two volumes may share an
// index: a start that finds the claim held for a folder whose volume serial number and
// index differ from its own claims under a name made from both.
#pragma once
#include <windows.h>

#include <string>

#include "platform/single_instance.h"

namespace platform::win32 {

class Win32SingleInstance : public SingleInstance {
 public:
  Win32SingleInstance() = default;
  // Destroy it on the thread that made the claim: the mutex belongs to that thread.
  ~Win32SingleInstance() override;
  Win32SingleInstance(const Win32SingleInstance&) = delete;
  Win32SingleInstance& operator=(const Win32SingleInstance&) = delete;

  bool Claim(const core::Text& folder) override;
  void Publish(NativeWindow window) override;
  void SetExiting(bool exiting) override;
  bool ActivateHolder() override;

  // What the object names are first made from: the folder's file index, or NormalFolder()
  // when the folder cannot be opened or its file system gives no index.
  static core::Text FolderKey(const core::Text& folder);
  // The folder as its full long path in upper case (as NTFS compares names).
  static core::Text NormalFolder(const core::Text& folder);

 private:
  bool Open(const core::Text& key);  // false when the claim's mutex cannot be made
  void Close();
  bool ClaimUnder(const core::Text& key);
  bool TakeClaim(DWORD waitMs);
  bool WaitForHolderInItsExit();
  bool HolderInItsExit() const;
  std::wstring HolderFolder() const;

  std::wstring folder_;
  HANDLE claim_ = nullptr;  // the mutex
  bool owned_ = false;
  HANDLE mapping_ = nullptr;
  void* view_ = nullptr;
};

}  // namespace platform::win32
