#include "folderlist/numeric_name_sort.h"

#include <bit>
#include <string>
#include <string_view>
#include <vector>

#include "folderlist/key_slots.h"
#include "folderlist/row_sort.h"

namespace folderlist {

namespace {

// About what a merge sort of n names asks of the comparison.
std::size_t comparisonSortCost(std::size_t n) {
  return n * static_cast<std::size_t>(std::bit_width(n));
}

// The rows in the order of the collation's sort keys, equal keys in their
// given order.
std::vector<std::uint32_t> keyOrder(const std::vector<std::string_view>& names, bool descending,
                                    platform::NumericCollation& collation) {
  std::string keys;
  keys.reserve(names.size() * 32);
  std::vector<KeySlot> slots;
  slots.reserve(names.size());
  for (std::size_t row = 0; row < names.size(); ++row) {
    const std::size_t offset = keys.size();
    collation.appendSortKey(names[row], keys);
    slots.push_back({0, offset, static_cast<std::uint32_t>(keys.size() - offset),
                     static_cast<std::uint32_t>(row)});
  }
  for (KeySlot& slot : slots) slot = keySlot(keys, slot.offset, slot.length, slot.row);
  sortKeySlots(slots, keys, descending);
  return rowsOf(slots);
}

}  // namespace

std::vector<std::uint32_t> numericNameOrder(const std::vector<std::string_view>& names,
                                            bool descending, platform::NumericCollation& collation,
                                            NumericSortCounts* counts) {
  NumericSortCounts own;
  NumericSortCounts& tally = counts ? *counts : own;
  tally = {};
  const std::size_t n = names.size();
  std::vector<std::uint32_t> order = keyOrder(names, descending, collation);
  if (n < 2) return order;

  // Whether name a goes before name b: the comparison's order in the
  // wanted direction, names it finds equal in their given order.
  const auto goesBefore = [&](std::uint32_t a, std::uint32_t b) {
    ++tally.comparisons;
    int result = collation.compare(names[a], names[b]);
    if (descending) result = -result;
    return result < 0 || (result == 0 && a < b);
  };

  // inOrder[i]: the names at i - 1 and i stand as they should.
  std::vector<bool> inOrder(n, true);
  for (std::size_t i = 1; i < n; ++i) {
    if (!goesBefore(order[i - 1], order[i])) {
      inOrder[i] = false;
      ++tally.pairsOutOfOrder;
    }
  }
  if (tally.pairsOutOfOrder == 0) return order;

  // The insertion pass: the names before i stand in the comparison's order,
  // name i goes left past every name it goes before. Its left neighbour is
  // still the one the check saw unless the name before it moved; then the
  // check's answer holds without asking again.
  const std::size_t budget = tally.comparisons + comparisonSortCost(n);
  bool leftUnmoved = true;
  for (std::size_t i = 1; i < n; ++i) {
    const std::uint32_t name = order[i];
    if (leftUnmoved && inOrder[i]) continue;
    std::size_t place = i;
    if (leftUnmoved) {  // known out of order
      order[place] = order[place - 1];
      --place;
    }
    while (place > 0 && goesBefore(name, order[place - 1])) {
      order[place] = order[place - 1];
      --place;
      if (tally.comparisons > budget) break;
    }
    if (tally.comparisons > budget) {
      tally.comparisonSort = true;
      return collation.stableOrder(names, descending);
    }
    order[place] = name;
    leftUnmoved = place == i;
  }
  return order;
}

ListMarks sortRowsByNumericName(EntryRows& rows, const ListMarks& marks, bool descending,
                                platform::NumericCollation& collation, NumericSortCounts* counts) {
  if (rows.size() < 2) {
    if (counts) *counts = {};
    return marks;
  }
  std::vector<std::string_view> names;
  names.reserve(rows.size());
  for (const ListEntry& entry : rows) names.push_back(entry.name);
  return reorderRows(rows, marks, numericNameOrder(names, descending, collation, counts));
}

}  // namespace folderlist
