#include <windows.h>

#include <atomic>
#include <cstring>

#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

const char16_t kCannotOpen[] = u"クリップボードを開けません";
const char16_t kCannotWrite[] = u"クリップボードに書き込めません";

// Another program may hold the clipboard open for a moment (a clipboard manager reads each
// change, a remote session copies it over): a write tries again every 50 ms for up to a
// second before it gives up. The thread sleeps meanwhile and takes no input, so a click
// that is waiting cannot run its command twice.
constexpr DWORD kWritePatienceMs = 1000;
constexpr DWORD kWriteRetryMs = 50;

// Reads of this process now inside the clipboard, on any thread. Such a read may wait for a
// slow program to render its copy for as long as that takes, holding the clipboard open
// all the while: a write then fails at once instead of waiting in vain.
std::atomic<int> readsInProgress{0};

class ReadInProgress {
 public:
  ReadInProgress() { ++readsInProgress; }
  ~ReadInProgress() { --readsInProgress; }
  ReadInProgress(const ReadInProgress&) = delete;
  ReadInProgress& operator=(const ReadInProgress&) = delete;
};

// OpenClipboard for one scope; fails at once when another program holds the clipboard.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard() {
    if (open_) ::CloseClipboard();
  }
  bool open() const { return open_; }

 private:
  bool open_;
};

core::Text UnicodeText() {
  HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
  if (!data) return {};
  GlobalLockGuard lock(data);
  if (!lock.data()) return {};
  return FromBuffer(static_cast<const wchar_t*>(lock.data()), lock.size() / sizeof(wchar_t));
}

// Password managers mark their copies with these formats so that histories leave them out.
bool ExcludedFromHistory() {
  static const UINT exclude =
      ::RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
  static const UINT canInclude = ::RegisterClipboardFormatW(L"CanIncludeInClipboardHistory");
  if (exclude != 0 && ::IsClipboardFormatAvailable(exclude)) return true;
  if (canInclude != 0 && ::IsClipboardFormatAvailable(canInclude)) {
    HANDLE data = ::GetClipboardData(canInclude);
    if (!data) return false;
    GlobalLockGuard lock(data);
    DWORD value = 1;
    if (!lock.data() || lock.size() < sizeof value) return false;
    std::memcpy(&value, lock.data(), sizeof value);
    return value == 0;
  }
  return false;
}

}  // namespace

Win32Clipboard::~Win32Clipboard() {
  if (ownWindow_) ::DestroyWindow(static_cast<HWND>(ownWindow_));
}

NativeWindow Win32Clipboard::Owner() {
  if (owner_) return owner_;
  if (!ownWindow_) {
    ownWindow_ = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
  }
  return ownWindow_;  // nullptr if even that failed: the task then owns the data
}

ClipboardContent Win32Clipboard::Read() {
  // Open, take the text, close: nothing else while the clipboard is open.
  ReadInProgress reading;
  OpenedClipboard clipboard(nullptr);
  if (!clipboard.open()) throw core::AppError(kCannotOpen);
  ClipboardContent content;
  content.text = UnicodeText();
  content.excludedFromHistory = ExcludedFromHistory();
  return content;
}

void Win32Clipboard::WriteText(const core::Text& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory.get()) throw core::AppError(kCannotWrite);
  {
    GlobalLockGuard lock(memory.get());
    if (!lock.data()) throw core::AppError(kCannotWrite);
    auto* out = static_cast<wchar_t*>(lock.data());
    for (std::size_t i = 0; i < text.size(); ++i) out[i] = static_cast<wchar_t>(text[i]);
    out[text.size()] = L'\0';
  }
  const HWND owner = static_cast<HWND>(Owner());
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (readsInProgress.load() > 0) throw core::AppError(kCannotOpen);
    OpenedClipboard clipboard(owner);
    if (clipboard.open()) {
      // Open, set, close: the text is ready before the clipboard is opened.
      if (!::EmptyClipboard()) throw core::AppError(kCannotWrite);
      if (!::SetClipboardData(CF_UNICODETEXT, memory.get())) throw core::AppError(kCannotWrite);
      memory.release();
      return;
    }
    // Unsigned difference: right across the wrap of the counter.
    if (::GetTickCount() - start >= kWritePatienceMs) throw core::AppError(kCannotOpen);
    ::Sleep(kWriteRetryMs);
  }
}

std::uint32_t Win32Clipboard::SequenceNumber() { return ::GetClipboardSequenceNumber(); }

}  // namespace platform::win32
