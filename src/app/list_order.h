#pragma once

#include <functional>
#include <string_view>

#include "app/capture_column.h"
#include "app/listed_folder.h"
#include "app/row_mover.h"
#include "folderlist/column_sort.h"
#include "platform/collation.h"
#include "platform/numeric_collation.h"
#include "platform/ui.h"

namespace app {

// The order the rows stand in: the column sort state with its arrow, and
// the one choice between the locale's name order and Explorer's, which the
// copy and the settings file follow too.
class ListOrder {
 public:
  // shown: runs after the rows were sorted, the marks moved with them.
  ListOrder(ListedFolder& folder, platform::EntryListView& list, RowMover& mover,
            CaptureColumn& captures, std::function<void()> shown);

  // A click on a column header: sorts the rows by that column, the first
  // click ascending, each further click on it reversing the direction. A
  // click on "撮影日時" while its times are read sorts once all are in.
  void columnClicked(int column);
  // "撮影日時" was taken away: its arrow goes, and a sort waiting for its
  // times is dropped.
  void captureColumnHidden();

  // Whether names compare as Explorer does, digits by value.
  bool numericNames() const { return sort_.numericNames; }
  // Sets the name order. Rows that stand sorted by name (the arrow on
  // "名前") are sorted again at once, in the same direction.
  void setNumericNames(bool on);
  // Two names in the name column's order as it stands: negative, 0 or
  // positive.
  int compareNames(std::string_view a, std::string_view b);

  // A new listing: its rows stand in the listing's order, so no arrow shows.
  void forgetArrow();

 private:
  // Sorts the rows by the sort state and shows the arrow.
  void sortByState();
  // The rows sorted by the state's column and direction; the marks moved
  // with them.
  folderlist::ListMarks sortedRows(const folderlist::ListMarks& marks);

  ListedFolder& folder_;
  platform::EntryListView& list_;
  RowMover& mover_;
  CaptureColumn& captures_;
  std::function<void()> shown_;
  folderlist::ColumnSort sort_;
  platform::TextCollation collation_;
  platform::NumericCollation numericCollation_;
  // The column whose header shows the arrow, -1 for none: the rows stand
  // sorted by it.
  int arrowColumn_ = -1;
};

}  // namespace app
