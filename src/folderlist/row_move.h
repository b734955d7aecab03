#pragma once

// Reordering rows by hand: the row move, the steps that carry out a drop one
// row at a time, the zones of the list that scroll during a drag, and the
// one-place moves of the keyboard.
//
// Texts move with entries; the selected and focused marks stay with the
// positions of the list. The moves read the marks and hand back what is to
// change of them; the window applies it to the control.

#include <cstdint>
#include <optional>
#include <string>

#include "folderlist/list_entry.h"
#include "folderlist/list_marks.h"

namespace folderlist {

// Moves the entry at `from` to `to`; the entries between them move one
// place toward `from`, keeping their order. No mark changes. Both indices
// must lie inside the rows.
void moveRow(EntryRows& rows, int from, int to);

// The automatic scrolling during a drag.
enum ScrollDirection : std::int32_t { kNoScroll = 0, kScrollUp = 1, kScrollDown = 2 };

// The drag and move state of the main window, kept from one event to the
// next. Zero or clear at start.
struct MoveState {
  std::int32_t sourceIndex = 0;         // scan position; the row a single move takes
  std::int32_t hoverRow = -1;           // row under the pointer at the last drag-over, -1: none
  std::int32_t dropIndex = 0;           // next target position
  std::int32_t dropSelectionCount = 0;  // 1: single-row move, more: multi-row move
  std::int32_t lastIndex = 0;           // entry count - 1 at a multi-row drop
  std::int32_t savedDropIndex = 0;
  std::int32_t remainingCount = 0;
  bool scanUpward = false;
  bool firstPhase = false;
  std::int32_t scrollDirection = kNoScroll;

  // Set by a drop, cleared by the step that ends the move: the steps run
  // only in between.
  bool moving = false;
  // The number of rows the drop was made on; a step on a list of another
  // size ends the move untouched.
  std::int32_t rowCountAtDrop = 0;

  friend bool operator==(const MoveState&, const MoveState&) = default;
};

// What a drag-over call asks of the window.
struct DragOverResult {
  bool accept = false;
  enum class Scrolling { keep, start, stop } scrolling = Scrolling::keep;
  friend bool operator==(const DragOverResult&, const DragOverResult&) = default;
};

// One drag-over call: hoverRow is the row under (x, y) by the control's hit
// test (-1: none); y is in the list's client coordinates, top and height
// its outer box in the window.
DragOverResult dragOver(MoveState& state, int hoverRow, int y, int top, int height);

// The pixels one tick of the automatic scrolling scrolls by (0: none).
int scrollStep(const MoveState& state);

// The drop on the hover row. Returns false, changing nothing, when there is
// no hover row; otherwise the move starts and its steps follow.
bool drop(MoveState& state, int selectionCount, int entryCount);

// What one step leaves for the window to do.
struct StepResult {
  bool again = false;                 // the next step follows (the step timer stays on)
  ListChanges changes;                // marks, rows to draw again and focus, for the list
  std::optional<std::string> panel1;  // the text the step writes into panel 1, after the changes
};

// One step of the move started by drop(): the single-row step or one step
// of a multi-row move. Changes the rows' texts and says which marks change
// and which rows are to be drawn again. A step never addresses a position
// outside the list: when the list no longer has the size it had at the
// drop, or a position would fall outside it, the move ends untouched.
StepResult step(MoveState& state, EntryRows& rows, const SelectedRows& selection);

struct KeyMoveResult {
  int moved = 0;  // the number of rows moved
  ListChanges changes;
};

// Keyboard reordering: every selected row moves one place up (-1) or down
// (+1), as the rows stand. A selected row blocked by the end of the list, or
// by a selected neighbour that is itself blocked, stays. Marks and focus
// (focusedRow, -1: none) go with their rows.
KeyMoveResult moveSelectedRows(EntryRows& rows, const SelectedRows& selection, int focusedRow,
                               int direction);

}  // namespace folderlist
