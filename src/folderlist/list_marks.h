#pragma once

// The marks of the entry list's rows and what a row move or a sort changes
// of them. The marks belong to the list control's positions; the model
// reads them and hands back what is to change, and the window applies it.

#include <vector>

namespace folderlist {

// The marks of the entry list's rows, by position.
struct ListMarks {
  std::vector<int> selected;  // the selected rows, top to bottom
  int focused = -1;           // the focused row, or -1
  int selectionMark = -1;     // where a Shift-click selection starts, or -1
  friend bool operator==(const ListMarks&, const ListMarks&) = default;
};

// The selected marks as the list has them, read one row at a time.
class SelectedRows {
 public:
  virtual ~SelectedRows() = default;
  virtual bool isSelected(int row) const = 0;
};

// A row's selected mark set or cleared.
struct MarkChange {
  int row = 0;
  bool selected = false;
  friend bool operator==(const MarkChange&, const MarkChange&) = default;
};

// What a row move leaves for the list, applied in this order: the marks as
// listed, the rows whose texts changed drawn again, the focus.
struct ListChanges {
  std::vector<MarkChange> marks;
  int redrawFirst = -1;  // -1: no row's texts changed
  int redrawLast = -1;
  int focus = -1;  // the row that takes the focus; -1: the focus stays

  // Widens the rows to draw again to take in first..last.
  void redraw(int first, int last);
  friend bool operator==(const ListChanges&, const ListChanges&) = default;
};

}  // namespace folderlist
