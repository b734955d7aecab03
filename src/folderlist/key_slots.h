#pragma once

#include <cstddef>
#include <cstdint>
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

// Sorts the slots by their keys as unsigned byte strings, ascending or
// descending. Stable in both directions: slots of equal keys keep their
// order. Two slots of one offset hold one key.
void sortKeySlots(std::vector<KeySlot>& slots, std::string_view keys, bool descending);

// Merges runs of slots that follow one another, each sorted by
// sortKeySlots() in the same direction, into one sorted sequence. runEnds
// holds where each run ends, the last at slots.size(). At equal keys a slot
// of an earlier run goes first: runs of rows cut from their given order
// merge into the stable sort of them all.
void mergeKeySlotRuns(std::vector<KeySlot>& slots, std::vector<std::size_t> runEnds,
                      std::string_view keys, bool descending);

// The rows of the slots, first place first.
std::vector<std::uint32_t> rowsOf(const std::vector<KeySlot>& slots);

}  // namespace folderlist
