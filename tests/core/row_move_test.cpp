// Reordering rows: the row move, the steps of a drop carried out to their
// end over rows named by letters, the drag-over zones, and the keyboard
// moves. Expected orders, marks, focus and panel texts are written out by
// hand from the program's rules.

#include "folderlist/row_move.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "fakes/fake_ui.h"
#include "fakes/list_moves.h"

namespace {

using folderlist::DragOverResult;
using folderlist::EntryRows;
using folderlist::MoveState;
using Scrolling = DragOverResult::Scrolling;

// One row per letter; the kind and time texts name their row too, so a
// test sees whether all three texts travel together.
EntryRows lettered(const std::string& letters) {
  EntryRows rows;
  for (char c : letters) {
    const std::string name(1, c);
    rows.push_back({name, "k" + name, "t" + name});
  }
  return rows;
}

std::string order(const EntryRows& rows) {
  std::string s;
  for (const auto& row : rows) {
    EXPECT_EQ(row.kindText, "k" + row.name);
    EXPECT_EQ(row.timeText, "t" + row.name);
    s += row.name;
  }
  return s;
}

// The list's marks, recording any position outside the list that is asked
// for or written.
class CheckedList : public fakes::FakeList {
 public:
  bool isSelected(int row) const override {
    if (!valid(row)) return ++outside, false;
    return FakeList::isSelected(row);
  }
  void setSelected(int row, bool selected) override {
    if (!valid(row)) return void(++outside);
    FakeList::setSelected(row, selected);
  }
  void setFocused(int row) override {
    if (!valid(row)) return void(++outside);
    FakeList::setFocused(row);
  }
  void redrawRows(int first, int last) override {
    if (!valid(first) || !valid(last)) ++outside;
    FakeList::redrawRows(first, last);
  }
  std::set<int> selectedSet() const {
    std::set<int> out;
    for (int i = 0; i < rowCount(); ++i) {
      if (FakeList::isSelected(i)) out.insert(i);
    }
    return out;
  }
  mutable int outside = 0;

 private:
  bool valid(int row) const { return row >= 0 && row < rowCount(); }
};

std::set<int> positionsOf(const std::string& letters, const std::string& order) {
  std::set<int> out;
  for (char c : letters) out.insert(static_cast<int>(order.find(c)));
  return out;
}

// A drop of the rows `selected` (letters) onto the row at `dropRow`, run to
// its end; every step's order and panel text is kept.
struct MoveRun {
  EntryRows rows;
  CheckedList list;
  MoveState state;
  bool dropped = false;
  std::vector<std::string> orders;      // after each step
  std::vector<std::string> panelTexts;  // each step's panel text, "" for none
  int steps = 0;
};

void runMove(MoveRun& run, const std::string& letters, const std::string& selected, int dropRow) {
  run.rows = lettered(letters);
  run.list.setRowCount(static_cast<int>(letters.size()));
  for (char c : selected) run.list.setSelected(static_cast<int>(letters.find(c)), true);
  run.state.sourceIndex = run.list.firstSelected();  // the press
  const DragOverResult over = folderlist::dragOver(run.state, dropRow, 100, 0, 534);
  if (!over.accept) return;
  run.dropped =
      folderlist::drop(run.state, run.list.selectionCount(), static_cast<int>(letters.size()));
  if (!run.dropped) return;
  for (bool again = true; again && run.steps < 1000;) {
    const folderlist::StepResult r = fakes::stepOn(run.state, run.rows, run.list);
    ++run.steps;
    again = r.again;
    run.orders.push_back(order(run.rows));
    run.panelTexts.push_back(r.panel1.value_or(""));
  }
}

TEST(RowMove, MovesOneEntryAndShiftsThoseBetweenTowardItsOldPlace) {
  struct Case {
    int from, to;
    const char* expected;
  };
  const Case cases[] = {
      {1, 3, "ACDBE"}, {3, 1, "ADBCE"}, {1, 4, "ACDEB"}, {3, 0, "DABCE"},
      {0, 4, "BCDEA"}, {4, 0, "EABCD"}, {2, 2, "ABCDE"}, {0, 1, "BACDE"},
  };
  for (const Case& c : cases) {
    EntryRows rows = lettered("ABCDE");
    folderlist::moveRow(rows, c.from, c.to);
    EXPECT_EQ(order(rows), c.expected) << c.from << " -> " << c.to;
  }
}

TEST(RowMove, RefusesAPositionOutsideTheRows) {
  EntryRows rows = lettered("ABC");
  EXPECT_THROW(folderlist::moveRow(rows, -1, 1), std::out_of_range);
  EXPECT_THROW(folderlist::moveRow(rows, 0, 3), std::out_of_range);
  EXPECT_EQ(order(rows), "ABC");
}

// The examples of reordering, each run to its end, with the text each step
// leaves in panel 1, worked out by hand from the step rules.
struct Example {
  const char* what;
  const char* letters;
  const char* selected;
  int dropRow;
  const char* result;
  const char* selectedAfter;  // letters whose positions carry the mark at the end
  int focus;
  // One per step: "" where the step writes none (the status line follows the
  // marks), so the step count is exact too.
  std::vector<std::string> panelTexts;
};

const Example kExamples[] = {
    {"one row down", "ABCDE", "B", 3, "ACDBE", "B", 3, {""}},
    {"one row up", "ABCDE", "D", 1, "ADBCE", "D", 1, {""}},
    {"one row onto the last row", "ABCDE", "B", 4, "ACDEB", "B", 4, {""}},
    {"one row onto the first row", "ABCDE", "D", 0, "DABCE", "D", 0, {""}},
    {"several down", "ABCDEFGHIJ", "BD", 6, "ACEFGBDHIJ", "BD", 6, {"残り 1", "残り 0", "", "D"}},
    {"both sides of the drop row",
     "ABCDEFGHIJ",
     "BDI",
     6,
     "ACEFGBDIHJ",
     "BDI",
     7,
     {"残り 2", "残り 1", "", "残り 0", "I"}},
    {"drop row between selected rows",
     "ABCDEFGHIJ",
     "BI",
     4,
     "ACDEBIFGHJ",
     "BI",
     5,
     {"残り 1", "", "残り 0", "I"}},
    {"several up", "ABCDEFGHIJ", "EH", 2, "ABEHCDFGIJ", "EH", 2, {"残り 1", "残り 0", "", "E"}},
    {"up, one row above the block",
     "ABCDEFGHIJ",
     "CH",
     1,
     "ACHBDEFGIJ",
     "CH",
     0,
     {"残り 1", "残り 0", "A"}},
    // The last step handles a row and ends: its end text replaces "残り 0".
    {"down, one row below the block", "ABCD", "AB", 2, "CABD", "AB", 3, {"残り 1", "D"}},
    {"up onto the first row", "ABCDE", "DE", 0, "DEABC", "DE", 0, {"残り 1", "D"}},
    {"onto a selected row", "ABCDEF", "BD", 3, "ACDBEF", "B", 3, {"残り 1", "", "B"}},
    {"a row already after the gathered rows",
     "ABCDEF",
     "AC",
     1,
     "BACDEF",
     "AC",
     2,
     {"残り 1", "C"}},
};

TEST(RowReordering, TheExamplesEndAsDescribed) {
  for (const Example& e : kExamples) {
    SCOPED_TRACE(e.what);
    MoveRun run;
    runMove(run, e.letters, e.selected, e.dropRow);
    ASSERT_TRUE(run.dropped);
    ASSERT_FALSE(run.state.moving);
    EXPECT_EQ(order(run.rows), e.result);
    EXPECT_EQ(run.list.selectedSet(), positionsOf(e.selectedAfter, e.result));
    EXPECT_EQ(run.list.focused(), e.focus);
    EXPECT_EQ(run.panelTexts, e.panelTexts);
    EXPECT_EQ(run.steps, static_cast<int>(e.panelTexts.size()));
    EXPECT_EQ(run.list.outside, 0);
  }
}

TEST(RowReordering, SeveralRowsDownStepByStep) {
  MoveRun run;
  runMove(run, "ABCDEFGHIJ", "BD", 6);
  ASSERT_EQ(run.steps, 4);
  EXPECT_EQ(run.orders[0], "ABCEFGDHIJ");
  EXPECT_EQ(run.panelTexts[0], "残り 1");
  EXPECT_EQ(run.orders[1], "ACEFGBDHIJ");
  EXPECT_EQ(run.panelTexts[1], "残り 0");
  EXPECT_EQ(run.orders[2], "ACEFGBDHIJ") << "the turn moves nothing";
  EXPECT_EQ(run.panelTexts[2], "");
  EXPECT_EQ(run.panelTexts[3], "D");
}

TEST(RowReordering, ARowAlreadyAfterTheGatheredRowsIsNotCounted) {
  MoveRun run;
  runMove(run, "ABCDEF", "AC", 1);
  ASSERT_EQ(run.steps, 2);
  EXPECT_EQ(run.orders[0], "BACDEF");
  EXPECT_EQ(run.panelTexts[0], "残り 1");
  EXPECT_EQ(run.panelTexts[1], "C");
}

TEST(RowReordering, TheSingleRowStepLeavesTheMovedRowAsSourceAndNoDropIndex) {
  MoveRun run;
  runMove(run, "ABCDE", "B", 3);
  EXPECT_EQ(run.state.sourceIndex, 3);
  EXPECT_EQ(run.state.dropIndex, -1);
  EXPECT_FALSE(run.list.FakeList::isSelected(1)) << "position 1, now row C";
}

TEST(RowReordering, NoDropOverNoRowOrTheTopmostSelectedRow) {
  for (int dropRow : {-1, 1}) {
    MoveRun run;
    runMove(run, "ABCDE", "BD", dropRow);
    EXPECT_FALSE(run.dropped) << dropRow;
    EXPECT_FALSE(run.state.moving);
    EXPECT_EQ(order(run.rows), "ABCDE");
    EXPECT_EQ(run.list.selectedSet(), (std::set<int>{1, 3}));
  }
}

TEST(RowReordering, ADropWithNothingSelectedEndsAtTheFirstStep) {
  EntryRows rows = lettered("ABCDE");
  CheckedList list;
  list.setRowCount(5);
  MoveState state;
  state.sourceIndex = -1;
  state.hoverRow = 2;
  ASSERT_TRUE(folderlist::drop(state, 0, 5));
  const auto r = fakes::stepOn(state, rows, list);
  EXPECT_FALSE(r.again);
  EXPECT_FALSE(r.panel1);
  EXPECT_FALSE(state.moving);
  EXPECT_EQ(order(rows), "ABCDE");
  EXPECT_TRUE(list.selectedSet().empty());
}

TEST(RowReordering, NoStepOnAListOfAnotherSize) {
  for (const char* selected : {"B", "BD"}) {
    EntryRows rows = lettered("ABCDE");
    CheckedList list;
    list.setRowCount(5);
    for (char c : std::string(selected)) list.setSelected(c - 'A', true);
    MoveState state;
    state.sourceIndex = 1;
    state.hoverRow = 4;
    ASSERT_TRUE(folderlist::drop(state, list.selectionCount(), 5));
    // Another listing of three rows comes between the drop and the step.
    rows = lettered("XYZ");
    list.setRowCount(3);
    const auto r = fakes::stepOn(state, rows, list);
    EXPECT_FALSE(r.again) << selected;
    EXPECT_FALSE(state.moving);
    EXPECT_EQ(order(rows), "XYZ");
    EXPECT_EQ(list.outside, 0);
  }
}

// Y = -1, 0, 1, Height - 10 and Height - 9 with Top at 0.
TEST(DragOver, ScrollZones) {
  struct Case {
    int height, y;
    Scrolling scrolling;
    int direction;  // from a state that scrolled down before the call (2)
  };
  const Case cases[] = {
      {534, -1, Scrolling::start, 1},
      {534, 0, Scrolling::keep, 2},
      {534, 1, Scrolling::stop, 0},
      {534, 523, Scrolling::stop, 0},
      {534, 524, Scrolling::keep, 2},
      {534, 525, Scrolling::start, 2},
      {534, 600, Scrolling::start, 2},
      {200, -1, Scrolling::start, 1},
      {200, 0, Scrolling::keep, 2},
      {200, 1, Scrolling::stop, 0},
      {200, 190, Scrolling::keep, 2},
      {200, 191, Scrolling::start, 2},
      // A list at most 8 pixels high: both zones apply and down decides.
      {8, -1, Scrolling::start, 2},
  };
  for (const Case& c : cases) {
    MoveState state;
    state.scrollDirection = folderlist::kScrollDown;
    const auto r = folderlist::dragOver(state, -1, c.y, 0, c.height);
    EXPECT_EQ(r.scrolling, c.scrolling) << "height " << c.height << " y " << c.y;
    EXPECT_EQ(state.scrollDirection, c.direction) << "height " << c.height << " y " << c.y;
  }
  // From rest, the boundary values change nothing either.
  for (int y : {0, 524}) {
    MoveState state;
    folderlist::dragOver(state, 3, y, 0, 534);
    EXPECT_EQ(state.scrollDirection, folderlist::kNoScroll) << y;
  }
}

TEST(DragOver, AcceptsAnyRowButTheSourceRow) {
  struct Case {
    int hover, source;
    bool accept;
    int hoverAfter;
  };
  const Case cases[] = {{-1, 2, false, -1}, {2, 2, false, 2}, {3, 2, true, 3}, {0, 2, true, 0}};
  for (const Case& c : cases) {
    MoveState state;
    state.sourceIndex = c.source;
    EXPECT_EQ(folderlist::dragOver(state, c.hover, 50, 0, 534).accept, c.accept) << c.hover;
    EXPECT_EQ(state.hoverRow, c.hoverAfter);
  }
}

TEST(DragOver, ScrollStepFollowsTheDirection) {
  MoveState state;
  EXPECT_EQ(folderlist::scrollStep(state), 0);
  state.scrollDirection = folderlist::kScrollUp;
  EXPECT_EQ(folderlist::scrollStep(state), -40);
  state.scrollDirection = folderlist::kScrollDown;
  EXPECT_EQ(folderlist::scrollStep(state), 40);
}

struct KeyCase {
  const char* what;
  const char* letters;
  const char* selected;
  int focus;  // position before
  int direction;
  const char* result;
  int focusAfter;
};

TEST(KeyboardMove, SelectedRowsMoveOnePlaceUnlessBlocked) {
  const KeyCase cases[] = {
      {"two apart, up", "ABCDE", "BD", 3, -1, "BADCE", 2},
      {"top row blocked", "ABCDE", "AC", 2, -1, "ACBDE", 1},
      {"blocked neighbour blocks", "ABCDE", "ABD", 0, -1, "ABDCE", 0},
      {"a run moves whole", "ABCDE", "BC", 2, -1, "BCADE", 1},
      {"two apart, down", "ABCDE", "BD", 1, 1, "ACBED", 2},
      {"bottom rows blocked", "ABCDE", "CDE", 4, 1, "ABCDE", 4},
      {"bottom blocked, other moves", "ABCDE", "BE", 1, 1, "ACBDE", 2},
      {"focus on an unselected row goes with it", "ABCDE", "C", 1, -1, "ACBDE", 2},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.what);
    EntryRows rows = lettered(c.letters);
    CheckedList list;
    list.setRowCount(5);
    for (char ch : std::string(c.selected)) list.setSelected(ch - 'A', true);
    list.setFocused(c.focus);
    fakes::moveSelectedRowsOn(rows, list, c.direction);
    EXPECT_EQ(order(rows), c.result);
    EXPECT_EQ(list.selectedSet(), positionsOf(c.selected, c.result));
    EXPECT_EQ(list.focused(), c.focusAfter);
    EXPECT_EQ(list.outside, 0);
  }
}

TEST(KeyboardMove, PressingAgainMovesTheSameRowsOn) {
  EntryRows rows = lettered("ABCDE");
  CheckedList list;
  list.setRowCount(5);
  list.setSelected(2, true);
  list.setSelected(4, true);
  list.setFocused(4);
  const char* expected[] = {"ACBED", "CAEBD", "CEABD", "CEABD"};
  const int moved[] = {2, 2, 1, 0};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(fakes::moveSelectedRowsOn(rows, list, -1), moved[i]) << i;
    EXPECT_EQ(order(rows), expected[i]) << i;
    EXPECT_EQ(list.selectedSet(), positionsOf("CE", expected[i])) << i;
    EXPECT_EQ(list.focused(), static_cast<int>(std::string(expected[i]).find('E'))) << i;
  }
}

}  // namespace
