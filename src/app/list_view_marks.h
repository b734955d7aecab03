#pragma once

// The entry list's marks between the control, which keeps them per
// position, and the list model, which computes what changes of them.

#include "folderlist/list_marks.h"
#include "platform/ui.h"

namespace app {

// The control's selected marks, as the row moves read them.
class ListSelection final : public folderlist::SelectedRows {
 public:
  explicit ListSelection(const platform::EntryListView& list) : list_(list) {}
  bool isSelected(int row) const override { return list_.isSelected(row); }

 private:
  const platform::EntryListView& list_;
};

folderlist::ListMarks readMarks(const platform::EntryListView& list);
void applyMarks(platform::EntryListView& list, const folderlist::ListMarks& marks);

// Sets and clears the marks in their order, draws the changed rows again,
// then moves the focus.
void applyChanges(platform::EntryListView& list, const folderlist::ListChanges& changes);

}  // namespace app
