#pragma once

// The boxes (atoms) of the ISO base media file format, which MP4, MOV, 3GP
// and HEIF share: walked by their headers alone.

#include <cstdint>
#include <optional>
#include <string_view>

#include "capturetime/file_bytes.h"

namespace capturetime {

struct Box {
  std::uint64_t start = 0;  // of its header
  std::uint64_t body = 0;   // where its contents start
  std::uint64_t end = 0;    // one past its last byte
  std::uint32_t type = 0;
};

constexpr std::uint32_t fourCc(std::string_view text) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) << 24 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[3]));
}

// The box whose header stands at `at`, inside a parent ending at `end`: a
// 32-bit size, a 64-bit one (size 1), or the rest of the parent (size 0).
// Nothing when the header or the box does not fit in the parent.
std::optional<Box> readBox(FileBytes& bytes, std::uint64_t at, std::uint64_t end);

// Walks the boxes from `from` to `end` in order, handing each to visit until
// it returns false; ends at the first box that does not fit. The offsets only
// grow, so the walk ends.
template <class Visit>
void forEachBox(FileBytes& bytes, std::uint64_t from, std::uint64_t end, Visit&& visit) {
  std::uint64_t at = from;
  while (at < end) {
    const std::optional<Box> box = readBox(bytes, at, end);
    if (!box || !visit(*box)) return;
    at = box->end;
  }
}

// The first box of that type among the boxes from `from` to `end`.
std::optional<Box> findBox(FileBytes& bytes, std::uint64_t from, std::uint64_t end,
                           std::uint32_t type);

}  // namespace capturetime
