#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "folderlist/list_entry.h"
#include "folderlist/list_marks.h"
#include "platform/numeric_collation.h"

namespace folderlist {

// What a sort by name in Explorer's order took.
struct NumericSortCounts {
  // Neighbours in the sort keys' order that the comparison puts the other
  // way round (or, equal, in the other order than they were given).
  std::size_t pairsOutOfOrder = 0;
  // Calls of the comparison: the check of the neighbours and the repair.
  std::size_t comparisons = 0;
  // The repair would have cost more than sorting by the comparison alone,
  // which was done instead.
  bool comparisonSort = false;
};

// The places of the names in a stable sort by collation.compare(), first
// place first (indices into names): names that compare equal keep their
// order in either direction.
//
// The comparison decides, but a sort by it alone asks it some n log n
// times. So the names are sorted by the collation's sort keys (descending
// keys for a descending sort, with their given order kept at equal keys),
// and the n - 1 neighbours are checked with the comparison; for a long list
// both on every core of the processor. Where keys and
// comparison disagree, a stable insertion pass repairs the order: one
// comparison per name, and one for each pair out of order. Should the
// repair cost more than a sort by comparison alone, that sort is done.
std::vector<std::uint32_t> numericNameOrder(const std::vector<std::string_view>& names,
                                            bool descending, platform::NumericCollation& collation,
                                            NumericSortCounts* counts = nullptr);

// numericNameOrder() with the keys' order cut into up to `threads`
// stretches, one a thread, whatever the processor has.
std::vector<std::uint32_t> numericNameOrderOn(const std::vector<std::string_view>& names,
                                              bool descending,
                                              platform::NumericCollation& collation,
                                              std::size_t threads, NumericSortCounts* counts);

// Sorts the rows by name in Explorer's order (digits by value, case
// ignored), ascending or descending, as numericNameOrder does. Stable in
// both directions; the marks returned are the given ones moved with their
// rows.
ListMarks sortRowsByNumericName(EntryRows& rows, const ListMarks& marks, bool descending,
                                platform::NumericCollation& collation,
                                NumericSortCounts* counts = nullptr);

}  // namespace folderlist
