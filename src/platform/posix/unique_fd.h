#pragma once

// An open file descriptor, closed when it goes.

#include <unistd.h>

#include <utility>

namespace platform::posix {

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Hands the descriptor over without closing it.
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

}  // namespace platform::posix
