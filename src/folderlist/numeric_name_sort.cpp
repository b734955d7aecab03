#include "folderlist/numeric_name_sort.h"

#include <algorithm>
#include <bit>
#include <string_view>
#include <utility>
#include <vector>

#include "folderlist/checked_key_order.h"
#include "folderlist/parts_on_threads.h"
#include "folderlist/row_sort.h"

namespace folderlist {

namespace {

// About what a merge sort of n names asks of the comparison.
std::size_t comparisonSortCost(std::size_t n) {
  return n * static_cast<std::size_t>(std::bit_width(n));
}

// Below this many names a thread of its own costs more than it saves.
constexpr std::size_t kLeastPerThread = 4096;

}  // namespace

std::vector<std::uint32_t> numericNameOrder(const std::vector<std::string_view>& names,
                                            bool descending, platform::NumericCollation& collation,
                                            NumericSortCounts* counts) {
  return numericNameOrderOn(names, descending, collation, threadsFor(names.size(), kLeastPerThread),
                            counts);
}

std::vector<std::uint32_t> numericNameOrderOn(const std::vector<std::string_view>& names,
                                              bool descending,
                                              platform::NumericCollation& collation,
                                              std::size_t threads, NumericSortCounts* counts) {
  NumericSortCounts own;
  NumericSortCounts& tally = counts ? *counts : own;
  tally = {};
  const std::size_t n = names.size();
  CheckedKeyOrder checked = checkedKeyOrder(names, descending, collation, threads);
  std::vector<std::uint32_t> order = std::move(checked.order);
  if (n > 0) tally.comparisons += n - 1;
  // inOrder[i]: the names at i - 1 and i stand as the comparison wants.
  std::vector<bool> inOrder(n, true);
  for (std::size_t i = 1; i < n; ++i) {
    const int result = descending ? -checked.compared[i - 1] : checked.compared[i - 1];
    // Names the comparison finds equal keep their given order.
    if (!(result < 0 || (result == 0 && order[i - 1] < order[i]))) {
      inOrder[i] = false;
      ++tally.pairsOutOfOrder;
    }
  }
  if (tally.pairsOutOfOrder == 0) return order;

  // Whether name a goes before name b: the comparison's order in the
  // wanted direction, names it finds equal in their given order.
  const auto goesBefore = [&](std::uint32_t a, std::uint32_t b) {
    ++tally.comparisons;
    int result = collation.compare(names[a], names[b]);
    if (descending) result = -result;
    return result < 0 || (result == 0 && a < b);
  };

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
