#include "app/row_mover.h"

#include <cstdint>

#include "app/list_view_marks.h"

namespace app {

void RowMover::press() {
  // The window side completes a running move before the control sees the
  // press; this covers any other path.
  finish();
  move_.sourceIndex = controls_.list.firstSelected();
}

bool RowMover::canDrag(MouseButton button, ShiftState shift, int pressedRow) const {
  return button == MouseButton::left && !shift.shift && !shift.ctrl && pressedRow >= 0 &&
         pressedRow < folder_.rowCount() && controls_.list.isSelected(pressedRow);
}

bool RowMover::dragOver(int x, int y) {
  platform::EntryListView& list = controls_.list;
  const folderlist::DragOverResult result =
      folderlist::dragOver(move_, list.rowAt(x, y), y, list.top(), list.height());
  // Switched on only when off: every further move of the pointer in a zone
  // would otherwise start the interval afresh and no tick would come.
  if (result.scrolling == folderlist::DragOverResult::Scrolling::start &&
      !controls_.scrollTimer.isEnabled()) {
    controls_.scrollTimer.setEnabled(true);
  } else if (result.scrolling == folderlist::DragOverResult::Scrolling::stop) {
    controls_.scrollTimer.setEnabled(false);
  }
  return result.accept;
}

void RowMover::drop() {
  finish();
  if (folderlist::drop(move_, controls_.list.selectionCount(), folder_.rowCount())) {
    controls_.stepTimer.setEnabled(true);
  }
}

void RowMover::endDrag() {
  // A drag that ends in a scroll zone would leave the list scrolling by
  // itself.
  move_.scrollDirection = folderlist::kNoScroll;
  move_.hoverRow = -1;
  controls_.scrollTimer.setEnabled(false);
}

bool RowMover::moveKey(int virtualKey, ShiftState shift) {
  if (!shift.alt || shift.ctrl || shift.shift) return false;
  if (virtualKey != kVirtualKeyUp && virtualKey != kVirtualKeyDown) return false;
  finish();
  platform::EntryListView& list = controls_.list;
  applyChanges(list,
               folderlist::moveSelectedRows(folder_.rows(), ListSelection(list), list.focusedRow(),
                                            virtualKey == kVirtualKeyUp ? -1 : 1)
                   .changes);
  return true;
}

void RowMover::stepTick() {
  controls_.stepTimer.setEnabled(false);
  const folderlist::StepResult result =
      folderlist::step(move_, folder_.rows(), ListSelection(controls_.list));
  applyChanges(controls_.list, result.changes);
  if (result.again) controls_.stepTimer.setEnabled(true);
  // After the step's own mark changes, whose status line it replaces.
  if (result.panel1) controls_.statusBar.setPanelText(1, *result.panel1);
}

void RowMover::scrollTick() {
  const int dy = folderlist::scrollStep(move_);
  if (dy != 0) controls_.list.scrollBy(dy);
  controls_.list.refresh();
}

void RowMover::finish() {
  // Each step moves at most one row, and a move takes at most the selection
  // count plus two steps; the bound only guards against a list that changed
  // under the move.
  const std::int64_t bound = std::int64_t{folder_.rowCount()} + 2;
  for (std::int64_t steps = 0; move_.moving && steps <= bound; ++steps) stepTick();
  abandon();
}

void RowMover::abandon() {
  // No step of a move may run on the rows of another listing.
  move_.moving = false;
  controls_.stepTimer.setEnabled(false);
}

}  // namespace app
