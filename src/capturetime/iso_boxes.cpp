#include "capturetime/iso_boxes.h"

#include "capturetime/byte_cursor.h"

namespace capturetime {

std::optional<Box> readBox(FileBytes& bytes, std::uint64_t at, std::uint64_t end) {
  if (!FileBytes::within(at, 8, end)) return std::nullopt;
  const std::uint8_t* head = bytes.view(at, 8);
  if (!head) return std::nullopt;
  ByteCursor cursor(head, 8);
  Box box;
  box.start = at;
  std::uint64_t size = cursor.u32();
  box.type = cursor.u32();
  box.body = at + 8;
  if (size == 1) {
    if (!FileBytes::within(at, 16, end)) return std::nullopt;
    const std::uint8_t* large = bytes.view(at + 8, 8);
    if (!large) return std::nullopt;
    size = ByteCursor(large, 8).u64();
    box.body = at + 16;
    if (size < 16) return std::nullopt;
  } else if (size == 0) {
    size = end - at;
  } else if (size < 8) {
    return std::nullopt;
  }
  if (!FileBytes::within(at, size, end)) return std::nullopt;
  box.end = at + size;
  return box;
}

std::optional<Box> findBox(FileBytes& bytes, std::uint64_t from, std::uint64_t end,
                           std::uint32_t type) {
  std::optional<Box> found;
  forEachBox(bytes, from, end, [&](const Box& box) {
    if (box.type != type) return true;
    found = box;
    return false;
  });
  return found;
}

}  // namespace capturetime
