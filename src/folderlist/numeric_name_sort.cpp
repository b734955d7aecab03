#include "folderlist/numeric_name_sort.h"

#include <string_view>
#include <vector>

#include "folderlist/row_sort.h"

namespace folderlist {

ListMarks sortRowsByNumericName(EntryRows& rows, const ListMarks& marks, bool descending,
                                platform::NumericCollation& collation) {
  if (rows.size() < 2) return marks;
  std::vector<std::string_view> names;
  names.reserve(rows.size());
  for (const ListEntry& entry : rows) names.push_back(entry.name);
  const std::vector<std::uint32_t> order = collation.stableOrder(names, descending);
  return reorderRows(rows, marks, order);
}

}  // namespace folderlist
