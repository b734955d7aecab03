#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace folderlist {

// One row's place in a sort by sort keys kept in one shared buffer: its key
// as offset and length, with the key's first eight bytes as a big-endian
// number, so most comparisons need no memory beyond the slot itself.
struct KeySlot {
  std::uint64_t head;
  std::size_t offset;
  std::uint32_t length;
  std::uint32_t row;
};

// The slot of row whose key is keys[offset, offset + length).
KeySlot keySlot(std::string_view keys, std::size_t offset, std::uint32_t length, std::uint32_t row);

// Sort keys kept in one buffer per part of the rows: the keys of rows
// [k * rowsEach, (k + 1) * rowsEach) lie in buffers[k], so that parts keyed
// on threads of their own need not be copied into one buffer.
struct PartedKeys {
  std::vector<std::string> buffers;
  std::size_t rowsEach = 1;

  const char* of(const KeySlot& slot) const { return buffers[slot.row / rowsEach].data(); }
};

// Sorts the slots by their keys as unsigned byte strings, ascending or
// descending. Stable in both directions: slots of equal keys keep their
// order. Two slots of one offset hold one key.
void sortKeySlots(std::span<KeySlot> slots, std::string_view keys, bool descending);

// Whether one slot goes before another by their keys as unsigned byte
// strings, in the wanted direction: sortKeySlots()'s order, for keys kept
// in parts.
class SlotOrder {
 public:
  SlotOrder(const PartedKeys& keys, bool descending) : keys_(&keys), descending_(descending) {}
  bool operator()(const KeySlot& a, const KeySlot& b) const {
    return descending_ ? less(b, a) : less(a, b);
  }

 private:
  bool less(const KeySlot& a, const KeySlot& b) const;
  const PartedKeys* keys_;
  bool descending_;
};

// The rows of the slots, first place first.
std::vector<std::uint32_t> rowsOf(const std::vector<KeySlot>& slots);

}  // namespace folderlist
