// The clipboard monitor against the real Win32 clipboard: the main window on the headless
// windowing layer with the Windows services, ticks driven by the test.
//
// HistoryXclip.RecordsTextsCopiedWithXclip is one half of history_xclip.sh, which copies
// the texts with xclip; without its environment variables it is skipped.
#include <gtest/gtest.h>
#include <ostream>

#include <windows.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/history.h"
#include "platform/win32/win32_services.h"
#include "tests/wine/app_stand_ins.h"
#include "tests/wine/platform_test_support.h"
#include "ui/main_form.h"

namespace {

using core::Text;
using wine_test::TempFolder;
using wine_test::Utf8;

Text Wide(const std::wstring& w) { return Text(w.begin(), w.end()); }

// Each reading is one second later, so that records made in quick succession sort in the
// order they were made.
class SteppingClock : public platform::Clock {
 public:
  platform::LocalDateTime Now() override {
    platform::LocalDateTime t = base_.Now();
    t.hour = 12;
    t.minute = static_cast<int>(step_ / 60 % 60);
    t.second = static_cast<int>(step_ % 60);
    ++step_;
    return t;
  }
  std::uint32_t TickCount() override { return base_.TickCount(); }
  void Sleep(std::uint32_t milliseconds) override { base_.Sleep(milliseconds); }

 private:
  platform::win32::Win32Clock base_;
  long step_ = 0;
};

// What another program does: replace the clipboard with a text and, optionally, a marker
// format with its data. Owned by a window of its own, as Windows asks of a writer.
class OtherProgram {
 public:
  OtherProgram()
      : window_(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr)) {}
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;
  ~OtherProgram() {
    if (window_) ::DestroyWindow(window_);
  }

  void Copy(const Text& text, const wchar_t* markerFormat = nullptr,
            std::optional<DWORD> markerValue = std::nullopt) {
    ASSERT_TRUE(Open()) << "the clipboard stays held by someone else";
    ASSERT_TRUE(::EmptyClipboard());
    ASSERT_TRUE(Set(CF_UNICODETEXT, text.data(), (text.size() + 1) * sizeof(char16_t)));
    if (markerFormat) {
      const UINT format = ::RegisterClipboardFormatW(markerFormat);
      ASSERT_NE(format, 0u);
      const DWORD value = markerValue.value_or(0);
      // The exclusion format carries no meaningful data; CanInclude... carries a DWORD.
      ASSERT_TRUE(Set(format, &value, sizeof value));
    }
    ::CloseClipboard();
  }

  void CopyNothingButAnEmptyClipboard() {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(::EmptyClipboard());
    ::CloseClipboard();
  }

 private:
  // Another program may hold the clipboard for a moment: try for up to two seconds.
  bool Open() {
    const DWORD start = ::GetTickCount();
    while (!::OpenClipboard(window_)) {
      if (::GetTickCount() - start > 2000) return false;
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
  }
  static bool Set(UINT format, const void* bytes, std::size_t size) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return false;
    void* target = ::GlobalLock(memory);
    std::memcpy(target, bytes, size);
    ::GlobalUnlock(memory);
    if (!::SetClipboardData(format, memory)) {
      ::GlobalFree(memory);
      return false;
    }
    return true;
  }

  HWND window_;
};

class HistoryClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fileSystem = std::make_unique<wine_tests::AppFolderFileSystem>(app.Path(L"Soramitsu.exe"));
    services = std::make_unique<platform::Services>(platform::Services{
        win32.clipboard, win32.shell, win32.specialFolders, win32.shellLinks, win32.profile,
        *fileSystem, win32.collator, win32.ansi, clock});
    form = std::make_unique<ui::TMainForm>(*services);
    ASSERT_TRUE(form->clipboardReader.WaitFor(10000)) << "the start-up read never came back";
  }
  void TearDown() override { form.reset(); }
  // One tick of the monitor, whose read runs on a thread of its own, until it is handed over.
  void Tick() { form->Timer2Timer(); ASSERT_TRUE(form->clipboardReader.WaitFor(10000)); }

  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    const core::CellTable& table = form->StringGrid1.Table();
    for (int r = 1; r < table.RowCount(); ++r) texts.push_back(Utf8(table.Cell(1, r)));
    return texts;
  }

  TempFolder app;
  platform::win32::Win32Services win32;
  SteppingClock clock;
  std::unique_ptr<wine_tests::AppFolderFileSystem> fileSystem;
  std::unique_ptr<platform::Services> services;
  std::unique_ptr<ui::TMainForm> form;
  OtherProgram other;
};

TEST_F(HistoryClipboardTest, RecordsEachTextCopiedInTurnButNotTheStartUpText) {
  // The start-up text was read when the window was created.
  Tick();
  EXPECT_EQ(form->Log_Cnt, 0);
  const std::vector<Text> copied = {u"一つ目のテキスト", u"second text", u"三つ目\r\nthird"};
  for (const Text& text : copied) {
    other.Copy(text);
    Tick();
  }
  Tick();  // nothing new: nothing recorded
  EXPECT_EQ(Texts(), (std::vector<std::string>{"三つ目\r\nthird", "second text", "一つ目のテキスト"}));
  EXPECT_EQ(Utf8(form->Memo_Board.GetText()), "三つ目\r\nthird");
}

TEST_F(HistoryClipboardTest, TheSequenceNumberFollowsEveryChange) {
  other.Copy(u"A");
  Tick();
  other.Copy(u"A");  // the same text again from another program
  other.Copy(u"B");
  Tick();
  other.CopyNothingButAnEmptyClipboard();
  Tick();
  EXPECT_EQ(Utf8(form->oldStr), "");
  other.Copy(u"A");
  Tick();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"A", "B", "A"}));
}

struct Marker {
  const char* name;
  const wchar_t* format;
  DWORD value;
  bool recorded;
};
// Test names show the case, not its bytes.
void PrintTo(const Marker& c, std::ostream* os) { *os << c.name; }

class HistoryExclusionTest : public HistoryClipboardTest,
                             public ::testing::WithParamInterface<Marker> {};

TEST_P(HistoryExclusionTest, MarkedTextsAreLeftOut) {
  other.Copy(u"before");
  Tick();
  other.Copy(u"pa55word!", GetParam().format, GetParam().value);
  Tick();
  EXPECT_EQ(Utf8(form->oldStr), "pa55word!");
  if (GetParam().recorded) {
    EXPECT_EQ(Texts(), (std::vector<std::string>{"pa55word!", "before"}));
  } else {
    EXPECT_EQ(Texts(), (std::vector<std::string>{"before"}));
    EXPECT_EQ(Utf8(form->Memo_Board.GetText()), "before");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, HistoryExclusionTest,
    ::testing::Values(
        Marker{"ExcludeFormat", L"ExcludeClipboardContentFromMonitorProcessing", 0, false},
        Marker{"CanIncludeZero", L"CanIncludeInClipboardHistory", 0, false},
        Marker{"CanIncludeOne", L"CanIncludeInClipboardHistory", 1, true},
        Marker{"UnrelatedFormat", L"SoramitsuTestFormat", 0, true}),
    [](const ::testing::TestParamInfo<Marker>& info) { return std::string(info.param.name); });

TEST_F(HistoryClipboardTest, EmojiAndRareKanjiSurviveTheHistoryFile) {
  const std::vector<Text> copied = {u"絵文字 😀🎉 おしまい", u"𠮷野家と髙橋さん", u"普通の日本語"};
  for (const Text& text : copied) {
    other.Copy(text);
    Tick();
  }
  ASSERT_EQ(form->Log_Cnt, 3);
  form->WriteHistoryFile();
  const std::string bytes = app.Get(L"Data\\Log.dat");
  EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << "code page 932 cannot hold them: UTF-8";
  form->Log_Load();
  EXPECT_EQ(form->Log_Cnt, 3);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"普通の日本語", "𠮷野家と髙橋さん",
                                               "絵文字 😀🎉 おしまい"}));
}

TEST_F(HistoryClipboardTest, ChoosingARowPutsItBackAndIsNotRecorded) {
  other.Copy(u"a\r\n\r\nb");
  Tick();
  other.Copy(u"newer");
  Tick();
  form->StringGrid1.Table().SelectByUser(1, 2);
  EXPECT_EQ(Utf8(win32.clipboard.ReadText()), "a\r\nb\r\n");
  Tick();
  EXPECT_EQ(form->Log_Cnt, 2);
}

// ---- with xclip (history_xclip.sh) ----

std::optional<Text> Env(const std::wstring& name) {
  const wchar_t* value = ::_wgetenv(name.c_str());
  if (!value || !*value) return std::nullopt;
  return Wide(value);
}

// Tells the script how far the test has come: an empty file named `name` in its folder.
void Signal(const std::wstring& folder, const std::wstring& name) {
  HANDLE file = ::CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ::CloseHandle(file);
}

TEST_F(HistoryClipboardTest, RecordsTextsCopiedWithXclip) {
  const std::optional<Text> folder = Env(L"SORAMITSU_HISTORY_XCLIP_DIR");
  const std::optional<Text> count = Env(L"SORAMITSU_HISTORY_XCLIP_COUNT");
  if (!folder || !count) GTEST_SKIP() << "run by history_xclip.sh";
  const std::wstring flags(folder->begin(), folder->end());
  const int n = std::stoi(core::ToUtf8(*count));
  std::vector<std::string> expected;
  Signal(flags, L"started");
  for (int i = 1; i <= n; ++i) {
    const std::optional<Text> text = Env(L"SORAMITSU_HISTORY_XCLIP_TEXT" + std::to_wstring(i));
    ASSERT_TRUE(text) << "text " << i;
    expected.insert(expected.begin(), Utf8(*text));
    // The script copies text i now; the monitor ticks until it has recorded it (bounded).
    const DWORD start = ::GetTickCount();
    while (form->Log_Cnt < i) {
      ASSERT_LT(::GetTickCount() - start, 30000u) << "text " << i << " was never recorded";
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
      form->Timer2Timer();
    }
    Signal(flags, L"recorded-" + std::to_wstring(i));
  }
  EXPECT_EQ(Texts(), expected);
}

}  // namespace
