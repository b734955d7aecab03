// Copying on POSIX: a file's contents in the kernel (copy_file_range) piece
// by piece, so a stop is heard between pieces; times by utimensat (Linux
// keeps no settable creation time; it is left out as Wine leaves it out).
// Moves are rename(2) with RENAME_NOREPLACE; the file system's name comes
// from statfs, which tells FUSE only as FUSE.
#include "platform/copy_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/path.h"
#include "platform/posix/errno_codes.h"
#include "platform/posix/unique_fd.h"

namespace platform {

namespace {

OsErrorCode lastError() { return mapErrno(errno); }

using Fd = posix::UniqueFd;

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

timespec toTimespec(FileTime time) {
  const std::int64_t ticks = static_cast<std::int64_t>(time - kUnixEpochTicks);
  constexpr std::int64_t kTicks = static_cast<std::int64_t>(kTicksPerSecond);
  std::int64_t seconds = ticks / kTicks;
  std::int64_t rest = ticks % kTicks;
  if (rest < 0) {
    --seconds;
    rest += kTicks;
  }
  return timespec{static_cast<time_t>(seconds), static_cast<long>(rest * 100)};
}

FileTime toFileTime(const timespec& t) {
  return static_cast<FileTime>(static_cast<std::int64_t>(t.tv_sec) * 10'000'000 + t.tv_nsec / 100) +
         kUnixEpochTicks;
}

EntryTimes timesOf(const struct stat& st) {
  // Linux keeps no creation time that could be set: none, as Wine gives none.
  return {0, toFileTime(st.st_atim), toFileTime(st.st_mtim)};
}

// Hidden and system both, as Wine (and Samba) keep DOS attributes in the
// extended attribute user.DOSATTRIB: a hex text such as "0x6".
bool hiddenSystem(const std::string& path) {
  char text[32] = {};
  const ssize_t got = ::getxattr(path.c_str(), "user.DOSATTRIB", text, sizeof(text) - 1);
  if (got < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return false;
  const unsigned long attributes = std::strtoul(text + 2, nullptr, 16);
  constexpr unsigned long kHiddenSystem = 0x2 | 0x4;
  return (attributes & kHiddenSystem) == kHiddenSystem;
}

// The statfs magic numbers of the file systems a card carries (linux/magic.h).
constexpr long kMsdosMagic = 0x4d44;
constexpr long kExfatMagic = 0x2011BAB0;
constexpr long kFuseMagic = 0x65735546;

struct OpenedFile : SourceFile {
  Fd fd;
};

// Pieces small enough for a stop to be heard within a fraction of a second
// on a slow card, large enough to cost nothing on a fast disk.
constexpr std::size_t kPiece = 8 * 1024 * 1024;

// Adds the bytes written to done.
OsErrorCode copyByReading(int from, int to, const StopRequested& stop, std::uint64_t& done) {
  std::vector<char> buffer(1024 * 1024);
  for (;;) {
    if (stop && stop()) return kErrorRequestAborted;
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got < 0) return lastError();
    if (got == 0) return 0;
    done += static_cast<std::uint64_t>(got);
    for (ssize_t written = 0; written < got;) {
      const ssize_t put =
          ::write(to, buffer.data() + written, static_cast<std::size_t>(got - written));
      if (put < 0) return lastError();
      written += put;
    }
  }
}

class SystemCopyOps : public CopyOps {
 public:
  EntryStat stat(const std::string& path) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    if (S_ISDIR(st.st_mode)) return {EntryKind::Folder, 0, timesOf(st)};
    return {EntryKind::File, static_cast<std::uint64_t>(st.st_size), timesOf(st)};
  }

  OsErrorCode openSource(const std::string& path, OpenedSource& source) override {
    auto opened = std::make_unique<OpenedFile>();
    opened->fd = Fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (opened->fd.get() < 0) return lastError();
    source = std::move(opened);
    return 0;
  }

  OsErrorCode listFolder(const std::string& path, std::vector<FolderItem>& items) override {
    items.clear();
    std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
    if (!dir) return lastError();
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      struct stat st {};
      if (::fstatat(dirFd, entry->d_name, &st, 0) != 0) return lastError();
      const bool folder = S_ISDIR(st.st_mode);
      items.push_back({name, folder, folder ? 0 : static_cast<std::uint64_t>(st.st_size),
                       timesOf(st), hiddenSystem(joinPath(path, name))});
    }
    return 0;
  }

  OsErrorCode listNames(const std::string& path, std::vector<FolderItem>& names) override {
    names.clear();
    std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
    if (!dir) return lastError();
    while (const dirent* entry = ::readdir(dir.get())) {
      const std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      FolderItem item;
      item.name = name;
      item.hiddenSystem = hiddenSystem(joinPath(path, name));
      names.push_back(std::move(item));
    }
    return 0;
  }

  OsErrorCode volumeSpace(const std::string& folder, VolumeSpace& space) override {
    struct statvfs vfs {};
    if (::statvfs(folder.c_str(), &vfs) != 0) return lastError();
    const std::uint64_t unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
    space.freeBytes = static_cast<std::uint64_t>(vfs.f_bavail) * unit;
    space.clusterBytes = unit;
    // vfat does not tell FAT12/16 from FAT32: taken as FAT32, whose root
    // is not limited, so nothing that would fit is refused. Through FUSE
    // the file system is not known.
    struct statfs fs {};
    if (::statfs(folder.c_str(), &fs) == 0) {
      const long magic = static_cast<long>(fs.f_type);
      space.fileSystem = magic == kMsdosMagic   ? FileSystem::Fat32
                         : magic == kExfatMagic ? FileSystem::ExFat
                         : magic == kFuseMagic  ? FileSystem::Unknown
                                                : FileSystem::Other;
    }
    space.caseBlind =
        space.fileSystem == FileSystem::Fat32 || space.fileSystem == FileSystem::ExFat;
    // The root of a mount: its parent lies on another device, or is itself.
    struct stat here {
    }, up{};
    if (::stat(folder.c_str(), &here) == 0 && ::stat(joinPath(folder, "..").c_str(), &up) == 0) {
      space.root = here.st_dev != up.st_dev || here.st_ino == up.st_ino;
    }
    return 0;
  }

  std::string comparablePath(const std::string& path) override {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) return {};
    return resolved;
  }

  OsErrorCode readTimes(const std::string& path, EntryTimes& times) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return lastError();
    times = timesOf(st);
    return 0;
  }

  OsErrorCode createFolder(const std::string& path) override {
    return ::mkdir(path.c_str(), 0777) == 0 ? 0 : lastError();
  }

  OsErrorCode copyFile(const std::string& from, OpenedSource opened, const std::string& to,
                       const StopRequested& stop, bool flush, bool& created) override {
    created = false;
    auto* held = dynamic_cast<OpenedFile*>(opened.get());
    const Fd source = held ? std::move(held->fd) : Fd(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (source.get() < 0) return lastError();
    struct stat st {};
    if (::fstat(source.get(), &st) != 0) return lastError();
    Fd target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777));
    if (target.get() < 0) return lastError();
    created = true;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    std::uint64_t done = 0;
    while (done < size) {
      if (stop && stop()) return kErrorRequestAborted;
      const ssize_t copied =
          ::copy_file_range(source.get(), nullptr, target.get(), nullptr, kPiece, 0);
      if (copied == 0) break;  // the file has shrunk meanwhile: compared below
      if (copied < 0) {
        // Across file systems on older kernels, or where the file system
        // cannot: the plain way, from where it stands.
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) {
          if (const OsErrorCode error = copyByReading(source.get(), target.get(), stop, done)) {
            return error;
          }
          break;
        }
        return lastError();
      }
      done += static_cast<std::uint64_t>(copied);
    }
    if (done != size) return kErrorHandleEof;
    // The times the source had before it was read.
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(target.get(), times) != 0) return lastError();
    if (flush && ::fsync(target.get()) != 0) return lastError();
    // A full card may only say so when the data is written out.
    return ::close(target.release()) == 0 ? 0 : lastError();
  }

  OsErrorCode setTimes(const std::string& path, const EntryTimes& times, bool /*folder*/) override {
    timespec values[2];
    values[0] = times.lastAccess ? toTimespec(times.lastAccess) : timespec{0, UTIME_OMIT};
    values[1] = times.lastWrite ? toTimespec(times.lastWrite) : timespec{0, UTIME_OMIT};
    return ::utimensat(AT_FDCWD, path.c_str(), values, 0) == 0 ? 0 : lastError();
  }

  OsErrorCode removeFile(const std::string& path) override {
    return ::unlink(path.c_str()) == 0 ? 0 : lastError();
  }

  OsErrorCode volumeFacts(const std::string& folder, VolumeFacts& facts) override {
    struct statfs fs {};
    if (::statfs(folder.c_str(), &fs) != 0) return lastError();
    facts.readOnly = (fs.f_flags & ST_RDONLY) != 0;
    switch (static_cast<unsigned long>(fs.f_type)) {
      case MSDOS_SUPER_MAGIC:
        facts.fileSystem = "FAT";
        return 0;
      case 0x2011BAB0UL:  // exfat
        facts.fileSystem = "exFAT";
        return 0;
      case 0x5346544EUL:  // ntfs, ntfs3
        facts.fileSystem = "NTFS";
        return 0;
      case 0x65735546UL:  // FUSE: whatever runs behind it
        return kErrorNotSupported;
      default:
        // Linux's own file systems keep no order of writing a player sees;
        // named by number, they fall among the unknown.
        facts.fileSystem = "0x" + [](unsigned long type) {
          char text[20];
          std::snprintf(text, sizeof(text), "%lX", type);
          return std::string(text);
        }(static_cast<unsigned long>(fs.f_type));
        return 0;
    }
  }

  OsErrorCode moveEntry(const std::string& from, const std::string& to) override {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return lastError();
    // A file system that cannot promise not to replace (FUSE, some older
    // ones): look first, then rename.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return kErrorAlreadyExists;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : lastError();
  }

  OsErrorCode openExclusive(const std::string& path) override {
    // POSIX has no share modes: a lock that another program holds is the
    // nearest sign that it is using the file.
    const Fd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return lastError();
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
      return errno == EWOULDBLOCK ? kErrorSharingViolation : lastError();
    }
    return 0;  // closing the file lets the lock go
  }

  OsErrorCode writeNewFile(const std::string& path, std::string_view bytes) override {
    Fd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.get() < 0) return lastError();
    for (std::size_t written = 0; written < bytes.size();) {
      const ssize_t put = ::write(file.get(), bytes.data() + written, bytes.size() - written);
      if (put < 0) return lastError();
      written += static_cast<std::size_t>(put);
    }
    return ::close(file.release()) == 0 ? 0 : lastError();
  }

  OsErrorCode readWholeFile(const std::string& path, std::string& bytes) override {
    bytes.clear();
    const Fd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return lastError();
    char buffer[16 * 1024];
    for (;;) {
      const ssize_t got = ::read(file.get(), buffer, sizeof(buffer));
      if (got < 0) return lastError();
      if (got == 0) return 0;
      bytes.append(buffer, static_cast<std::size_t>(got));
    }
  }

  OsErrorCode removeFolder(const std::string& path) override {
    return ::rmdir(path.c_str()) == 0 ? 0 : lastError();
  }

  OsErrorCode entryIndex(const std::string& path, std::uint64_t& index) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return lastError();
    index = static_cast<std::uint64_t>(st.st_ino);
    return 0;
  }

  OsErrorCode listIndexes(const std::string& path, std::vector<IndexedItem>& items) override {
    items.clear();
    std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
    if (!dir) return lastError();
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
      const std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      // The inode stat gives, as entryIndex does: readdir's may differ on
      // a stacked file system.
      struct stat st {};
      if (::fstatat(dirFd, entry->d_name, &st, 0) != 0) return lastError();
      items.push_back({std::string(name), static_cast<std::uint64_t>(st.st_ino),
                       hiddenSystem(joinPath(path, std::string(name)))});
    }
    return 0;
  }
};

}  // namespace

CopyOps& systemCopyOps() {
  static SystemCopyOps ops;  // no state of its own
  return ops;
}

}  // namespace platform
