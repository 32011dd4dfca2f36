// Closes the application's message boxes ("ソラミツ") from another thread and keeps their
// texts and default buttons, so tests of error reports never wait for a person. Each box is
// answered as the Enter key answers it: with its default button.
#pragma once
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace wine_tests {

// Reading a window's text from another thread sends it a message: while waiting for the
// thread, this one keeps answering such messages, or both would wait for ever.
class MessageBoxCloser {
 public:
  MessageBoxCloser() : thread_([this] {
    Run();
    finished_ = true;
  }) {}
  ~MessageBoxCloser() { Stop(); }
  MessageBoxCloser(const MessageBoxCloser&) = delete;
  MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

  std::vector<std::wstring> Stop() {
    stop_ = true;
    while (!finished_) {
      MSG message;
      ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // delivers sent messages
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_SENDMESSAGE);
    }
    if (thread_.joinable()) thread_.join();
    return texts_;
  }
  // The default button of each box, in the order of the texts (IDOK, IDYES, IDNO...;
  // 0 when a box had none). Read after Stop().
  const std::vector<int>& DefaultButtons() const { return defaults_; }

 private:
  static HWND FindBox() {
    HWND found = nullptr;
    ::EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
          DWORD pid = 0;
          ::GetWindowThreadProcessId(hwnd, &pid);
          wchar_t cls[32]{}, title[64]{};
          ::GetClassNameW(hwnd, cls, 32);
          ::GetWindowTextW(hwnd, title, 64);
          if (pid == ::GetCurrentProcessId() && std::wstring(cls) == L"#32770" &&
              std::wstring(title) == L"ソラミツ" && ::IsWindowVisible(hwnd)) {
            *reinterpret_cast<HWND*>(param) = hwnd;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }

  // The button Enter presses: the push button drawn as the default one (the dialog manager
  // moves that style with the default), else the dialog's default id.
  static int DefaultButton(HWND box) {
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
      if ((::GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
        return ::GetDlgCtrlID(child);
    }
    const LRESULT id = ::SendMessageW(box, DM_GETDEFID, 0, 0);
    return HIWORD(id) == DC_HASDEFID ? LOWORD(id) : 0;
  }

  void Run() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!stop_ && std::chrono::steady_clock::now() < deadline) {
      HWND box = FindBox();
      if (box == nullptr) {
        ::Sleep(5);
        continue;
      }
      wchar_t text[256]{};
      ::GetDlgItemTextW(box, 0xFFFF, text, 256);  // the message box's text control
      const int button = DefaultButton(box);
      texts_.push_back(text);
      defaults_.push_back(button);
      ::PostMessageW(box, WM_COMMAND, button != 0 ? button : IDOK, 0);
      while (::IsWindow(box) && std::chrono::steady_clock::now() < deadline) ::Sleep(5);
    }
  }

  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::vector<std::wstring> texts_;
  std::vector<int> defaults_;
  std::thread thread_;
};

}  // namespace wine_tests
