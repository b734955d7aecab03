#pragma once

// Numbers as the bytes a file format stores them, for building files byte by
// byte: big-endian (ISO boxes, Motorola TIFF) and little-endian (Intel TIFF).

#include <cstdint>
#include <string>

namespace fakes {

inline std::string be(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
  return out;
}

inline std::string le(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
  return out;
}

}  // namespace fakes
