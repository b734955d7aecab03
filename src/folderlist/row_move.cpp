#include "folderlist/row_move.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace folderlist {

namespace {

constexpr int kScrollPixels = 40;
// The lower scroll zone begins this many pixels above the list's bottom edge.
constexpr int kLowerZone = 10;
constexpr std::string_view kRemainingPrefix = "残り ";

bool inside(const EntryRows& rows, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < rows.size();
}

// The selection as this call has changed it so far: the list's marks under
// the changes noted for the window.
class Marking {
 public:
  Marking(const SelectedRows& list, ListChanges& changes) : list_(list), changes_(changes) {}
  bool isSelected(int row) const {
    const auto changed = changed_.find(row);
    return changed != changed_.end() ? changed->second : list_.isSelected(row);
  }
  void setSelected(int row, bool selected) {
    changed_[row] = selected;
    changes_.marks.push_back({row, selected});
  }
  void redrawRows(int first, int last) { changes_.redraw(first, last); }
  void setFocused(int row) { changes_.focus = row; }

 private:
  const SelectedRows& list_;
  ListChanges& changes_;
  std::unordered_map<int, bool> changed_;
};

// Ends the move without touching anything more.
StepResult abandon(MoveState& state) {
  state.moving = false;
  return {};
}

StepResult singleRowStep(MoveState& state, EntryRows& rows, const SelectedRows& selection) {
  state.moving = false;
  if (!inside(rows, state.sourceIndex) || !inside(rows, state.dropIndex)) return {};
  StepResult result;
  Marking list(selection, result.changes);
  if (state.sourceIndex != state.dropIndex) {
    moveRow(rows, state.sourceIndex, state.dropIndex);
    list.redrawRows(std::min(state.sourceIndex, state.dropIndex),
                    std::max(state.sourceIndex, state.dropIndex));
  }
  list.setSelected(state.sourceIndex, false);
  state.sourceIndex = state.dropIndex;
  state.dropIndex = -1;
  list.setSelected(state.sourceIndex, true);
  list.setFocused(state.sourceIndex);
  return result;
}

// At the top or the bottom the first phase ends and the scan turns, to go
// on from the other side of the drop row. False when that leaves the list.
bool turnAtAnEnd(MoveState& state, const EntryRows& rows, const Marking& list) {
  std::int32_t& source = state.sourceIndex;
  std::int32_t& target = state.dropIndex;
  const std::int32_t last = state.lastIndex;
  // The turn at the top.
  if (state.firstPhase && source == 0) {
    state.firstPhase = false;
    state.scanUpward = false;
    target = state.savedDropIndex == last ? state.savedDropIndex : state.savedDropIndex + 1;
    if (!inside(rows, target)) return false;
    while (list.isSelected(target) && target < last) ++target;
    source = target;
  }
  // The turn at the bottom.
  if (state.firstPhase && source == last) {
    state.firstPhase = false;
    state.scanUpward = true;
    target = state.savedDropIndex == 0 ? 0 : state.savedDropIndex - 1;
    if (!inside(rows, target)) return false;
    while (list.isSelected(target) && target > 0) --target;
    source = target;
  }
  return true;
}

StepResult multiRowStep(MoveState& state, EntryRows& rows, const SelectedRows& selection) {
  // Every index the step reads or writes is checked first; the move ends
  // rather than address a position outside the list.
  if (state.lastIndex != static_cast<std::int32_t>(rows.size()) - 1 ||
      !inside(rows, state.sourceIndex) || !inside(rows, state.dropIndex)) {
    return abandon(state);
  }
  StepResult result;
  Marking list(selection, result.changes);
  result.again = true;
  std::int32_t& source = state.sourceIndex;
  std::int32_t& target = state.dropIndex;
  const std::int32_t last = state.lastIndex;

  // Scan.
  if (state.scanUpward && target > 0) {
    while (!list.isSelected(source) && source > 0) --source;
  } else if (!state.scanUpward && target < last) {
    while (!list.isSelected(source) && source < last) ++source;
  }

  // Handle.
  if (list.isSelected(source)) {
    if (source != target) {
      moveRow(rows, source, target);
      list.redrawRows(std::min(source, target), std::max(source, target));
      list.setSelected(source, false);
      list.setSelected(target, true);
      target += source < target ? -1 : 1;
    }
    --state.remainingCount;
    result.panel1 = std::string(kRemainingPrefix) + std::to_string(state.remainingCount);
  }

  if (!turnAtAnEnd(state, rows, list)) return abandon(state);
  // The end.
  if (!state.firstPhase && (source == 0 || source == last)) {
    if (source != target && source == 0) ++target;
    if (source != target && source == last) --target;
    if (!inside(rows, target)) return abandon(state);
    list.setFocused(target);
    result.panel1 = rows[static_cast<std::size_t>(target)].name;
    result.again = false;
    state.moving = false;
  }
  return result;
}

}  // namespace

void moveRow(EntryRows& rows, int from, int to) {
  if (!inside(rows, from) || !inside(rows, to))
    throw std::out_of_range("row move outside the list");
  if (from == to) return;
  // Each position between takes over its neighbour's texts by a move: one
  // pass, no text copied.
  const auto first = rows.begin();
  ListEntry taken = std::move(rows[static_cast<std::size_t>(from)]);
  if (from < to) {
    std::move(first + from + 1, first + to + 1, first + from);
  } else {
    std::move_backward(first + to, first + from, first + from + 1);
  }
  rows[static_cast<std::size_t>(to)] = std::move(taken);
}

DragOverResult dragOver(MoveState& state, int hoverRow, int y, int top, int height) {
  DragOverResult result;
  state.hoverRow = hoverRow < 0 ? -1 : hoverRow;
  result.accept = state.hoverRow >= 0 && state.hoverRow != state.sourceIndex;
  if (y < top) {
    state.scrollDirection = kScrollUp;
    result.scrolling = DragOverResult::Scrolling::start;
  }
  if (y + kLowerZone > top + height) {
    state.scrollDirection = kScrollDown;
    result.scrolling = DragOverResult::Scrolling::start;
  }
  if (y > top && y + kLowerZone < top + height) {
    state.scrollDirection = kNoScroll;
    result.scrolling = DragOverResult::Scrolling::stop;
  }
  return result;
}

int scrollStep(const MoveState& state) {
  switch (state.scrollDirection) {
    case kScrollUp:
      return -kScrollPixels;
    case kScrollDown:
      return kScrollPixels;
    default:
      return 0;
  }
}

bool drop(MoveState& state, int selectionCount, int entryCount) {
  if (state.hoverRow < 0 || state.hoverRow == state.sourceIndex) return false;
  state.dropIndex = state.hoverRow;
  state.dropSelectionCount = selectionCount;
  if (selectionCount > 1) {
    if (state.dropIndex > state.sourceIndex) {
      state.scanUpward = true;
      state.sourceIndex = state.dropIndex - 1;
    } else {
      state.scanUpward = false;
      state.sourceIndex = state.dropIndex + 1;
    }
    state.firstPhase = true;
    state.savedDropIndex = state.dropIndex;
    state.lastIndex = entryCount - 1;
    state.remainingCount = selectionCount;
  }
  state.moving = true;
  state.rowCountAtDrop = entryCount;
  return true;
}

StepResult step(MoveState& state, EntryRows& rows, const SelectedRows& selection) {
  if (!state.moving) return {};
  if (state.rowCountAtDrop != static_cast<std::int32_t>(rows.size())) return abandon(state);
  if (state.dropSelectionCount == 1) return singleRowStep(state, rows, selection);
  if (state.dropSelectionCount > 1) return multiRowStep(state, rows, selection);
  return abandon(state);
}

KeyMoveResult moveSelectedRows(EntryRows& rows, const SelectedRows& selection, int focusedRow,
                               int direction) {
  KeyMoveResult result;
  const int count = static_cast<int>(rows.size());
  if (count < 2 || direction == 0) return result;
  Marking list(selection, result.changes);
  const int step = direction < 0 ? -1 : 1;
  int focus = focusedRow;
  int moved = 0;
  int changedFirst = count;
  int changedLast = -1;
  // Walk from the end the rows move toward, so that a row's neighbour in
  // that direction has already moved or stayed: a selected neighbour still
  // there is blocked, and blocks this row too.
  for (int k = 0; k < count; ++k) {
    const int row = step < 0 ? k : count - 1 - k;
    const int to = row + step;
    if (!list.isSelected(row) || to < 0 || to >= count || list.isSelected(to)) continue;
    moveRow(rows, row, to);
    list.setSelected(to, true);
    list.setSelected(row, false);
    if (focus == row) {
      focus = to;
    } else if (focus == to) {
      focus = row;
    }
    changedFirst = std::min({changedFirst, row, to});
    changedLast = std::max({changedLast, row, to});
    ++moved;
  }
  if (moved == 0) return result;
  list.redrawRows(changedFirst, changedLast);
  if (focus >= 0 && focus != focusedRow) list.setFocused(focus);
  result.moved = moved;
  return result;
}

}  // namespace folderlist
