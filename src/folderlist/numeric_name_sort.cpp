#include "folderlist/numeric_name_sort.h"

#include <algorithm>
#include <bit>
#include <future>
#include <span>
#include <string>
#include <string_view>
#include <thread>
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

// Below this many neighbours a thread of its own costs more than it saves.
constexpr std::size_t kLeastPerPart = 4096;

}  // namespace

namespace {

// inOrder[i]: the names at i - 1 and i stand as they should (first always).
// Most of what the sort costs, since each comparison reads both names from
// their start and neighbours share long beginnings; every pair stands alone,
// so a long list is checked on every core.
std::vector<bool> checkNeighbours(const std::vector<std::string_view>& names,
                                  const std::vector<std::uint32_t>& order, bool descending,
                                  const platform::NumericCollation& collation,
                                  NumericSortCounts& tally) {
  const std::size_t n = order.size();
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  const std::vector<std::int8_t> compared = neighbourComparisons(
      names, order, collation, std::clamp(n / kLeastPerPart, std::size_t{1}, cores));
  tally.comparisons += n - 1;
  std::vector<bool> inOrder(n, true);
  for (std::size_t i = 1; i < n; ++i) {
    const int result = descending ? -compared[i - 1] : compared[i - 1];
    // Names the comparison finds equal keep their given order.
    if (!(result < 0 || (result == 0 && order[i - 1] < order[i]))) {
      inOrder[i] = false;
      ++tally.pairsOutOfOrder;
    }
  }
  return inOrder;
}

}  // namespace

std::vector<std::int8_t> neighbourComparisons(const std::vector<std::string_view>& names,
                                              const std::vector<std::uint32_t>& order,
                                              const platform::NumericCollation& collation,
                                              std::size_t parts) {
  const std::size_t pairs = order.size() < 2 ? 0 : order.size() - 1;
  std::vector<std::int8_t> results(pairs);
  if (pairs == 0) return results;
  const std::size_t each =
      (pairs + std::max<std::size_t>(parts, 1) - 1) / std::max<std::size_t>(parts, 1);
  const std::span<const std::uint32_t> sequence(order);
  const std::span<std::int8_t> answers(results);
  // A part of `count` pairs reads count + 1 names: its last is the next
  // part's first.
  const auto compare = [&](std::size_t first, std::size_t count) {
    collation.compareNeighbours(names, sequence.subspan(first, count + 1),
                                answers.subspan(first, count));
  };
  std::vector<std::future<void>> others;
  for (std::size_t first = each; first < pairs; first += each) {
    others.push_back(std::async(std::launch::async, compare, first, std::min(each, pairs - first)));
  }
  compare(0, std::min(each, pairs));
  for (std::future<void>& part : others) part.get();  // a part's failure goes on
  return results;
}

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

  const std::vector<bool> inOrder = checkNeighbours(names, order, descending, collation, tally);
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
