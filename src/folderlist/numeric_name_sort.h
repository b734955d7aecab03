#pragma once

#include "folderlist/list_entry.h"
#include "folderlist/list_marks.h"
#include "platform/numeric_collation.h"

namespace folderlist {

// Sorts the rows by name in Explorer's order (digits by value, case
// ignored), ascending or descending. Stable in both directions; the marks
// returned are the given ones moved with their rows.
ListMarks sortRowsByNumericName(EntryRows& rows, const ListMarks& marks, bool descending,
                                platform::NumericCollation& collation);

}  // namespace folderlist
