#include "capturetime/file_bytes.h"

#include <algorithm>

namespace capturetime {

FileBytes::FileBytes(platform::RandomAccessFile& file, std::size_t blockSize)
    : file_(file), size_(file.size()), blockSize_(blockSize) {}

const std::uint8_t* FileBytes::view(std::uint64_t offset, std::size_t count) {
  if (count > kMaxView || !within(offset, count, size_)) return nullptr;
  if (offset >= blockStart_ && within(offset - blockStart_, count, block_.size())) {
    return block_.data() + (offset - blockStart_);
  }
  if (reads_ >= kMaxReads) return nullptr;
  ++reads_;
  const std::size_t wanted = static_cast<std::size_t>(
      std::min<std::uint64_t>(std::max(count, blockSize_), size_ - offset));
  block_.resize(wanted);
  const std::size_t got = file_.readAt(offset, block_.data(), wanted);
  block_.resize(got);
  blockStart_ = offset;
  if (got < count) return nullptr;
  return block_.data();
}

}  // namespace capturetime
