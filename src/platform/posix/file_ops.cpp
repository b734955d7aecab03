// The file-system operations of the stamping run on POSIX. Windows' view of
// an entry is mirrored where a POSIX meaning exists:
// - read-only: no write permission bit at all (as Wine maps mode 0444);
// - a symbolic link is always the link itself (lstat, O_NOFOLLOW,
//   AT_SYMLINK_NOFOLLOW), its target is never opened or touched;
// - a file is held open O_RDWR while its times change, which needs the same
//   permission as Windows' read-write open. Windows' share mode 0 has no
//   POSIX counterpart: another program's open does not make this one fail.
// - Linux keeps no settable creation time, so a creation time given to
//   setTimes is left out and the call still reports success for the times it
//   can set, as Wine does on the same file systems.
#include "platform/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "platform/posix/errno_codes.h"
#include "platform/posix/unique_fd.h"

namespace platform {

namespace {

OsErrorCode lastError() { return mapErrno(errno); }

timespec toTimespec(FileTime time) {
  constexpr std::int64_t kTicks = static_cast<std::int64_t>(kTicksPerSecond);
  const std::int64_t ticks = static_cast<std::int64_t>(time - kUnixEpochTicks);
  std::int64_t seconds = ticks / kTicks;
  std::int64_t rest = ticks % kTicks;
  if (rest < 0) {
    --seconds;
    rest += kTicks;
  }
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(seconds);
  ts.tv_nsec = static_cast<long>(rest * 100);
  return ts;
}

void fillTimes(timespec (&times)[2], const FileTime* lastAccess, const FileTime& lastWrite) {
  if (lastAccess) {
    times[0] = toTimespec(*lastAccess);
  } else {
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
  }
  times[1] = toTimespec(lastWrite);
}

// A time of the file system, cut to the 100-ns tick of a FileTime.
FileTime toFileTime(const struct statx_timestamp& t) {
  const std::int64_t ticks = static_cast<std::int64_t>(t.tv_sec) * 10'000'000 + t.tv_nsec / 100;
  return static_cast<FileTime>(ticks) + kUnixEpochTicks;
}

// The three times of fd, or of name within the folder fd when name is given
// (a link, not followed). The creation time is the birth time where the file
// system keeps one, else 0.
OsErrorCode readTimesAt(int fd, const char* name, EntryTimes& times) {
  struct statx st {};
  const int flags = name ? AT_SYMLINK_NOFOLLOW : AT_EMPTY_PATH;
  if (::statx(fd, name ? name : "", flags, STATX_ATIME | STATX_MTIME | STATX_BTIME, &st) != 0) {
    if (errno != ENOSYS) return lastError();
    // A kernel without statx: the same times, without a birth time.
    struct stat old {};
    if (::fstatat(fd, name ? name : "", &old, flags) != 0) return lastError();
    times.creation = 0;
    times.lastAccess =
        toFileTime({old.st_atim.tv_sec, static_cast<std::uint32_t>(old.st_atim.tv_nsec)});
    times.lastWrite =
        toFileTime({old.st_mtim.tv_sec, static_cast<std::uint32_t>(old.st_mtim.tv_nsec)});
    return 0;
  }
  times.creation = (st.stx_mask & STATX_BTIME) ? toFileTime(st.stx_btime) : 0;
  times.lastAccess = toFileTime(st.stx_atime);
  times.lastWrite = toFileTime(st.stx_mtime);
  return 0;
}

using Fd = posix::UniqueFd;

// A regular file or a folder, held open by its descriptor.
class DescriptorEntry : public OpenEntry {
 public:
  explicit DescriptorEntry(int fd) : fd_(fd) {}
  OsErrorCode setTimes(const FileTime* /*creation: not settable*/, const FileTime* lastAccess,
                       const FileTime& lastWrite) override {
    timespec times[2];
    fillTimes(times, lastAccess, lastWrite);
    return ::futimens(fd_.get(), times) == 0 ? 0 : lastError();
  }
  OsErrorCode readTimes(EntryTimes& times) override {
    return readTimesAt(fd_.get(), nullptr, times);
  }

 private:
  Fd fd_;
};

// A symbolic link: it cannot be opened without following it, so its folder
// is held open and the link is changed by name within it.
class LinkEntry : public OpenEntry {
 public:
  LinkEntry(int folderFd, std::string name) : folder_(folderFd), name_(std::move(name)) {}
  OsErrorCode setTimes(const FileTime* /*creation: not settable*/, const FileTime* lastAccess,
                       const FileTime& lastWrite) override {
    timespec times[2];
    fillTimes(times, lastAccess, lastWrite);
    return ::utimensat(folder_.get(), name_.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0 ? 0
                                                                                      : lastError();
  }
  OsErrorCode readTimes(EntryTimes& times) override {
    return readTimesAt(folder_.get(), name_.c_str(), times);
  }

 private:
  Fd folder_;
  std::string name_;
};

OpenResult failed(OsErrorCode error) { return {nullptr, error}; }

std::string parentOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool parentExists(const std::string& path) {
  struct stat st {};
  return ::stat(parentOf(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

OpenResult openLink(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const int fd = ::open(parentOf(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return failed(lastError());
  return {std::make_unique<LinkEntry>(fd, std::move(name)), 0};
}

OpenResult openEntry(const std::string& path, int flags) {
  // O_NOFOLLOW makes a link refuse the open (ELOOP, or ENOTDIR with
  // O_DIRECTORY) instead of reaching its target; only then is the path looked
  // at again, so that the common case costs the one open.
  const int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
  if (fd >= 0) return {std::make_unique<DescriptorEntry>(fd), 0};
  const int error = errno;
  struct stat st {};
  if ((error == ELOOP || error == ENOTDIR) && ::lstat(path.c_str(), &st) == 0 &&
      S_ISLNK(st.st_mode)) {
    return openLink(path);
  }
  // Windows tells a missing entry from a missing folder on the way to it.
  if (error == ENOENT && !parentExists(path)) return failed(kErrorPathNotFound);
  return failed(mapErrno(error));
}

class PosixFileOps : public FileOps {
 public:
  std::uint32_t readAttributes(const std::string& path) override {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return kInvalidAttributes;
    std::uint32_t attributes = 0;
    if (S_ISLNK(st.st_mode)) {
      // Like a Windows symbolic link: a reparse point, marked as a folder
      // when it stands for one. The link's own permission bits say nothing.
      struct stat target {};
      const bool toFolder = ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
      return kAttrReparsePoint | (toFolder ? kAttrDirectory : kAttrArchive);
    }
    attributes = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= kAttrReadOnly;
    return attributes;
  }

  bool fileExists(const std::string& path) override {
    const std::uint32_t attributes = readAttributes(path);
    return attributes != kInvalidAttributes && (attributes & kAttrDirectory) == 0;
  }

  bool folderExists(const std::string& path) override {
    const std::uint32_t attributes = readAttributes(path);
    return attributes != kInvalidAttributes && (attributes & kAttrDirectory) != 0;
  }

  OpenResult openFile(const std::string& path) override {
    // O_NONBLOCK keeps a FIFO or device among the entries from blocking the open.
    return openEntry(path, O_RDWR | O_NONBLOCK);
  }

  OpenResult openFolder(const std::string& path) override {
    return openEntry(path, O_RDONLY | O_DIRECTORY);
  }
};

}  // namespace

FileOps& systemFileOps() {
  static PosixFileOps ops;  // stateless
  return ops;
}

}  // namespace platform
