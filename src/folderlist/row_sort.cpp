#include "folderlist/row_sort.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "folderlist/column_sort.h"

namespace folderlist {

namespace {

// One row's place in the sort: its key in the shared key buffer, with the
// key's first eight bytes as a big-endian number, so most comparisons need
// no memory beyond the slot itself.
struct Slot {
  std::uint64_t head;
  std::size_t offset;
  std::uint32_t length;
  std::uint32_t row;
};

std::uint64_t headOf(std::string_view key) {
  std::uint64_t head = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    head <<= 8;
    if (i < key.size()) head |= static_cast<unsigned char>(key[i]);
  }
  return head;
}

// The slots of all rows, each with the key of its column text. Texts that
// repeat (the kind column has two, times often repeat) are keyed once.
std::vector<Slot> keyedSlots(const EntryRows& rows, std::int32_t column,
                             platform::TextCollation& collation, std::string& keys) {
  std::vector<Slot> slots;
  slots.reserve(rows.size());
  keys.reserve(rows.size() * 24);
  std::unordered_map<std::string_view, std::pair<std::size_t, std::uint32_t>> keyed;
  const bool repeats = column != kNameColumn;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    const std::string& text = *columnText(rows[row], column);
    std::pair<std::size_t, std::uint32_t> place;
    auto found = repeats ? keyed.find(text) : keyed.end();
    if (found != keyed.end()) {
      place = found->second;
    } else {
      const std::size_t offset = keys.size();
      collation.appendSortKey(text, keys);
      place = {offset, static_cast<std::uint32_t>(keys.size() - offset)};
      if (repeats) keyed.emplace(text, place);
    }
    slots.push_back({0, place.first, place.second, static_cast<std::uint32_t>(row)});
  }
  for (Slot& slot : slots)
    slot.head = headOf(std::string_view(keys).substr(slot.offset, slot.length));
  return slots;
}

}  // namespace

void sortRows(EntryRows& rows, platform::ListMarks& marks, std::int32_t column, bool descending,
              platform::TextCollation& collation) {
  if (rows.size() < 2 || !columnText(rows.front(), column)) return;

  std::string keys;
  std::vector<Slot> slots = keyedSlots(rows, column, collation, keys);
  const std::string_view all(keys);
  const auto less = [all](const Slot& a, const Slot& b) {
    if (a.head != b.head) return a.head < b.head;
    return all.substr(a.offset, a.length) < all.substr(b.offset, b.length);
  };
  if (descending) {
    std::stable_sort(slots.begin(), slots.end(),
                     [&less](const Slot& a, const Slot& b) { return less(b, a); });
  } else {
    std::stable_sort(slots.begin(), slots.end(), less);
  }

  // Where each row goes.
  std::vector<std::uint32_t> target(rows.size());
  for (std::size_t place = 0; place < slots.size(); ++place) {
    target[slots[place].row] = static_cast<std::uint32_t>(place);
  }

  const auto moved = [&target](int row) {
    return row >= 0 && static_cast<std::size_t>(row) < target.size()
               ? static_cast<int>(target[static_cast<std::size_t>(row)])
               : row;
  };
  for (int& row : marks.selected) row = moved(row);
  std::sort(marks.selected.begin(), marks.selected.end());
  marks.focused = moved(marks.focused);
  marks.selectionMark = moved(marks.selectionMark);

  // In place, cycle by cycle: no second copy of the rows.
  for (std::size_t row = 0; row < rows.size(); ++row) {
    while (target[row] != row) {
      const std::uint32_t to = target[row];
      std::swap(rows[row], rows[to]);
      std::swap(target[row], target[to]);
    }
  }
}

}  // namespace folderlist
