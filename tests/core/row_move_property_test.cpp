// Drops of random selections onto random rows of random lists, each run to
// its end and checked against the outcome rules written out independently
// of the steps: where the block stands, which marks stand where, which row
// gets the focus, that a step moves at most one row and never leaves the
// list, and that the move ends in time.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_ui.h"
#include "fakes/list_moves.h"
#include "folderlist/row_move.h"

namespace {

using folderlist::EntryRows;

class BoundedList : public fakes::FakeList {
 public:
  bool isSelected(int row) const override {
    if (row < 0 || row >= rowCount()) return ++outside, false;
    return FakeList::isSelected(row);
  }
  void setSelected(int row, bool selected) override {
    if (row < 0 || row >= rowCount()) return void(++outside);
    FakeList::setSelected(row, selected);
  }
  void setFocused(int row) override {
    if (row < 0 || row >= rowCount()) return void(++outside);
    FakeList::setFocused(row);
  }
  void redrawRows(int first, int last) override {
    if (first < 0 || last >= rowCount() || first > last) ++outside;
    FakeList::redrawRows(first, last);
  }
  mutable int outside = 0;
};

// True when every position whose entry differs between `before` and `after`
// lies in one of the ranges redrawn since `from`: no row is left stale.
bool changedRowsRedrawn(const std::vector<int>& before, const std::vector<int>& after,
                        const std::vector<fakes::FakeList::Range>& redrawn, std::size_t from) {
  for (std::size_t p = 0; p < before.size(); ++p) {
    if (before[p] == after[p]) continue;
    const int row = static_cast<int>(p);
    const bool covered = std::any_of(
        redrawn.begin() + static_cast<std::ptrdiff_t>(from), redrawn.end(),
        [row](const fakes::FakeList::Range& r) { return r.first <= row && row <= r.last; });
    if (!covered) return false;
  }
  return true;
}

struct Outcome {
  std::vector<int> order;  // entry ids top to bottom
  std::set<int> selected;  // positions
  int focus = -1;
};

// The outcome rules. Entries are ids 0..n-1 in their first order.
Outcome expectedOutcome(int n, const std::set<int>& selected, int dropRow) {
  const int topmost = *selected.begin();
  const bool downward = dropRow > topmost;
  std::vector<int> block;
  std::vector<int> others;
  for (int id = 0; id < n; ++id) {
    // Dropped onto a selected row, a downward move treats that row as one
    // of the unselected ones.
    const bool inBlock = selected.count(id) && !(downward && id == dropRow);
    (inBlock ? block : others).push_back(id);
  }
  Outcome out;
  for (int id : others) {
    if (!downward && id == dropRow) out.order.insert(out.order.end(), block.begin(), block.end());
    out.order.push_back(id);
    if (downward && id == dropRow) out.order.insert(out.order.end(), block.begin(), block.end());
  }
  const int first = static_cast<int>(std::find(out.order.begin(), out.order.end(), block.front()) -
                                     out.order.begin());
  const int last = first + static_cast<int>(block.size()) - 1;
  for (int p = first; p <= last; ++p) out.selected.insert(p);
  if (selected.size() == 1) {
    out.focus = first;  // the moved row
  } else if (downward) {
    out.focus = (n - 1 - last == 1) ? n - 1 : last;
  } else {
    out.focus = (first == 1) ? 0 : first;
  }
  return out;
}

// The number of steps (ticks) a move takes, from the shape of the selection:
// one per handled row, one to finish the scan where the last row handled
// does not stand at the scan's end, and the end where the second phase
// starts short of the list's end.
int expectedSteps(int n, const std::set<int>& selected, int dropRow) {
  if (selected.size() == 1) return 1;
  const int last = n - 1;
  const int topmost = *selected.begin();
  const int k = static_cast<int>(selected.size());
  if (dropRow < topmost) {
    // Upward: the first phase pulls up every selected row, scanning down to
    // the last index; the second scans up from above the block to row 0.
    const int first = k + (selected.count(last) ? 0 : 1);
    return first + (dropRow <= 1 ? 0 : 1);
  }
  // Downward: the first phase takes every selected row above the drop row,
  // scanning up to row 0.
  int above = 0;
  for (int p : selected) above += p < dropRow ? 1 : 0;
  const int first = above + (topmost > 0 ? 1 : 0);
  // The second starts below the drop row, past the selected rows that
  // already follow it.
  int start = dropRow == last ? last : dropRow + 1;
  while (selected.count(start) && start < last) ++start;
  if (start == last) return first;
  int below = 0;
  for (int p : selected) below += p > start ? 1 : 0;
  return first + below + (selected.count(last) ? 0 : 1);
}

std::vector<int> ids(const EntryRows& rows) {
  std::vector<int> out;
  for (const auto& row : rows) out.push_back(std::stoi(row.name));
  return out;
}

// True when `after` is `before` with at most one entry taken out and put
// back elsewhere.
bool atMostOneRowMoved(const std::vector<int>& before, const std::vector<int>& after) {
  if (before == after) return true;
  for (std::size_t from = 0; from < before.size(); ++from) {
    for (std::size_t to = 0; to < before.size(); ++to) {
      std::vector<int> moved = before;
      const int id = moved[from];
      moved.erase(moved.begin() + static_cast<std::ptrdiff_t>(from));
      moved.insert(moved.begin() + static_cast<std::ptrdiff_t>(to), id);
      if (moved == after) return true;
    }
  }
  return false;
}

TEST(RowReorderingProperty, RandomDropsEndByTheOutcomeRules) {
  std::mt19937 random(20261209);
  int runs = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    const int n = std::uniform_int_distribution<int>(2, 30)(random);
    std::set<int> selected;
    const int wanted = std::uniform_int_distribution<int>(1, n)(random);
    while (static_cast<int>(selected.size()) < wanted) {
      selected.insert(std::uniform_int_distribution<int>(0, n - 1)(random));
    }
    const int topmost = *selected.begin();
    int dropRow = std::uniform_int_distribution<int>(0, n - 1)(random);
    if (dropRow == topmost) continue;  // refused, tested apart
    ++runs;

    EntryRows rows;
    for (int id = 0; id < n; ++id) {
      rows.push_back({std::to_string(id), "k" + std::to_string(id), "t" + std::to_string(id)});
    }
    BoundedList list;
    list.setRowCount(n);
    for (int p : selected) list.setSelected(p, true);
    folderlist::MoveState state;
    state.sourceIndex = list.firstSelected();
    ASSERT_TRUE(folderlist::dragOver(state, dropRow, 10, 0, 534).accept);
    ASSERT_TRUE(folderlist::drop(state, list.selectionCount(), n));

    std::string trace = "n=" + std::to_string(n) + " drop=" + std::to_string(dropRow) + " sel=";
    for (int p : selected) trace += std::to_string(p) + ",";
    SCOPED_TRACE(trace);

    int steps = 0;
    std::string lastPanel;
    for (bool again = true; again;) {
      const std::vector<int> before = ids(rows);
      const std::size_t redrawnBefore = list.redrawn.size();
      const auto r = fakes::stepOn(state, rows, list);
      ++steps;
      again = r.again;
      if (r.panel1) lastPanel = *r.panel1;
      ASSERT_TRUE(atMostOneRowMoved(before, ids(rows))) << "step " << steps;
      ASSERT_TRUE(changedRowsRedrawn(before, ids(rows), list.redrawn, redrawnBefore))
          << "step " << steps;
      ASSERT_LE(steps, static_cast<int>(selected.size()) + 2) << "the move does not end";
    }
    ASSERT_EQ(steps, expectedSteps(n, selected, dropRow));
    for (const auto& row : rows) {
      ASSERT_EQ(row.kindText, "k" + row.name);
      ASSERT_EQ(row.timeText, "t" + row.name);
    }
    const Outcome expected = expectedOutcome(n, selected, dropRow);
    ASSERT_EQ(list.outside, 0);
    ASSERT_EQ(ids(rows), expected.order);
    std::set<int> marks;
    for (int p = 0; p < n; ++p) {
      if (list.FakeList::isSelected(p)) marks.insert(p);
    }
    ASSERT_EQ(marks, expected.selected);
    ASSERT_EQ(list.focused(), expected.focus);
    if (selected.size() > 1) {
      ASSERT_EQ(lastPanel, rows[static_cast<std::size_t>(expected.focus)].name);
    }
    ASSERT_FALSE(state.moving);
  }
  EXPECT_GT(runs, 2000);
}

// The keyboard moves against their own rule: a selected row moves one place
// unless the end of the list or a selected row that stays is in its way.
TEST(KeyboardMoveProperty, RandomSelectionsMoveAsTheyStand) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 2000; ++trial) {
    const int n = std::uniform_int_distribution<int>(1, 30)(random);
    const int direction = trial % 2 ? 1 : -1;
    std::vector<bool> sel(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p) sel[static_cast<std::size_t>(p)] = random() % 3 == 0;
    const int focus = std::uniform_int_distribution<int>(0, n - 1)(random);

    EntryRows rows;
    for (int id = 0; id < n; ++id) rows.push_back({std::to_string(id), "", ""});
    BoundedList list;
    list.setRowCount(n);
    for (int p = 0; p < n; ++p) {
      if (sel[static_cast<std::size_t>(p)]) list.setSelected(p, true);
    }
    list.setFocused(focus);

    // Which selected rows stay: a run of selected rows touching the end the
    // rows move toward. Every other selected row swaps with its neighbour.
    std::vector<bool> stays(static_cast<std::size_t>(n), false);
    if (direction < 0) {
      for (int p = 0; p < n && sel[static_cast<std::size_t>(p)]; ++p) stays[p] = true;
    } else {
      for (int p = n - 1; p >= 0 && sel[static_cast<std::size_t>(p)]; --p) stays[p] = true;
    }
    // The expected order: each moving selected row swaps with the next
    // unselected row in the direction of travel, as runs move whole: an
    // unselected row just past a run goes to the run's other end.
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p) order[static_cast<std::size_t>(p)] = p;
    std::vector<bool> selAfter(static_cast<std::size_t>(n), false);
    int p = 0;
    while (p < n) {
      if (!sel[static_cast<std::size_t>(p)] || stays[static_cast<std::size_t>(p)]) {
        selAfter[static_cast<std::size_t>(p)] = sel[static_cast<std::size_t>(p)];
        ++p;
        continue;
      }
      int end = p;
      while (end + 1 < n && sel[static_cast<std::size_t>(end + 1)]) ++end;
      if (direction < 0) {
        // run p..end moves up over row p-1.
        const int passed = order[static_cast<std::size_t>(p - 1)];
        for (int q = p - 1; q < end; ++q) {
          order[static_cast<std::size_t>(q)] = q + 1;
          selAfter[static_cast<std::size_t>(q)] = true;
        }
        order[static_cast<std::size_t>(end)] = passed;
        selAfter[static_cast<std::size_t>(end)] = false;
        p = end + 1;
      } else {
        // run p..end moves down over row end+1 unless it touches the bottom.
        if (stays[static_cast<std::size_t>(end)]) {
          p = end + 1;
          continue;
        }
        const int passed = end + 1;
        order[static_cast<std::size_t>(p)] = passed;
        selAfter[static_cast<std::size_t>(p)] = false;
        for (int q = p + 1; q <= end + 1; ++q) {
          order[static_cast<std::size_t>(q)] = q - 1;
          selAfter[static_cast<std::size_t>(q)] = true;
        }
        p = end + 2;
      }
    }
    // Stayed runs keep their marks.
    for (int q = 0; q < n; ++q) {
      if (stays[static_cast<std::size_t>(q)]) selAfter[static_cast<std::size_t>(q)] = true;
    }

    const std::vector<int> before = ids(rows);
    fakes::moveSelectedRowsOn(rows, list, direction);
    ASSERT_EQ(list.outside, 0);
    ASSERT_TRUE(changedRowsRedrawn(before, ids(rows), list.redrawn, 0)) << "trial " << trial;
    ASSERT_EQ(ids(rows), order) << "trial " << trial;
    for (int q = 0; q < n; ++q) {
      ASSERT_EQ(list.FakeList::isSelected(q), selAfter[static_cast<std::size_t>(q)])
          << "trial " << trial << " position " << q;
    }
    // The focus stays on the entry it was on.
    ASSERT_EQ(order[static_cast<std::size_t>(list.focused())], focus) << "trial " << trial;
  }
}

}  // namespace
