#include "folderlist/numeric_name_sort.h"

#include <algorithm>
#include <bit>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "folderlist/key_slots.h"
#include "folderlist/parts_on_threads.h"
#include "folderlist/row_sort.h"

namespace folderlist {

namespace {

// About what a merge sort of n names asks of the comparison.
std::size_t comparisonSortCost(std::size_t n) {
  return n * static_cast<std::size_t>(std::bit_width(n));
}

// Below this many names or neighbours a thread of its own costs more than
// it saves.
constexpr std::size_t kLeastPerThread = 4096;

// A part of the rows in their given order, keyed and sorted by itself.
struct KeyedPart {
  std::string keys;
  std::vector<KeySlot> slots;
};

// The rows in the order of the collation's sort keys, equal keys in their
// given order. A long list is cut into a part for each core, each part keyed
// and sorted on a thread of its own, and the sorted parts merged.
std::vector<std::uint32_t> keyOrder(const std::vector<std::string_view>& names, bool descending,
                                    const platform::NumericCollation& collation) {
  const std::size_t n = names.size();
  const std::size_t parts = threadsFor(n, kLeastPerThread);
  const std::size_t each = (n + parts - 1) / parts;
  std::vector<KeyedPart> keyed(parts);
  runParts(parts, parts, [&](std::size_t part) {
    const std::size_t first = std::min(part * each, n);
    const std::size_t count = std::min(each, n - first);
    KeyedPart& own = keyed[part];
    std::vector<std::size_t> ends;
    ends.reserve(count);
    own.keys.reserve(count * 32);
    collation.appendSortKeys(std::span(names).subspan(first, count), own.keys, ends);
    own.slots.reserve(count);
    std::size_t offset = 0;
    for (std::size_t k = 0; k < count; ++k) {
      own.slots.push_back(keySlot(own.keys, offset, static_cast<std::uint32_t>(ends[k] - offset),
                                  static_cast<std::uint32_t>(first + k)));
      offset = ends[k];
    }
    sortKeySlots(own.slots, own.keys, descending);
  });
  // The parts' keys in one buffer, the first part's where it stands.
  std::string keys = std::move(keyed[0].keys);
  std::vector<KeySlot> slots = std::move(keyed[0].slots);
  slots.reserve(n);
  std::vector<std::size_t> runEnds{slots.size()};
  for (std::size_t part = 1; part < parts; ++part) {
    const std::size_t base = keys.size();
    keys += keyed[part].keys;
    for (KeySlot slot : keyed[part].slots) {
      slot.offset += base;
      slots.push_back(slot);
    }
    runEnds.push_back(slots.size());
  }
  mergeKeySlotRuns(slots, std::move(runEnds), keys, descending);
  return rowsOf(slots);
}

// inOrder[i]: the names at i - 1 and i stand as they should (first always).
// Most of what the sort costs, since each comparison reads both names from
// their start and neighbours share long beginnings; every pair stands alone,
// so a long list is checked on every core. In one part a thread: finer parts
// taken in turn kept both threads in the same stretch of costly names (other
// scripts than Latin), and under Wine the two then waited on each other.
std::vector<bool> checkNeighbours(const std::vector<std::string_view>& names,
                                  const std::vector<std::uint32_t>& order, bool descending,
                                  const platform::NumericCollation& collation,
                                  NumericSortCounts& tally) {
  const std::size_t n = order.size();
  const std::size_t threads = threadsFor(n - 1, kLeastPerThread);
  const std::vector<std::int8_t> compared =
      neighbourComparisons(names, order, collation, threads, threads);
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
                                              std::size_t parts, std::size_t threads) {
  const std::size_t pairs = order.size() < 2 ? 0 : order.size() - 1;
  std::vector<std::int8_t> results(pairs);
  if (pairs == 0) return results;
  parts = std::clamp<std::size_t>(parts, 1, pairs);
  // A comparison costs about what its names hold, and names of one kind
  // (other scripts than Latin, say) sort together: the parts are cut to
  // about equal bytes of names, not to equal counts, so that no thread waits
  // long for another.
  std::uint64_t total = 0;
  for (std::size_t k = 0; k < pairs; ++k) total += names[order[k]].size() + 1;
  std::vector<std::size_t> starts{0};
  std::uint64_t sum = 0;
  for (std::size_t k = 0; k < pairs && starts.size() < parts; ++k) {
    sum += names[order[k]].size() + 1;
    if (sum * parts >= total * starts.size() && k + 1 < pairs) starts.push_back(k + 1);
  }
  starts.push_back(pairs);
  const std::span<const std::uint32_t> sequence(order);
  const std::span<std::int8_t> answers(results);
  // A part of `count` pairs reads count + 1 names: its last is the next
  // part's first.
  runParts(starts.size() - 1, threads, [&](std::size_t part) {
    const std::size_t first = starts[part];
    const std::size_t count = starts[part + 1] - first;
    collation.compareNeighbours(names, sequence.subspan(first, count + 1),
                                answers.subspan(first, count));
  });
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
