#pragma once

#include "folderlist/list_entry.h"
#include "platform/numeric_collation.h"
#include "platform/ui.h"

namespace folderlist {

// Sorts the rows by name in Explorer's order (digits by value, case
// ignored), ascending or descending. Stable in both directions; the marks
// move with their rows.
void sortRowsByNumericName(EntryRows& rows, platform::ListMarks& marks, bool descending,
                           platform::NumericCollation& collation);

}  // namespace folderlist
