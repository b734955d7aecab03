#pragma once

// A file in memory read at offsets, counting what is read, for the capture
// time readers' tests, benchmarks and fuzz target.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/random_access.h"

namespace fakes {

class MemoryRandomAccess : public platform::RandomAccessFile {
 public:
  explicit MemoryRandomAccess(std::string_view bytes) : bytes_(bytes) {}

  std::uint64_t size() const override { return bytes_.size(); }

  std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
    ++reads;
    if (offset >= bytes_.size()) return 0;
    const std::size_t got =
        std::min<std::size_t>(count, bytes_.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, bytes_.data() + offset, got);
    bytesRead += got;
    furthest = std::max<std::uint64_t>(furthest, offset + got);
    return got;
  }

  std::size_t reads = 0;
  std::uint64_t bytesRead = 0;
  std::uint64_t furthest = 0;  // one past the last byte read

 private:
  std::string_view bytes_;
};

}  // namespace fakes
