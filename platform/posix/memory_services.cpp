#include "platform/posix/memory_services.h"

#include <chrono>

namespace platform::posix {

ClipboardContent MemoryClipboard::Read() {
  std::unique_lock<std::mutex> lock(mutex_);
  const int attempt = readCount++;
  if (busy || (failReadsAfter >= 0 && attempt >= failReadsAfter)) {
    throw core::AppError(u"クリップボードを開けません");
  }
  ++readsInside_;
  ++readsAtGate_;
  changed_.notify_all();
  changed_.wait(lock, [this] { return !gateClosed_; });
  --readsAtGate_;
  --readsInside_;
  changed_.notify_all();
  return content_;
}

MemoryClipboard::~MemoryClipboard() {
  // A read left waiting at the gate must not outlive the clipboard it reads.
  std::unique_lock<std::mutex> lock(mutex_);
  gateClosed_ = false;
  changed_.notify_all();
  changed_.wait_for(lock, std::chrono::seconds(10), [this] { return readsInside_ == 0; });
}

void MemoryClipboard::CloseGate() {
  std::lock_guard<std::mutex> lock(mutex_);
  gateClosed_ = true;
}

void MemoryClipboard::OpenGate() {
  std::lock_guard<std::mutex> lock(mutex_);
  gateClosed_ = false;
  changed_.notify_all();
}

bool MemoryClipboard::WaitUntilReadWaits(int milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                           [this] { return gateClosed_ && readsAtGate_ > 0; });
}

void MemoryClipboard::WriteText(const core::Text& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (busy || readsInside_ > 0) throw core::AppError(u"クリップボードを開けません");
  content_ = ClipboardContent{text, false};
  ++sequence_;
}

void MemoryClipboard::CopyText(core::Text text, bool excludedFromHistory) {
  std::lock_guard<std::mutex> lock(mutex_);
  content_ = ClipboardContent{std::move(text), excludedFromHistory};
  ++sequence_;
}

void MemoryClipboard::CopyImage() {
  std::lock_guard<std::mutex> lock(mutex_);
  content_ = ClipboardContent{};
  ++sequence_;
}

core::Text MemorySpecialFolders::GetDirectoryFromCSIDL(int nFolder) {
  auto found = folders.find(nFolder);
  return found == folders.end() ? core::Text() : found->second;
}

bool MemoryShellLinks::CreateLink(const core::Text& target, const core::Text& workingDirectory,
                                  const core::Text& linkPath) {
  if (fileSystem) {
    try {
      fileSystem->WriteFileAtomic(linkPath, "shell link\r\n");
    } catch (const core::AppError&) {
      return false;
    }
  }
  links[linkPath] = Link{target, workingDirectory};
  return true;
}

core::Text MemoryShellLinks::GetLinkTarget(const core::Text& linkPath) {
  if (fileSystem && !fileSystem->FileExists(linkPath)) return {};
  auto found = links.find(linkPath);
  return found == links.end() ? core::Text() : found->second.target;
}

MemorySingleInstance::~MemorySingleInstance() {
  if (holds_) session_.holders.erase(name_);
}

bool MemorySingleInstance::Claim(const core::Text& folder) {
  core::Text normal = folder;
  for (char16_t& c : normal) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  if (normal.empty() || normal.back() != u'\\') normal += u'\\';
  name_ = InstanceObjectName(normal);
  holds_ = session_.holders.emplace(name_, Holder{}).second;
  return holds_;
}

void MemorySingleInstance::Publish(NativeWindow window) {
  if (holds_) session_.holders[name_].window = window;
}

void MemorySingleInstance::SetExiting(bool exiting) {
  if (holds_) session_.holders[name_].exiting = exiting;
}

bool MemorySingleInstance::ActivateHolder() {
  auto it = session_.holders.find(name_);
  if (it == session_.holders.end() || it->second.window == nullptr) return false;
  session_.activated.push_back(it->second.window);
  return true;
}

}  // namespace platform::posix
