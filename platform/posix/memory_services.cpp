#include "platform/posix/memory_services.h"

namespace platform::posix {

ClipboardContent MemoryClipboard::Read() {
  const int attempt = readCount++;
  if (busy || (failReadsAfter >= 0 && attempt >= failReadsAfter)) {
    throw core::AppError(u"クリップボードを開けません");
  }
  return content_;
}

void MemoryClipboard::WriteText(const core::Text& text) {
  if (busy) throw core::AppError(u"クリップボードを開けません");
  content_ = ClipboardContent{text, false};
  ++sequence_;
}

void MemoryClipboard::CopyText(core::Text text, bool excludedFromHistory) {
  content_ = ClipboardContent{std::move(text), excludedFromHistory};
  ++sequence_;
}

void MemoryClipboard::CopyImage() {
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
