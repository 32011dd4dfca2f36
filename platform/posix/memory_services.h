// In-memory stand-ins for what Linux does not have: the Windows clipboard, the shell,
// special folders, shell links, and a clock that tests set.
#pragma once
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <vector>
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/shell.h"
#include "platform/single_instance.h"

namespace platform::posix {

// Reads may come from a reading thread; a test changes the clipboard only while no read is
// inside it, except through the gate below.
class MemoryClipboard : public Clipboard {
 public:
  MemoryClipboard() = default;
  ~MemoryClipboard() override;
  // Throws while `busy`; waits while the gate is closed, as for a program that renders its
  // copy slowly.
  ClipboardContent Read() override;
  // Throws while `busy` or while a read is inside (it holds the clipboard open).
  void WriteText(const core::Text& text) override;
  std::uint32_t SequenceNumber() override { return sequence_; }

  // What another program does.
  void CopyText(core::Text text, bool excludedFromHistory = false);
  void CopyImage();  // a clipboard without text
  bool busy = false;        // held open by another program
  int failReadsAfter = -1;  // >= 0: that many reads succeed, the next ones throw
  int readCount = 0;
  const core::Text& Current() const { return content_.text; }

  // A slow owner: reads wait at the gate until it opens; the copy they then take is the
  // one made by the time it opened.
  void CloseGate();
  void OpenGate();
  // Waits (bounded) until a read waits at the closed gate.
  bool WaitUntilReadWaits(int milliseconds);

 private:
  ClipboardContent content_;
  std::uint32_t sequence_ = 1;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool gateClosed_ = false;
  int readsInside_ = 0;
  int readsAtGate_ = 0;
};

class RecordingShell : public Shell {
 public:
  bool Open(NativeWindow, const core::Text& target) override {
    opened.push_back(target);
    return opens;
  }
  std::vector<core::Text> opened;
  bool opens = true;  // false: the shell reports that it could not open the target
};

class MemorySpecialFolders : public SpecialFolders {
 public:
  core::Text GetDirectoryFromCSIDL(int nFolder) override;
  std::map<int, core::Text> folders;
};

class MemoryShellLinks : public ShellLinks {
 public:
  bool CreateLink(const core::Text& target, const core::Text& workingDirectory,
                  const core::Text& linkPath) override;
  core::Text GetLinkTarget(const core::Text& linkPath) override;
  struct Link { core::Text target, workingDirectory; };
  std::map<core::Text, Link> links;
  // When set, each link is also a file there, so listings see it and deleting it removes it.
  FileSystem* fileSystem = nullptr;
};

// Stands for the session's named objects: stand-ins that share one Session see each
// other's claims, as copies of the program in one logon session do. Folders are compared
// with ASCII letters folded to upper case. A claim on a folder whose holder is in its exit
// fails as well: nothing here ends by itself while a start waits.
class MemorySingleInstance : public SingleInstance {
 public:
  struct Holder {
    NativeWindow window = nullptr;
    bool exiting = false;
  };
  struct Session {
    std::map<core::Text, Holder> holders;  // by object name
    std::vector<NativeWindow> activated;   // windows brought to the front, in order
  };
  explicit MemorySingleInstance(Session& session) : session_(session) {}
  ~MemorySingleInstance() override;  // a process that ends gives its folder up
  MemorySingleInstance(const MemorySingleInstance&) = delete;
  MemorySingleInstance& operator=(const MemorySingleInstance&) = delete;

  bool Claim(const core::Text& folder) override;
  void Publish(NativeWindow window) override;
  void SetExiting(bool exiting) override;
  bool ActivateHolder() override;

 private:
  Session& session_;
  core::Text name_;
  bool holds_ = false;
};

class FixedClock : public Clock {
 public:
  LocalDateTime Now() override { return now; }
  std::uint32_t TickCount() override { return tick += tickStep; }
  // Returns at once; the counter moves on by the time slept.
  void Sleep(std::uint32_t milliseconds) override {
    tick += milliseconds;
    slept.push_back(milliseconds);
    if (onSleep) onSleep();
  }
  std::function<void()> onSleep;  // what happens elsewhere while the caller sleeps
  LocalDateTime now{2026, 12, 9, 12, 0, 0};
  std::uint32_t tick = 0;
  std::uint32_t tickStep = 100;  // each reading advances the counter
  std::vector<std::uint32_t> slept;
};

}  // namespace platform::posix
