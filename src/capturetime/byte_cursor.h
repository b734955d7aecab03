#pragma once

// Numbers taken one after another out of bytes in memory, in either byte
// order; a cursor that runs past its end fails from then on and reads 0.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace capturetime {

class ByteCursor {
 public:
  ByteCursor(const std::uint8_t* data, std::size_t size, bool bigEndian = true)
      : data_(data), size_(size), bigEndian_(bigEndian) {}

  bool ok() const { return ok_; }
  std::size_t position() const { return position_; }
  std::size_t left() const { return ok_ ? size_ - position_ : 0; }

  // An unsigned number of 0 to 8 bytes.
  std::uint64_t number(std::size_t bytes) {
    if (!take(bytes)) return 0;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
      const std::size_t at = bigEndian_ ? i : bytes - 1 - i;
      value = value << 8 | data_[position_ - bytes + at];
    }
    return value;
  }
  std::uint8_t u8() { return static_cast<std::uint8_t>(number(1)); }
  std::uint16_t u16() { return static_cast<std::uint16_t>(number(2)); }
  std::uint32_t u32() { return static_cast<std::uint32_t>(number(4)); }
  std::uint64_t u64() { return number(8); }

  std::string_view text(std::size_t bytes) {
    if (!take(bytes)) return {};
    return {reinterpret_cast<const char*>(data_ + position_ - bytes), bytes};
  }
  void skip(std::size_t bytes) { take(bytes); }

 private:
  bool take(std::size_t bytes) {
    if (!ok_ || bytes > size_ - position_) {
      ok_ = false;
      return false;
    }
    position_ += bytes;
    return true;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  bool bigEndian_;
  std::size_t position_ = 0;
  bool ok_ = true;
};

}  // namespace capturetime
