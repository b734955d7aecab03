// Files read at offsets on POSIX: pread on a descriptor. Anything but a
// regular file (a folder, a FIFO, a device) is refused, so no read blocks.
#include "platform/random_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/unique_fd.h"

namespace platform {

namespace {

class DescriptorFile : public RandomAccessFile {
 public:
  DescriptorFile(posix::UniqueFd fd, std::uint64_t size) : fd_(std::move(fd)), size_(size) {}

  std::uint64_t size() const override { return size_; }

  std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
    std::size_t got = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (got < count) {
      const ssize_t n =
          ::pread(fd_.get(), bytes + got, count - got, static_cast<off_t>(offset + got));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    return got;
  }

 private:
  posix::UniqueFd fd_;
  std::uint64_t size_;
};

}  // namespace

std::unique_ptr<RandomAccessFile> openRandomAccess(const std::string& path) {
  // O_NONBLOCK: a FIFO among the entries must not hold the open.
  posix::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (fd.get() < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  return std::make_unique<DescriptorFile>(std::move(fd), static_cast<std::uint64_t>(st.st_size));
}

}  // namespace platform
