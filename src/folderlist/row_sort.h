#pragma once

#include <cstdint>
#include <vector>

#include "folderlist/list_entry.h"
#include "folderlist/list_marks.h"
#include "platform/collation.h"

namespace folderlist {

// Sorts the rows by one column's text in the collation's order, ascending or
// descending. The sort is stable in both directions: rows whose texts compare
// equal keep their previous order. Every row keeps its texts; the marks
// returned are the given ones moved with the rows they belong to. A column
// the list does not have sorts nothing.
//
// The order comes from the collation's sort keys, one per distinct text,
// which give exactly its pairwise comparison's order.
ListMarks sortRows(EntryRows& rows, const ListMarks& marks, std::int32_t column, bool descending,
                   platform::TextCollation& collation);

// Puts the rows in the given order: order[place] is the row that goes to
// that place, each row named once. The marks returned are the given ones
// moved with their rows.
ListMarks reorderRows(EntryRows& rows, const ListMarks& marks,
                      const std::vector<std::uint32_t>& order);

}  // namespace folderlist
