// The system clipboard within this process.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_handles.h"

namespace {

using platform::win32::Win32Clipboard;

// Puts extra formats beside a text, as a password manager does.
void SetTextWithFormat(const wchar_t* text, const wchar_t* format, const void* data,
                       std::size_t size) {
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
  HGLOBAL t = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(::GlobalLock(t), text, bytes);
  ::GlobalUnlock(t);
  ::SetClipboardData(CF_UNICODETEXT, t);
  if (format) {
    HGLOBAL extra = ::GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    if (size) {
      std::memcpy(::GlobalLock(extra), data, size);
      ::GlobalUnlock(extra);
    }
    ::SetClipboardData(::RegisterClipboardFormatW(format), extra);
  }
  ::CloseClipboard();
}

TEST(Win32Clipboard, WritesAndReadsBackUnicodeText) {
  Win32Clipboard clipboard;
  const core::Text text = u"ソラミツ　クリップ\r\n2行目 😀";
  std::uint32_t before = clipboard.SequenceNumber();
  clipboard.WriteText(text);
  EXPECT_NE(clipboard.SequenceNumber(), before);
  platform::ClipboardContent content = clipboard.Read();
  EXPECT_EQ(content.text, text);
  EXPECT_FALSE(content.excludedFromHistory);
  clipboard.WriteText(u"");
  EXPECT_EQ(clipboard.ReadText(), u"");
}

TEST(Win32Clipboard, ClipboardWithoutTextReadsEmpty) {
  Win32Clipboard clipboard;
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ::CloseClipboard();
  EXPECT_EQ(clipboard.Read().text, u"");
}

TEST(Win32Clipboard, RecognisesThePasswordMarks) {
  Win32Clipboard clipboard;
  SetTextWithFormat(L"secret1", L"ExcludeClipboardContentFromMonitorProcessing", nullptr, 0);
  platform::ClipboardContent excluded = clipboard.Read();
  EXPECT_EQ(excluded.text, u"secret1");
  EXPECT_TRUE(excluded.excludedFromHistory);

  DWORD zero = 0, one = 1;
  SetTextWithFormat(L"secret2", L"CanIncludeInClipboardHistory", &zero, sizeof zero);
  EXPECT_TRUE(clipboard.Read().excludedFromHistory);
  SetTextWithFormat(L"fine", L"CanIncludeInClipboardHistory", &one, sizeof one);
  EXPECT_FALSE(clipboard.Read().excludedFromHistory);
}

TEST(Win32Clipboard, HeldClipboardIsAnError) {
  Win32Clipboard clipboard;
  // Another program holds the clipboard open for its window.
  HWND holder = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
  ASSERT_TRUE(holder);
  ASSERT_TRUE(::OpenClipboard(holder));
  bool threw = false;
  std::thread other([&] {
    try {
      clipboard.Read();
    } catch (const core::AppError& e) {
      threw = e.message() == u"クリップボードを開けません";
    }
  });
  other.join();
  ::CloseClipboard();
  ::DestroyWindow(holder);
  EXPECT_TRUE(threw);
}

}  // namespace
