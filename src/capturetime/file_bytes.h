#pragma once

// The bytes of one file as the format readers see them: views of a few bytes
// at a time, each checked against the file's size, read in blocks so that
// neighbouring small reads cost one read of the file.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/random_access.h"

namespace capturetime {

class FileBytes {
 public:
  // The largest view handed out (a view of kMaxView bytes is given, one
  // byte more is not), and the most reads one file may cost: past either the
  // file is given up, however it is built.
  static constexpr std::size_t kMaxView = 1 << 20;
  static constexpr std::size_t kMaxReads = 65'536;

  explicit FileBytes(platform::RandomAccessFile& file, std::size_t blockSize = 4096);

  std::uint64_t size() const { return size_; }

  // count bytes at offset, valid until the next call; null when they do not
  // lie wholly within the file, or the file does not give them.
  const std::uint8_t* view(std::uint64_t offset, std::size_t count);

  // Whether [offset, offset + length) lies within [0, limit) without overflow.
  static bool within(std::uint64_t offset, std::uint64_t length, std::uint64_t limit) {
    return offset <= limit && length <= limit - offset;
  }

 private:
  platform::RandomAccessFile& file_;
  std::uint64_t size_;
  std::size_t blockSize_;
  std::vector<std::uint8_t> block_;
  std::uint64_t blockStart_ = 0;
  std::size_t reads_ = 0;
};

}  // namespace capturetime
