#include "folderlist/column_sort.h"

namespace folderlist {

void ColumnSort::click(std::int32_t column) {
  sortColumn = column;
  descending = !descending;
  if (sortColumn != lastSortColumn) {
    descending = false;
    lastSortColumn = sortColumn;
  }
}

std::optional<std::string_view> columnText(const ListEntry& entry, std::int32_t column) {
  switch (column) {
    case kNameColumn:
      return entry.name;
    case kKindColumn:
      return entry.kindText;
    case kTimeColumn:
      return entry.timeText.view();
    default:
      return std::nullopt;
  }
}

}  // namespace folderlist
