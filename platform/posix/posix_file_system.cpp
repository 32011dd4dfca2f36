#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/name_pattern.h"
#include "platform/posix/posix_paths.h"
#include "platform/posix/posix_services.h"

namespace platform::posix {
namespace {

core::Text Describe(const char* what, const std::string& path, int error) {
  return core::FromUtf8(std::string(what) + ": " + path + " (" + std::strerror(error) + ")");
}

// Owns a file descriptor; closes it once.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Close(); }
  int get() const { return fd_; }
  int Close() {
    int result = 0;
    if (fd_ >= 0) result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

class Dir {
 public:
  explicit Dir(DIR* dir) : dir_(dir) {}
  Dir(const Dir&) = delete;
  Dir& operator=(const Dir&) = delete;
  ~Dir() {
    if (dir_) ::closedir(dir_);
  }
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

bool WriteAll(int fd, const std::string& bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}


// A file without its owner's write permission stands for a read-only file: Windows
// refuses to write or copy over those, root or not.
bool IsReadOnlyFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && !(st.st_mode & S_IWUSR);
}

std::string ParentOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

bool PosixFileSystem::FolderExists(const core::Text& path) {
  struct stat st;
  return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::FileExists(const core::Text& path) {
  struct stat st;
  return ::stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool PosixFileSystem::CreateFolder(const core::Text& path) {
  return ::mkdir(NativePath(path).c_str(), 0777) == 0;
}

std::string PosixFileSystem::ReadFile(const core::Text& path) {
  const std::string native = NativePath(path);
  Fd fd(::open(native.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) throw core::AppError(Describe("Cannot open file", native, errno));
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) throw core::AppError(Describe("Cannot read file", native, errno));
  if (S_ISDIR(st.st_mode)) throw core::AppError(Describe("Cannot read file", native, EISDIR));
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(st.st_size));
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() + 65536);  // the file may grow
    ssize_t n = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw core::AppError(Describe("Cannot read file", native, errno));
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  bytes.resize(filled);
  return bytes;
}

void PosixFileSystem::WriteFileAtomic(const core::Text& path, const std::string& bytes) {
  static std::atomic<unsigned> counter{0};
  const std::string native = NativePath(path);
  if (IsReadOnlyFile(native)) throw core::AppError(Describe("Cannot write file", native, EACCES));
  const std::string temp = native + ".tmp" + std::to_string(::getpid()) + "-" +
                           std::to_string(counter.fetch_add(1));
  Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_TRUNC | O_CLOEXEC, 0666));
  if (fd.get() < 0) throw core::AppError(Describe("Cannot write file", native, errno));
  auto fail = [&](int error) {
    fd.Close();
    ::unlink(temp.c_str());
    throw core::AppError(Describe("Cannot write file", native, error));
  };
  if (!WriteAll(fd.get(), bytes)) fail(errno);
  if (::fsync(fd.get()) != 0) fail(errno);
  if (fd.Close() != 0) fail(errno);
  if (::rename(temp.c_str(), native.c_str()) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    throw core::AppError(Describe("Cannot write file", native, error));
  }
  // Makes the rename itself durable; a failure here leaves a complete file either way.
  Fd dir(::open(ParentOf(native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
}

bool PosixFileSystem::AppendFile(const core::Text& path, const std::string& bytes) {
  const std::string native = NativePath(path);
  if (Fails(native) || IsReadOnlyFile(native)) return false;
  Fd fd(::open(native.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  if (fd.get() < 0) return false;
  const bool ok = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  return fd.Close() == 0 && ok;
}

bool PosixFileSystem::RemoveFile(const core::Text& path) {
  const std::string native = NativePath(path);
  if (Fails(native)) return false;
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (IsReadOnlyFile(native)) return false;  // as DeleteFileW
  if (::unlink(native.c_str()) != 0) return false;
  marked_.erase(std::remove_if(marked_.begin(), marked_.end(),
                               [&](const Marked& m) { return m.path == native; }),
                marked_.end());
  return true;
}

bool PosixFileSystem::CopyFileReplacing(const core::Text& source, const core::Text& destination) {
  const std::string from = NativePath(source), to = NativePath(destination);
  if (Fails(from) || Fails(to)) return false;
  if (FolderExists(destination)) return false;
  try {
    WriteFileAtomic(destination, ReadFile(source));
  } catch (const core::AppError&) {
    return false;
  }
  // CopyFileW copies the attributes: the copy of a read-only file is read-only.
  if (IsReadOnlyFile(from)) {
    struct stat st;
    if (::stat(to.c_str(), &st) == 0) ::chmod(to.c_str(), st.st_mode & ~mode_t{S_IWUSR | S_IWGRP | S_IWOTH});
  }
  return true;
}

bool PosixFileSystem::ClearReadOnly(const core::Text& path) {
  const std::string native = NativePath(path);
  struct stat st;
  if (::stat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (st.st_mode & S_IWUSR) return true;
  return ::chmod(native.c_str(), st.st_mode | S_IWUSR) == 0;
}

Listing PosixFileSystem::List(const core::Text& folder, const core::Text& pattern) {
  Listing listing;
  const std::string native = NormalizedFolder(folder);
  Dir dir(::opendir(native.c_str()));
  if (!dir.get()) {
    listing.complete = false;
    return listing;
  }
  for (;;) {
    errno = 0;
    dirent* entry = ::readdir(dir.get());
    if (!entry) {
      if (errno != 0) listing.complete = false;
      break;
    }
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    DirEntry item;
    item.name = core::FromUtf8(name);
    if (!MatchesNamePattern(item.name, pattern)) continue;
    const std::string full = (native == "/" ? "" : native) + "/" + name;
    struct stat st;
    const bool found = ::stat(full.c_str(), &st) == 0;
    item.isFolder = found && S_ISDIR(st.st_mode);
    item.readOnly = found && !item.isFolder && !(st.st_mode & S_IWUSR);
    if (found && !item.isFolder) item.size = static_cast<std::uint64_t>(st.st_size);
    item.hidden = name[0] == '.';
    for (const Marked& m : marked_) {
      if (m.path == full) {
        item.hidden = item.hidden || m.hidden;
        item.system = m.system;
      }
    }
    listing.entries.push_back(std::move(item));
  }
  std::sort(listing.entries.begin(), listing.entries.end(),
            [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  if (brokenAfter_ >= 0 && brokenFolder_ == native) {
    if (listing.entries.size() > static_cast<std::size_t>(brokenAfter_)) {
      listing.entries.resize(static_cast<std::size_t>(brokenAfter_));
    }
    listing.complete = false;
    brokenAfter_ = -1;
    brokenFolder_.clear();
  }
  return listing;
}

core::Text PosixFileSystem::ExecutablePath() {
  if (!exePath_.empty()) return exePath_;
  std::string buffer(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0) return {};
  buffer.resize(static_cast<std::size_t>(n));
  return core::FromUtf8(buffer);
}

void PosixFileSystem::MarkAttributes(const core::Text& path, bool hidden, bool system) {
  const std::string native = NormalizedFolder(path);
  for (Marked& m : marked_) {
    if (m.path == native) {
      m.hidden = hidden;
      m.system = system;
      return;
    }
  }
  marked_.push_back({native, hidden, system});
}

void PosixFileSystem::BreakListingAfter(const core::Text& folder, int entries) {
  brokenFolder_ = NormalizedFolder(folder);
  brokenAfter_ = entries;
}

void PosixFileSystem::FailOperationsOn(const core::Text& path) {
  failing_.push_back(NativePath(path));
}

bool PosixFileSystem::Fails(const std::string& nativePath) const {
  return std::find(failing_.begin(), failing_.end(), nativePath) != failing_.end();
}

}  // namespace platform::posix
