#pragma once

// Bytes already in memory read as a file, for an EXIF block a format keeps
// in another form (PNG's raw profile text, in hex) and that is decoded first.

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/random_access.h"

namespace capturetime {

class MemoryFile : public platform::RandomAccessFile {
 public:
  explicit MemoryFile(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

  std::uint64_t size() const override { return bytes_.size(); }
  std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
    if (offset >= bytes_.size()) return 0;
    const std::size_t got = std::min<std::size_t>(count, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, got);
    return got;
  }

 private:
  const std::vector<std::uint8_t>& bytes_;
};

}  // namespace capturetime
