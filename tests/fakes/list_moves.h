#pragma once

// The list model's row moves carried out on a list the way the main window
// carries them out: the model reads the list's marks, the changes it hands
// back are applied to the list.

#include "app/list_view_marks.h"
#include "folderlist/row_move.h"
#include "platform/ui.h"

namespace fakes {

inline folderlist::StepResult stepOn(folderlist::MoveState& state, folderlist::EntryRows& rows,
                                     platform::EntryListView& list) {
  folderlist::StepResult result = folderlist::step(state, rows, app::ListSelection(list));
  app::applyChanges(list, result.changes);
  return result;
}

// Returns the number of rows moved.
inline int moveSelectedRowsOn(folderlist::EntryRows& rows, platform::EntryListView& list,
                              int direction) {
  const folderlist::KeyMoveResult result =
      folderlist::moveSelectedRows(rows, app::ListSelection(list), list.focusedRow(), direction);
  app::applyChanges(list, result.changes);
  return result.moved;
}

}  // namespace fakes
