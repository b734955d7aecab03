#include "app/list_order.h"

#include <cstdint>
#include <utility>

#include "app/list_view_marks.h"
#include "folderlist/capture_cells.h"
#include "folderlist/numeric_name_sort.h"
#include "folderlist/row_sort.h"

namespace app {

namespace {

// No column was clicked yet: the first click on any column sorts ascending.
constexpr std::int32_t kNoSortColumn = 100;

}  // namespace

ListOrder::ListOrder(ListedFolder& folder, platform::EntryListView& list, RowMover& mover,
                     CaptureColumn& captures, std::function<void()> shown)
    : folder_(folder), list_(list), mover_(mover), captures_(captures), shown_(std::move(shown)) {
  sort_.lastSortColumn = kNoSortColumn;
}

void ListOrder::columnClicked(int column) {
  // A move still running would go on over the re-sorted rows.
  mover_.finish();
  sort_.click(column);
  if (column == folderlist::kCaptureColumn && captures_.reading()) {
    // Sorted once every row has its time; further clicks meanwhile only
    // turn the direction, and a click on another column sorts at once.
    captures_.whenAllRead([this] {
      mover_.finish();
      sortByState();
    });
    return;
  }
  captures_.whenAllRead(nullptr);
  sortByState();
}

void ListOrder::captureColumnHidden() {
  captures_.whenAllRead(nullptr);
  if (arrowColumn_ == folderlist::kCaptureColumn) forgetArrow();
}

void ListOrder::setNumericNames(bool on) {
  if (sort_.numericNames == on) return;
  sort_.numericNames = on;
  if (arrowColumn_ != folderlist::kNameColumn) return;
  // The rows are sorted again as they stand, so a move still running would
  // go on over other rows.
  mover_.finish();
  sortByState();
}

int ListOrder::compareNames(std::string_view a, std::string_view b) {
  return sort_.numericNames ? numericCollation_.compare(a, b) : collation_.compare(a, b);
}

void ListOrder::forgetArrow() {
  list_.setSortArrow(-1, false);
  arrowColumn_ = -1;
}

folderlist::ListMarks ListOrder::sortedRows(const folderlist::ListMarks& marks) {
  folderlist::EntryRows& rows = folder_.rows();
  const bool descending = sort_.descending;
  if (sort_.sortColumn == folderlist::kCaptureColumn) {
    return folderlist::sortRowsByCaptureTime(rows, marks, folder_.captures(), descending);
  }
  if (sort_.numericNames && sort_.sortColumn == folderlist::kNameColumn) {
    return folderlist::sortRowsByNumericName(rows, marks, descending, numericCollation_);
  }
  return folderlist::sortRows(rows, marks, sort_.sortColumn, descending, collation_);
}

void ListOrder::sortByState() {
  folderlist::EntryRows& rows = folder_.rows();
  const bool descending = sort_.descending;
  if (!rows.empty()) {
    // The list is owner data: the rows are sorted here and the marks, which
    // the control keeps per position, are moved with them.
    const folderlist::ListMarks sorted = sortedRows(readMarks(list_));
    applyMarks(list_, sorted);
    list_.redrawRows(0, static_cast<int>(rows.size()) - 1);
  }
  list_.setSortArrow(sort_.sortColumn, descending);
  arrowColumn_ = sort_.sortColumn;
  // The topmost selected row may be another one now.
  if (shown_) shown_();
}

}  // namespace app
