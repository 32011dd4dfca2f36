// One copy per folder through the session's named object, and bringing the first copy's
// window to the front, with real windows under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/win32_single_instance.h"
#include "platform_test_support.h"

namespace {

using platform::win32::Win32SingleInstance;

// A top-level window of this thread, minimised, standing for the first copy's main window.
class MinimisedWindow {
 public:
  MinimisedWindow() {
    hwnd_ = ::CreateWindowExW(0, L"STATIC", L"first copy", WS_OVERLAPPEDWINDOW, 100, 100, 400,
                              300, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::ShowWindow(hwnd_, SW_SHOWMINIMIZED);
  }
  ~MinimisedWindow() { ::DestroyWindow(hwnd_); }
  MinimisedWindow(const MinimisedWindow&) = delete;
  MinimisedWindow& operator=(const MinimisedWindow&) = delete;
  HWND get() const { return hwnd_; }

  // Handles this thread's messages until the window is restored (bounded).
  bool WaitRestored() const {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 5000) {
      MSG message;
      while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
      if (!::IsIconic(hwnd_)) return true;
      ::Sleep(20);
    }
    return false;
  }

 private:
  HWND hwnd_ = nullptr;
};

TEST(Win32SingleInstance, FolderFormsThatNameTheSameFolderAreOne) {
  wine_test::TempFolder dir;
  const core::Text folder = dir.Path();
  core::Text lower = folder, noSlash = folder.substr(0, folder.size() - 1);
  for (char16_t& c : lower)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  const core::Text normal = Win32SingleInstance::NormalFolder(folder);
  EXPECT_EQ(Win32SingleInstance::NormalFolder(lower), normal);
  EXPECT_EQ(Win32SingleInstance::NormalFolder(noSlash), normal);
  EXPECT_EQ(Win32SingleInstance::NormalFolder(folder + u"Data\\..\\"), normal);
  EXPECT_EQ(normal.back(), u'\\');
}

TEST(Win32SingleInstance, SecondClaimInTheFolderRaisesTheFirstWindow) {
  wine_test::TempFolder dir, other;
  MinimisedWindow window;
  ASSERT_TRUE(::IsIconic(window.get()));
  {
    Win32SingleInstance first;
    ASSERT_TRUE(first.Claim(dir.Path()));
    first.Publish(window.get());

    core::Text upper = dir.Path();
    ::CharUpperBuffW(reinterpret_cast<wchar_t*>(upper.data()), static_cast<DWORD>(upper.size()));
    Win32SingleInstance second;
    EXPECT_FALSE(second.Claim(upper));
    EXPECT_TRUE(second.ActivateHolder());
    EXPECT_TRUE(window.WaitRestored());
    EXPECT_EQ(::GetForegroundWindow(), window.get());

    Win32SingleInstance elsewhere;
    EXPECT_TRUE(elsewhere.Claim(other.Path()));
  }
  // Once every copy has ended, the folder can be claimed again.
  Win32SingleInstance later;
  EXPECT_TRUE(later.Claim(dir.Path()));
}

}  // namespace
