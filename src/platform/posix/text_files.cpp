// Small text files on POSIX. A read-only file is one without any write
// permission bit (as Wine maps the attribute); share modes have no POSIX
// counterpart, so another program's open never makes these fail.
#include "platform/text_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/posix/errno_codes.h"

namespace platform {

namespace {

OsErrorCode lastError() { return mapErrno(errno); }

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

class FdReadStream : public ReadStream {
 public:
  explicit FdReadStream(int fd) : fd_(fd) {}
  FdReadStream(const FdReadStream&) = delete;
  FdReadStream& operator=(const FdReadStream&) = delete;
  ~FdReadStream() override { ::close(fd_); }

  OsErrorCode read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = 0;
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, capacity);
      if (n >= 0) {
        got = static_cast<std::size_t>(n);
        return 0;
      }
      if (errno != EINTR) return lastError();
    }
  }

 private:
  int fd_;
};

class FdWriteStream : public WriteStream {
 public:
  explicit FdWriteStream(int fd) : fd_(fd) {}
  FdWriteStream(const FdWriteStream&) = delete;
  FdWriteStream& operator=(const FdWriteStream&) = delete;
  ~FdWriteStream() override { close(); }

  OsErrorCode write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        return lastError();
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
  }

  OsErrorCode flush() override { return ::fsync(fd_) == 0 ? 0 : lastError(); }

  OsErrorCode close() override {
    if (fd_ < 0) return 0;
    const int fd = fd_;
    fd_ = -1;
    // The descriptor is gone even when close reports an error.
    return ::close(fd) == 0 ? 0 : lastError();
  }

 private:
  int fd_;
};

class PosixTextFiles : public TextFiles {
 public:
  bool fileExists(const std::string& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  }

  Opened<ReadStream> openForReading(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return {nullptr, lastError()};
    return {std::make_unique<FdReadStream>(fd), 0};
  }

  OsErrorCode checkWritable(const std::string& path) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return lastError();
    // Windows refuses to write a read-only file whoever asks, root included.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return kErrorAccessDenied;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return lastError();
    ::close(fd);
    return 0;
  }

  Opened<WriteStream> create(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return {nullptr, lastError()};
    return {std::make_unique<FdWriteStream>(fd), 0};
  }

  OsErrorCode replace(const std::string& from, const std::string& to) override {
    struct stat st {};
    // rename would put a file in the place of an empty folder.
    if (::stat(to.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return kErrorAccessDenied;
    if (::rename(from.c_str(), to.c_str()) != 0) return lastError();
    // The new name lasts once the folder holding it is on disk.
    const int folder = ::open(folderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return lastError();
    const int synced = ::fsync(folder);
    const int error = errno;
    ::close(folder);
    return synced == 0 ? 0 : mapErrno(error);
  }

  OsErrorCode remove(const std::string& path) override {
    return ::unlink(path.c_str()) == 0 ? 0 : lastError();
  }
};

}  // namespace

TextFiles& systemTextFiles() {
  static PosixTextFiles files;  // stateless
  return files;
}

}  // namespace platform
