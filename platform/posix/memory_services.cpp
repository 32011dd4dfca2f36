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

}  // namespace platform::posix
