#include "app/list_view_marks.h"

namespace app {

folderlist::ListMarks readMarks(const platform::EntryListView& list) {
  return {list.selectedRows(), list.focusedRow(), list.selectionMarkRow()};
}

void applyMarks(platform::EntryListView& list, const folderlist::ListMarks& marks) {
  list.setMarks(marks.selected, marks.focused, marks.selectionMark);
}

void applyChanges(platform::EntryListView& list, const folderlist::ListChanges& changes) {
  for (const folderlist::MarkChange& change : changes.marks) {
    list.setSelected(change.row, change.selected);
  }
  if (changes.redrawFirst >= 0) list.redrawRows(changes.redrawFirst, changes.redrawLast);
  if (changes.focus >= 0) list.setFocused(changes.focus);
}

}  // namespace app
