#include "platform/shortcut_links.h"

namespace platform {

namespace {

constexpr core::TextView kSeparators = u"\\:/";

bool EndsInBackslash(const core::Text& path) {
  return !path.empty() && (path.back() == u'\\' || path.back() == u'/');
}

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; }

}  // namespace

core::Text FolderPartOf(const core::Text& path) {
  const auto last = path.find_last_of(kSeparators);
  return last == core::Text::npos ? core::Text() : path.substr(0, last + 1);
}

core::Text FileNamePartOf(const core::Text& path) {
  const auto last = path.find_last_of(kSeparators);
  return last == core::Text::npos ? path : path.substr(last + 1);
}

core::Text FolderWithBackslash(const core::Text& path) {
  core::Text folder = FolderPartOf(path);
  if (!EndsInBackslash(folder)) folder += u'\\';
  return folder;
}

core::Text ShortcutFilePath(const core::Text& target, const core::Text& folder,
                            const core::Text& linkName) {
  // An unresolved folder would otherwise put the link in the root of the current drive.
  if (folder.empty()) return {};
  core::Text path = folder;
  if (!EndsInBackslash(path)) path += u'\\';
  if (!linkName.empty()) return path + linkName + u".lnk";
  return path + FileNamePartOf(target) + u"へのショートカット.lnk";
}

bool SameLinkTarget(core::TextView a, core::TextView b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

core::Text ShortcutLinks::GetDirectoryFromCSIDL(int nFolder) {
  return folders_.GetDirectoryFromCSIDL(nFolder);
}

bool ShortcutLinks::CreateShortCutLink(const core::Text& szFileName, const core::Text& ADirectory,
                                       const core::Text& swFileName) {
  const core::Text linkPath = ShortcutFilePath(szFileName, ADirectory, swFileName);
  if (linkPath.empty()) return false;
  return links_.CreateLink(szFileName, FolderPartOf(szFileName), linkPath);
}

core::Text ShortcutLinks::GetLinkPathName(const core::Text& LinkFilePath) {
  return links_.GetLinkTarget(LinkFilePath);
}

core::Text ShortcutLinks::FindFileShortCutLink(const core::Text& FindPath,
                                               const core::Text& SearchFolder) {
  // Nothing to search: an unresolved folder must not send the search to the drive's root.
  if (SearchFolder.empty()) return {};
  core::Text folder = SearchFolder;
  if (!EndsInBackslash(folder)) folder += u'\\';
  const Listing listing = fileSystem_.List(folder, u"*.LNK");
  for (const DirEntry& entry : listing.entries) {
    if (entry.isFolder) continue;
    const core::Text path = folder + entry.name;
    // A link that cannot be loaded has an empty target and never matches.
    const core::Text target = GetLinkPathName(path);
    if (!target.empty() && SameLinkTarget(FindPath, target)) return path;
  }
  if (!listing.complete) {
    throw core::AppError(u"フォルダーの中を調べられません（" + SearchFolder + u"）");
  }
  return {};
}

bool ShortcutLinks::DeleteShorCutLink(const core::Text& FindPath, const core::Text& SearchFolder) {
  const core::Text path = FindFileShortCutLink(FindPath, SearchFolder);
  return !path.empty() && fileSystem_.RemoveFile(path);
}

}  // namespace platform
