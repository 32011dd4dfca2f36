// One copy per folder through the session's named objects, and bringing the first copy's
// window to the front, with real windows under Wine. The first copy holds its claim on a
// thread of its own, as the claim belongs to the thread that made it.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

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

// The first copy: claims the folder on its own thread, publishes the window, and ends when
// told to or `lifeMs` after its claim, whichever comes first.
class FirstCopy {
 public:
  FirstCopy(const core::Text& folder, HWND window, bool exiting, DWORD lifeMs = 20000)
      : ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        end_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this, folder, window, exiting, lifeMs] {
      Win32SingleInstance instance;
      claimed_ = instance.Claim(folder);
      instance.Publish(window);
      instance.SetExiting(exiting);
      ::SetEvent(ready_);
      ::WaitForSingleObject(end_, lifeMs);
    });
    ::WaitForSingleObject(ready_, 10000);
  }
  ~FirstCopy() {
    ::SetEvent(end_);
    thread_.join();
    ::CloseHandle(ready_);
    ::CloseHandle(end_);
  }
  FirstCopy(const FirstCopy&) = delete;
  FirstCopy& operator=(const FirstCopy&) = delete;
  bool claimed() const { return claimed_; }

 private:
  HANDLE ready_, end_;
  bool claimed_ = false;
  std::thread thread_;
};

core::Text Upper(core::Text text) {
  ::CharUpperBuffW(reinterpret_cast<wchar_t*>(text.data()), static_cast<DWORD>(text.size()));
  return text;
}

// Every form of a path that reaches the folder gives one key; the key is the folder's
// identity, so that path forms the normal form does not unify (a "\\?\" path here, another
// drive letter or a link on Windows) meet as well.
TEST(Win32SingleInstance, FolderFormsThatNameTheSameFolderAreOne) {
  wine_test::TempFolder dir, other;
  const core::Text folder = dir.Path();
  core::Text lower = folder;
  for (char16_t& c : lower)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  const core::Text normal = Win32SingleInstance::NormalFolder(folder);
  const core::Text key = Win32SingleInstance::FolderKey(folder);
  EXPECT_EQ(key.rfind(u"FILE ", 0), 0u) << core::ToUtf8(key);
  for (const core::Text& form : {lower, folder.substr(0, folder.size() - 1),
                                 folder + u"Data\\..\\", u"\\\\?\\" + folder}) {
    SCOPED_TRACE(core::ToUtf8(form));
    EXPECT_EQ(Win32SingleInstance::FolderKey(form), key);
    if (form.rfind(u"\\\\?\\", 0) != 0) {
      EXPECT_EQ(Win32SingleInstance::NormalFolder(form), normal);
    }
  }
  EXPECT_EQ(normal.back(), u'\\');
  EXPECT_NE(Win32SingleInstance::FolderKey(other.Path()), key);
  // A folder that cannot be opened is named by its path.
  const core::Text missing = folder + u"missing\\";
  EXPECT_EQ(Win32SingleInstance::FolderKey(missing), Win32SingleInstance::NormalFolder(missing));
}

TEST(Win32SingleInstance, SecondClaimInTheFolderRaisesTheFirstWindow) {
  wine_test::TempFolder dir, other;
  MinimisedWindow window;
  ASSERT_TRUE(::IsIconic(window.get()));
  {
    FirstCopy first(dir.Path(), window.get(), /*exiting=*/false);
    ASSERT_TRUE(first.claimed());

    Win32SingleInstance second;
    EXPECT_FALSE(second.Claim(u"\\\\?\\" + Upper(dir.Path())));
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

// A start made while the first copy is in its exit waits for it to end and then runs; one
// made while the first copy runs, or while its exit asks the user something (its window
// disabled by the box), ends at once. The first copy ends a second after its claim.
TEST(Win32SingleInstance, AStartWaitsOnlyForACopyInItsExit) {
  struct Case {
    const char* name;
    bool exiting, asking, claims;
  };
  for (const Case& c : {Case{"running", false, false, false},
                        Case{"in its exit", true, false, true},
                        Case{"asking in its exit", true, true, false}}) {
    SCOPED_TRACE(c.name);
    wine_test::TempFolder dir;
    // Never shown: its enabled state is all a waiting start looks at.
    HWND window = ::CreateWindowExW(0, L"STATIC", L"first copy", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                    100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::EnableWindow(window, c.asking ? FALSE : TRUE);
    FirstCopy first(dir.Path(), window, c.exiting, /*lifeMs=*/1000);
    ASSERT_TRUE(first.claimed());
    const DWORD start = ::GetTickCount();
    Win32SingleInstance second;
    EXPECT_EQ(second.Claim(dir.Path()), c.claims);
    // Far below the longest wait: the start did not wait for nothing.
    EXPECT_LT(::GetTickCount() - start, platform::kHolderExitWaitMs / 3);
    if (c.claims) {
      // The claim passed over: a third start (on a thread of its own) finds this one running.
      FirstCopy third(dir.Path(), nullptr, false, 0);
      EXPECT_FALSE(third.claimed());
    }
    ::DestroyWindow(window);
  }
}

}  // namespace
