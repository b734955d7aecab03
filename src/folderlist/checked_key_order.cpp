#include "folderlist/checked_key_order.h"

#include <algorithm>
#include <atomic>
#include <span>
#include <string>
#include <thread>

#include "folderlist/key_slots.h"
#include "folderlist/parts_on_threads.h"

namespace folderlist {

namespace {

// About what comparing a name costs: the comparison reads it character by
// character. Names of one kind sort together, so stretches are cut to
// about equal bytes of names, not to equal counts, that no thread waits
// long for another.
std::uint64_t comparisonCost(std::string_view name) { return name.size() + 1; }

// Bytes of other scripts than Latin: the comparison costs more on them.
std::uint64_t foreignBytes(std::string_view name) {
  return static_cast<std::uint64_t>(
      std::count_if(name.begin(), name.end(), [](char c) { return (c & 0x80) != 0; }));
}

// Parts of the rows keyed and sorted for each thread: small enough to sort
// within the processor's cache, and a thread that starts late (a few
// milliseconds under Wine) finds parts left; few enough that merging the
// parts asks little.
std::size_t partsFor(std::size_t threads) { return std::min<std::size_t>(threads * 4, 16); }

// Each name's slot, its key in the buffer of its part: the rows cut into
// parts in their given order, each part keyed and sorted on a thread.
// partEnds: where each part's slots end.
std::vector<KeySlot> sortedParts(const std::vector<std::string_view>& names,
                                 const platform::NumericCollation& collation, bool descending,
                                 PartsTeam& team, PartedKeys& keys,
                                 std::vector<std::size_t>& partEnds) {
  const std::size_t n = names.size();
  const std::size_t parts = partsFor(team.threads());
  keys.buffers.assign(parts, {});
  keys.rowsEach = std::max<std::size_t>(1, (n + parts - 1) / parts);
  partEnds.clear();
  for (std::size_t part = 0; part < parts; ++part) {
    partEnds.push_back(std::min((part + 1) * keys.rowsEach, n));
  }
  const SlotOrder before(keys, descending);
  std::vector<KeySlot> slots(n);
  team.run(parts, [&](std::size_t part) {
    const std::size_t first = std::min(part * keys.rowsEach, n);
    const std::size_t count = partEnds[part] - first;
    std::string& own = keys.buffers[part];
    std::vector<std::size_t> ends;
    ends.reserve(count);
    own.reserve(count * 48);
    collation.appendSortKeys(std::span(names).subspan(first, count), own, ends);
    std::size_t offset = 0;
    for (std::size_t k = 0; k < count; ++k) {
      slots[first + k] = keySlot(own, offset, static_cast<std::uint32_t>(ends[k] - offset),
                                 static_cast<std::uint32_t>(first + k));
      offset = ends[k];
    }
    const auto from = slots.begin() + static_cast<std::ptrdiff_t>(first);
    std::stable_sort(from, from + static_cast<std::ptrdiff_t>(count), before);
  });
  return slots;
}

// How the keys' order is cut into stretches, judged from a sample of the
// names: a slot goes to the stretch of the last cut it does not go before.
struct StretchPlan {
  std::vector<KeySlot> cuts;
  // The stretches, the one of most names of other scripts first.
  std::vector<std::size_t> costliestFirst;
};

StretchPlan planStretches(const std::vector<std::string_view>& names,
                          const std::vector<KeySlot>& slots, const SlotOrder& before,
                          std::size_t stretches) {
  StretchPlan plan;
  if (stretches < 2) {
    plan.costliestFirst = {0};
    return plan;
  }
  const std::size_t step = std::max<std::size_t>(1, slots.size() / (stretches * 1024));
  std::vector<KeySlot> sample;
  for (std::size_t k = 0; k < slots.size(); k += step) sample.push_back(slots[k]);
  std::sort(sample.begin(), sample.end(), before);
  std::uint64_t total = 0;
  for (const KeySlot& slot : sample) total += comparisonCost(names[slot.row]);
  std::vector<std::uint64_t> foreign(1, 0);
  std::uint64_t sum = 0;
  for (const KeySlot& slot : sample) {
    if (plan.cuts.size() + 1 < stretches && sum * stretches >= total * (plan.cuts.size() + 1)) {
      plan.cuts.push_back(slot);
      foreign.push_back(0);
    }
    sum += comparisonCost(names[slot.row]);
    foreign.back() += foreignBytes(names[slot.row]);
  }
  plan.costliestFirst.resize(foreign.size());
  for (std::size_t t = 0; t < foreign.size(); ++t) plan.costliestFirst[t] = t;
  std::stable_sort(plan.costliestFirst.begin(), plan.costliestFirst.end(),
                   [&](std::size_t a, std::size_t b) { return foreign[a] > foreign[b]; });
  return plan;
}

// One stretch of the keys' order: the sorted parts' slots in it, its rows
// once merged, and the comparison of each row with the next. The merge and
// the comparisons run on different threads at once: merged tells how many
// rows stand in place.
struct Stretch {
  struct Range {
    std::vector<KeySlot>::const_iterator next, end;
  };
  std::vector<Range> ranges;
  std::vector<std::uint32_t> rows;
  std::vector<std::int8_t> compared;
  std::atomic<std::size_t> merged{0};
};

// Each sorted part's slots between the cuts around stretch t.
void findRanges(Stretch& stretch, const std::vector<KeySlot>& slots,
                const std::vector<std::size_t>& partEnds, const std::vector<KeySlot>& cuts,
                std::size_t t, const SlotOrder& before) {
  std::size_t count = 0;
  auto partBegin = slots.begin();
  for (const std::size_t partEnd : partEnds) {
    const auto partStop = slots.begin() + static_cast<std::ptrdiff_t>(partEnd);
    const auto from =
        t == 0 ? partBegin : std::partition_point(partBegin, partStop, [&](const KeySlot& s) {
          return before(s, cuts[t - 1]);
        });
    const auto to =
        t == cuts.size() ? partStop : std::partition_point(from, partStop, [&](const KeySlot& s) {
          return before(s, cuts[t]);
        });
    if (from != to) stretch.ranges.push_back({from, to});
    count += static_cast<std::size_t>(to - from);
    partBegin = partStop;
  }
  stretch.rows.resize(count);
  stretch.compared.resize(count == 0 ? 0 : count - 1);
}

// Rows merged or compared between two looks at the other thread's progress.
constexpr std::size_t kStep = 1024;

// Merges the stretch's ranges into its rows; at equal keys the earlier
// part's first, so that equal keys keep their given order.
void mergeStretch(Stretch& stretch, const SlotOrder& before) {
  std::vector<Stretch::Range>& ranges = stretch.ranges;
  std::size_t place = 0;
  while (!ranges.empty()) {
    std::size_t first = 0;
    for (std::size_t r = 1; r < ranges.size(); ++r) {
      if (before(*ranges[r].next, *ranges[first].next)) first = r;
    }
    stretch.rows[place++] = ranges[first].next->row;
    if (++ranges[first].next == ranges[first].end) {
      ranges.erase(ranges.begin() + static_cast<std::ptrdiff_t>(first));
    }
    if (place % kStep == 0) stretch.merged.store(place, std::memory_order_release);
  }
  stretch.merged.store(place, std::memory_order_release);
}

// Compares each row of the stretch with the next as the merge puts them in
// place.
void compareStretch(Stretch& stretch, const std::vector<std::string_view>& names,
                    const platform::NumericCollation& collation) {
  const std::span<const std::uint32_t> rows(stretch.rows);
  const std::span<std::int8_t> compared(stretch.compared);
  std::size_t from = 0;
  while (from < compared.size()) {
    const std::size_t upTo = std::min(rows.size(), from + kStep + 1);
    while (stretch.merged.load(std::memory_order_acquire) < upTo) std::this_thread::yield();
    collation.compareNeighbours(names, rows.subspan(from, upTo - from),
                                compared.subspan(from, upTo - from - 1));
    from = upTo - 1;
  }
}

}  // namespace

// The comparisons are most of what the sort costs, since each reads both
// names from their start and neighbours share long beginnings. So the key
// order is cut by key into stretches, each compared on a thread of its own,
// and only the pairs that straddle two stretches are compared afterwards.
// Each stretch is merged from the sorted parts on one thread and compared
// on another behind it, the costliest stretch first: the stretch of names
// of other scripts (which sort together) is compared on one thread and
// begins at once. Under Wine two threads comparing such names wait on each
// other.
CheckedKeyOrder checkedKeyOrder(const std::vector<std::string_view>& names, bool descending,
                                const platform::NumericCollation& collation, std::size_t threads) {
  const std::size_t n = names.size();
  PartsTeam team(std::clamp<std::size_t>(threads, 1, std::max<std::size_t>(n, 1)));
  PartedKeys keys;
  std::vector<std::size_t> partEnds;
  const std::vector<KeySlot> slots =
      sortedParts(names, collation, descending, team, keys, partEnds);
  const SlotOrder before(keys, descending);
  const StretchPlan plan = planStretches(names, slots, before, team.threads());
  std::vector<Stretch> stretches(plan.cuts.size() + 1);
  for (std::size_t t = 0; t < stretches.size(); ++t) {
    findRanges(stretches[t], slots, partEnds, plan.cuts, t, before);
  }
  // Each stretch's merge is taken before its comparison, so no stretch
  // waits for a merge that has not begun.
  team.run(stretches.size() * 2, [&](std::size_t task) {
    Stretch& stretch = stretches[plan.costliestFirst[task / 2]];
    if (task % 2 == 0) {
      mergeStretch(stretch, before);
    } else {
      compareStretch(stretch, names, collation);
    }
  });

  CheckedKeyOrder result;
  result.order.reserve(n);
  result.compared.reserve(n);
  for (const Stretch& stretch : stretches) {
    if (stretch.rows.empty()) continue;
    if (!result.order.empty()) {
      const std::uint32_t pair[] = {result.order.back(), stretch.rows.front()};
      std::int8_t answer = 0;
      collation.compareNeighbours(names, pair, std::span(&answer, 1));
      result.compared.push_back(answer);
    }
    result.order.insert(result.order.end(), stretch.rows.begin(), stretch.rows.end());
    result.compared.insert(result.compared.end(), stretch.compared.begin(), stretch.compared.end());
  }
  return result;
}

}  // namespace folderlist
