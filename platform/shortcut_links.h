// The shortcut operations both programs share: the main program's Startup registration and
// the installer's desktop shortcut. Written once over the platform's special folders, shell
// links and file system, so that tests run them on the in-memory stand-ins.
#pragma once
#include "core/text.h"
#include "platform/file_system.h"
#include "platform/shell.h"

namespace platform {

class ShortcutLinks {
 public:
  ShortcutLinks(SpecialFolders& folders, ShellLinks& links, FileSystem& fileSystem)
      : folders_(folders), links_(links), fileSystem_(fileSystem) {}

  // Path of a special folder without a trailing backslash; empty when the shell cannot
  // resolve it (the operations below then write, list and delete nothing).
  core::Text GetDirectoryFromCSIDL(int nFolder);

  // Saves a link to `szFileName` in `ADirectory`, named `swFileName` + ".lnk", or
  // "<file name>へのショートカット.lnk" when `swFileName` is empty. Its working directory
  // is the target's folder. An existing file of that name is replaced. True when saved.
  // Throws core::AppError when the shell link object is not available.
  bool CreateShortCutLink(const core::Text& szFileName, const core::Text& ADirectory,
                          const core::Text& swFileName);

  // Full path of the first link in `SearchFolder` (not its subfolders) whose target equals
  // `FindPath` with ASCII letters compared case-blind; empty when there is none.
  // Throws core::AppError when the folder cannot be listed.
  core::Text FindFileShortCutLink(const core::Text& FindPath, const core::Text& SearchFolder);

  // Deletes the first link that FindFileShortCutLink finds. True when one was deleted.
  bool DeleteShorCutLink(const core::Text& FindPath, const core::Text& SearchFolder);

  // Target of a link file; empty when it cannot be loaded.
  core::Text GetLinkPathName(const core::Text& LinkFilePath);

 private:
  SpecialFolders& folders_;
  ShellLinks& links_;
  FileSystem& fileSystem_;
};

// Path pieces of the shortcut operations. Separators are "\" and ":" as in Windows paths,
// and "/" too, which Windows also accepts and the POSIX stand-ins use.
// Everything up to and including the last separator ("" when there is none).
core::Text FolderPartOf(const core::Text& path);
// Everything after the last separator.
core::Text FileNamePartOf(const core::Text& path);
// The folder part, ending in "\" (one is appended when it does not already end in one).
core::Text FolderWithBackslash(const core::Text& path);
// Where CreateShortCutLink saves its link ("" when `folder` is empty).
core::Text ShortcutFilePath(const core::Text& target, const core::Text& folder,
                            const core::Text& linkName);
// Link targets are the same when they differ at most in the case of ASCII letters.
bool SameLinkTarget(core::TextView a, core::TextView b);

}  // namespace platform
