// Halves of the clipboard round trip with the X side; clipboard_xclip.sh runs them with
// xclip. Without their environment variables they are skipped.
//
// Wine gives up the X clipboard when its last program ends, so the writer stays until the
// script has read the text: it waits (bounded) for the file SORAMITSU_XCLIP_DONE.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/win32/win32_clipboard.h"

namespace {

// The wide environment: the ANSI one would turn what code page 932 lacks into "?".
std::optional<core::Text> Env(const wchar_t* name) {
  const wchar_t* value = ::_wgetenv(name);
  if (!value || !*value) return std::nullopt;
  std::wstring wide(value);
  return core::Text(wide.begin(), wide.end());
}

TEST(ClipboardXclip, ReadsWhatXclipCopied) {
  std::optional<core::Text> expected = Env(L"SORAMITSU_XCLIP_EXPECT");
  if (!expected) GTEST_SKIP() << "SORAMITSU_XCLIP_EXPECT not set";
  platform::win32::Win32Clipboard clipboard;
  EXPECT_EQ(core::ToUtf8(clipboard.ReadText()), core::ToUtf8(*expected));
}

TEST(ClipboardXclip, WritesForXclip) {
  std::optional<core::Text> text = Env(L"SORAMITSU_XCLIP_WRITE");
  if (!text) GTEST_SKIP() << "SORAMITSU_XCLIP_WRITE not set";
  platform::win32::Win32Clipboard clipboard;
  clipboard.WriteText(*text);
  EXPECT_EQ(core::ToUtf8(clipboard.ReadText()), core::ToUtf8(*text));
  std::optional<core::Text> done = Env(L"SORAMITSU_XCLIP_DONE");
  if (!done) return;
  const std::wstring flag(done->begin(), done->end());
  const DWORD start = ::GetTickCount();
  while (::GetFileAttributesW(flag.c_str()) == INVALID_FILE_ATTRIBUTES) {
    ASSERT_LT(::GetTickCount() - start, 30000u) << "the script never read the clipboard";
    // Keeps this thread's messages flowing while the X side asks for the text.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
}

}  // namespace
