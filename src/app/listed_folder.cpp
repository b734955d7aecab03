#include "app/listed_folder.h"

#include "folderlist/column_sort.h"

namespace app {

std::string_view ListedFolder::cellText(int row, int column) const {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return {};
  if (column == folderlist::kCaptureColumn) {
    return captures_.text(rows_[static_cast<std::size_t>(row)].name);
  }
  return folderlist::columnText(rows_[static_cast<std::size_t>(row)], column).value_or("");
}

}  // namespace app
