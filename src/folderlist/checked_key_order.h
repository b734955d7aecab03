#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/numeric_collation.h"

namespace folderlist {

// The names in the order of the collation's sort keys, and what the
// collation's comparison says of each neighbour.
struct CheckedKeyOrder {
  // Indices into the names; equal keys in their given order, in either
  // direction.
  std::vector<std::uint32_t> order;
  // compared[k]: collation.compareNeighbours() of order[k] and order[k + 1],
  // -1, 0 or 1 (ascending, whatever the direction).
  std::vector<std::int8_t> compared;
};

// Keys the names and sorts them by key, ascending or descending, and
// compares every neighbour, on up to `threads` threads, the caller's among
// them.
CheckedKeyOrder checkedKeyOrder(const std::vector<std::string_view>& names, bool descending,
                                const platform::NumericCollation& collation, std::size_t threads);

}  // namespace folderlist
