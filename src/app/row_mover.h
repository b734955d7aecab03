#pragma once

#include "app/input.h"
#include "app/listed_folder.h"
#include "folderlist/row_move.h"
#include "platform/ui.h"

namespace app {

// What moving rows works on besides the rows themselves.
struct RowMoverControls {
  platform::EntryListView& list;
  platform::StatusBar& statusBar;  // counts down "残り n" while rows gather
  platform::Timer& stepTimer;      // 10 ms: one step of a move
  platform::Timer& scrollTimer;    // 100 ms: scrolling while a drag is at an edge
};

// Moving the selected rows of the list: dragged to a drop row, where
// several rows gather one step at a time, or one place up or down with
// Alt+Up and Alt+Down.
class RowMover {
 public:
  RowMover(ListedFolder& folder, RowMoverControls controls)
      : folder_(folder), controls_(controls) {}

  // A press of any button on the list: the topmost selected row becomes the
  // drag's source.
  void press();
  // Whether a press, once the control has handled it, may start a drag: the
  // left button without Shift or Ctrl on a selected row.
  bool canDrag(MouseButton button, ShiftState shift, int pressedRow) const;
  // The pointer at x, y in the list's client coordinates during a drag;
  // true when a drop is allowed there.
  bool dragOver(int x, int y);
  void drop();
  // The drag is over, dropped or cancelled: the automatic scrolling stops.
  void endDrag();
  // Alt+Up and Alt+Down move the selected rows one place; true when the key
  // was taken.
  bool moveKey(int virtualKey, ShiftState shift);

  // The step timer's tick: one row of a move.
  void stepTick();
  // The scroll timer's tick: scrolls towards the edge the pointer is at.
  void scrollTick();

  // A move runs from a drop to its last step. Whatever would change the
  // list or its marks meanwhile ends it first: finish carries out the
  // remaining steps at once; a new listing abandons it.
  bool moving() const { return move_.moving; }
  void finish();
  void abandon();

 private:
  ListedFolder& folder_;
  RowMoverControls controls_;
  folderlist::MoveState move_;
};

}  // namespace app
