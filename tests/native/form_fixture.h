// Builds the main window on the headless windowing layer with Linux services and
// in-memory stand-ins, in a fresh temporary folder that plays the executable's folder.
#pragma once
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include "core/text.h"
#include "gui/headless/headless.h"
#include "platform/posix/memory_services.h"
#include "platform/posix/posix_services.h"
#include "platform/services.h"
#include "ui/main_form.h"

namespace testing_support {

namespace fs = std::filesystem;
using core::Text;

inline std::string U8(const Text& t) { return core::ToUtf8(t); }
inline Text U16(const std::string& s) { return core::FromUtf8(s); }

struct TestServices {
  platform::posix::PosixFileSystem fileSystem;
  platform::posix::PosixProfileFile profile{fileSystem};
  platform::posix::PosixCollator collator;
  platform::posix::IconvAnsiCodePage ansi{932};
  platform::posix::MemoryClipboard clipboard;
  platform::posix::RecordingShell shell;
  platform::posix::MemorySpecialFolders specialFolders;
  platform::posix::MemoryShellLinks shellLinks;
  platform::posix::FixedClock clock;
  platform::Services Services() {
    return platform::Services{clipboard, shell, specialFolders, shellLinks, profile,
                              fileSystem, collator, ansi, clock};
  }
};

// A temporary application folder with "Soramitsu.exe" in it, removed afterwards.
class AppFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gui::headless::Reset();
    char pattern[] = "/tmp/soramitsu-test-XXXXXX";
    root = fs::path(mkdtemp(pattern));
    services_.fileSystem.SetExecutablePath(U16(root.string() + "/Soramitsu.exe"));
  }
  void TearDown() override {
    form.reset();
    std::error_code ec;
    fs::remove_all(root, ec);
    gui::headless::Reset();
  }

  // Creates the main window (runs FormCreate) and waits for its start-up read of the
  // clipboard, which runs on a thread of its own.
  ui::TMainForm& Start() {
    services = std::make_unique<platform::Services>(services_.Services());
    form = std::make_unique<ui::TMainForm>(*services);
    Settle();
    return *form;
  }
  // Waits (bounded) until the window's clipboard read has come back and been handed over.
  void Settle() { EXPECT_TRUE(form->clipboardReader.WaitFor(kSettleMs)) << "a read never came back"; }
  // One tick of the clipboard monitor, its read included.
  void TickAndSettle() {
    form->Timer2Timer();
    Settle();
  }
  static constexpr std::uint32_t kSettleMs = 10000;

  fs::path DataDir() const { return root / "Data"; }
  void WriteBytes(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
  }
  std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // UTF-8 source text to code page 932 bytes, as the program writes its files.
  std::string Cp932(const std::string& utf8) {
    return *services_.ansi.EncodeExact(U16(utf8));
  }

  TestServices services_;
  std::unique_ptr<platform::Services> services;
  std::unique_ptr<ui::TMainForm> form;
  fs::path root;
};

}  // namespace testing_support
