// The main window's drag and move handlers on the in-memory window system:
// presses, drag-over, drop, the two timers, the status line after every
// step, and what a move does when the list changes under it.

#include <gtest/gtest.h>

#include <string>

#include "app/app_objects.h"
#include "fakes/fake_app.h"
#include "fakes/temp_folder.h"

namespace {

using app::MouseButton;
using app::ShiftState;

class RowDragForm : public ::testing::Test {
 protected:
  // Lists a folder of as many files as letters, then names the rows by the
  // letters so the order reads at a glance.
  void listRows(const std::string& letters) {
    for (std::size_t i = 0; i < letters.size(); ++i) {
      folder_.createFile("f" + std::to_string(i) + ".txt", "x");
    }
    app_.tree.path = folder_.path();
    app_.event([&] { app_.listing->listSelectedFolder(); });
    ASSERT_EQ(app_.folder().rowCount(), static_cast<int>(letters.size()));
    auto& rows = app_.folder().rows();
    for (std::size_t i = 0; i < letters.size(); ++i) rows[i].name = std::string(1, letters[i]);
    // The control's change notification runs the status line.
    app_.list.onMarksChanged = [this] { app_.event([this] { app_.listing->showSelection(); }); };
  }
  std::string order() const {
    std::string s;
    for (const auto& row : app_.folder().rows()) s += row.name;
    return s;
  }
  void select(const std::string& letters) {
    const std::string now = order();
    for (char c : letters) app_.list.setSelected(static_cast<int>(now.find(c)), true);
  }
  // A press on a selected row, a drag to another row (y from the fake's
  // 17-pixel rows) and the release there.
  void dragTo(int dropRow) {
    press();
    bool accept = false;
    app_.event([&] { accept = app_.mover->dragOver(5, dropRow * 17 + 8); });
    ASSERT_TRUE(accept);
    app_.event([&] { app_.mover->drop(); });
    app_.event([&] { app_.mover->endDrag(); });
  }
  // Any button's press: the window side hands each to the mover alike.
  void press() {
    app_.event([&] { app_.mover->press(); });
  }
  // Ticks the step timer while it is on; returns the number of ticks.
  int runTimer1() {
    int ticks = 0;
    while (app_.moveStepTimer.isEnabled() && ticks < 100) {
      app_.event([&] { app_.mover->stepTick(); });
      ++ticks;
    }
    return ticks;
  }

  // The row the press took as the drag's source, as drag-overs see it: the
  // one row a drop is refused on; -1 when a drop is allowed on every row.
  int sourceRow() {
    int refused = -1;
    for (int row = 0; row < app_.list.rowCount(); ++row) {
      bool accept = false;
      app_.event([&] { accept = app_.mover->dragOver(5, row * app_.list.rowHeight + 5); });
      if (!accept) refused = row;
    }
    return refused;
  }

  testsupport::TempFolder folder_;
  fakes::FakeApp app_;
};

TEST_F(RowDragForm, APressTakesTheTopmostSelectedRow) {
  listRows("ABCDE");
  press();
  EXPECT_EQ(sourceRow(), -1);
  select("DB");
  press();
  EXPECT_EQ(sourceRow(), 1) << "not the pressed row 3";
}

TEST_F(RowDragForm, OnlyALeftPressWithoutShiftOrCtrlOnASelectedRowDrags) {
  listRows("ABCDE");
  select("B");
  struct Case {
    MouseButton button;
    ShiftState shift;
    int row;
    bool drags;
  };
  const Case cases[] = {
      {MouseButton::left, {}, 1, true},
      {MouseButton::left, {false, false, true}, 1, true},  // Alt plays no part
      {MouseButton::left, {true, false, false}, 1, false},
      {MouseButton::left, {false, true, false}, 1, false},
      {MouseButton::right, {}, 1, false},
      {MouseButton::middle, {}, 1, false},
      {MouseButton::left, {}, 2, false},
      {MouseButton::left, {}, -1, false},
      {MouseButton::left, {}, 5, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(app_.mover->canDrag(c.button, c.shift, c.row), c.drags) << c.row;
  }
}

TEST_F(RowDragForm, OneRowMovesInOneTickAndThePanelsFollowTheMarks) {
  listRows("ABCDE");
  select("B");
  dragTo(3);
  EXPECT_TRUE(app_.moveStepTimer.isEnabled());
  EXPECT_EQ(order(), "ABCDE") << "nothing moves before the first tick";
  EXPECT_EQ(runTimer1(), 1);
  EXPECT_EQ(order(), "ACDBE");
  EXPECT_EQ(app_.list.focused(), 3);
  EXPECT_EQ(app_.statusBar.panelText(0), "1/5 個のオブジェクトを選択");
  EXPECT_EQ(app_.statusBar.panelText(1), "B");
}

TEST_F(RowDragForm, SeveralRowsCountDownInPanelOneAndEndOnTheFocusedName) {
  listRows("ABCDEFGHIJ");
  select("BD");
  dragTo(6);
  std::vector<std::string> panel1;
  while (app_.moveStepTimer.isEnabled()) {
    app_.event([&] { app_.mover->stepTick(); });
    panel1.push_back(app_.statusBar.panelText(1));
  }
  // Each step's own text stands after its mark changes; the turn writes
  // none, so the status line's text from the step before stays.
  EXPECT_EQ(panel1, (std::vector<std::string>{"残り 1", "残り 0", "残り 0", "D"}));
  EXPECT_EQ(order(), "ACEFGBDHIJ");
  EXPECT_EQ(app_.statusBar.panelText(0), "2/10 個のオブジェクトを選択");
  EXPECT_EQ(app_.list.focused(), 6);
  EXPECT_FALSE(app_.mover->moving());
}

TEST_F(RowDragForm, ARefusedDropDoesNothing) {
  listRows("ABCDE");
  select("BD");
  press();
  bool accept = true;
  app_.event([&] { accept = app_.mover->dragOver(5, 1 * 17 + 8); });
  EXPECT_FALSE(accept) << "the topmost selected row";
  app_.event([&] { accept = app_.mover->dragOver(5, 400); });
  EXPECT_FALSE(accept) << "below the last row";
  app_.event([&] { app_.mover->drop(); });
  EXPECT_FALSE(app_.moveStepTimer.isEnabled());
  EXPECT_EQ(order(), "ABCDE");
}

TEST_F(RowDragForm, ScrollingRunsWhileDraggingAndStopsWithTheDrag) {
  listRows("ABCDE");
  select("B");
  press();
  bool accept = false;
  app_.event([&] { accept = app_.mover->dragOver(5, 530); });
  EXPECT_TRUE(app_.dragScrollTimer.isEnabled());
  app_.event([&] { app_.mover->scrollTick(); });
  app_.event([&] { app_.mover->scrollTick(); });
  EXPECT_EQ(app_.list.scrolled, (std::vector<int>{40, 40}));
  EXPECT_EQ(app_.list.refreshCount, 2);
  app_.event([&] { accept = app_.mover->dragOver(5, -1); });
  app_.event([&] { app_.mover->scrollTick(); });
  EXPECT_EQ(app_.list.scrolled.back(), -40);
  // Back in the band between the zones, the scrolling stops.
  app_.event([&] { accept = app_.mover->dragOver(5, 200); });
  EXPECT_FALSE(app_.dragScrollTimer.isEnabled());
  app_.event([&] { accept = app_.mover->dragOver(5, 530); });
  // Released (or cancelled) in the zone: no scrolling is left behind.
  app_.event([&] { app_.mover->endDrag(); });
  EXPECT_FALSE(app_.dragScrollTimer.isEnabled());
  const std::size_t scrolls = app_.list.scrolled.size();
  app_.event([&] { app_.mover->scrollTick(); });
  EXPECT_EQ(app_.list.scrolled.size(), scrolls) << "a late tick scrolls nothing";
}

TEST_F(RowDragForm, ThePointerMovingInAZoneKeepsTheListScrolling) {
  listRows("ABCDE");
  select("B");
  press();
  // One second of small moves in each zone, a move every 30 ms: the
  // scrolling ticks every 100 ms all the same.
  for (const int zoneY : {528, -3}) {
    SCOPED_TRACE(zoneY);
    app_.list.scrolled.clear();
    bool accept = false;
    for (int ms = 0; ms < 1000; ms += 30) {
      const int y = zoneY + (ms / 30) % 3;
      app_.event([&] { accept = app_.mover->dragOver(5, y); });
      for (int due = app_.dragScrollTimer.advance(30); due > 0; --due) {
        app_.event([&] { app_.mover->scrollTick(); });
      }
    }
    EXPECT_GE(app_.list.scrolled.size(), 9u);
    EXPECT_LE(app_.list.scrolled.size(), 10u);
  }
}

TEST_F(RowDragForm, AColumnClickDuringAMoveFinishesTheMoveFirst) {
  listRows("ABCDEFGHIJ");
  select("BD");
  dragTo(6);
  app_.event([&] { app_.mover->stepTick(); });
  ASSERT_TRUE(app_.mover->moving()) << "the rows are still being gathered";
  app_.event([&] { app_.order->columnClicked(0); });
  EXPECT_FALSE(app_.mover->moving());
  EXPECT_FALSE(app_.moveStepTimer.isEnabled());
  EXPECT_EQ(order(), "ABCDEFGHIJ") << "sorted by name";
  // The marks went with the moved rows into the sorted order.
  EXPECT_EQ(app_.list.selectionCount(), 2);
  EXPECT_TRUE(app_.list.isSelected(1));
  EXPECT_TRUE(app_.list.isSelected(3));
  app_.event([&] { app_.mover->stepTick(); });  // a tick already queued
  EXPECT_EQ(order(), "ABCDEFGHIJ");
  EXPECT_EQ(app_.list.selectionCount(), 2);
}

TEST_F(RowDragForm, ANewListingAbandonsTheMove) {
  listRows("ABCDEFGHIJ");
  select("BD");
  dragTo(6);
  app_.event([&] { app_.mover->stepTick(); });
  ASSERT_TRUE(app_.mover->moving());
  app_.event([&] { app_.listing->listSelectedFolder(); });  // the same folder, listed again
  EXPECT_FALSE(app_.mover->moving());
  EXPECT_FALSE(app_.moveStepTimer.isEnabled());
  const auto listed = app_.folder().rows();
  app_.event([&] { app_.mover->stepTick(); });  // a tick already queued
  EXPECT_EQ(app_.folder().rows(), listed);
  EXPECT_EQ(app_.list.selectionCount(), 0);
}

TEST_F(RowDragForm, TheTimeDialogOpensOnTheFinishedOrder) {
  listRows("ABCDEFGHIJ");
  select("BDI");
  dragTo(6);
  app_.event([&] { app_.mover->stepTick(); });
  app_.event([&] { app_.commands->showTimeDialog(); });
  EXPECT_FALSE(app_.mover->moving());
  EXPECT_FALSE(app_.moveStepTimer.isEnabled());
  EXPECT_EQ(order(), "ACEFGBDIHJ");
  EXPECT_EQ(app_.list.focused(), 7);
  EXPECT_EQ(app_.statusBar.panelText(1), "I");
  EXPECT_TRUE(app_.dialog.isVisible());
}

TEST_F(RowDragForm, FinishingAMoveGivesWhatItsTicksWouldHaveGiven) {
  listRows("ABCDEFGHIJ");
  select("CH");
  dragTo(1);
  app_.event([&] { app_.mover->finish(); });
  EXPECT_EQ(order(), "ACHBDEFGIJ");
  EXPECT_EQ(app_.list.focused(), 0);
  EXPECT_EQ(app_.statusBar.panelText(1), "A");
  EXPECT_FALSE(app_.moveStepTimer.isEnabled());
}

TEST_F(RowDragForm, ADropWhileAMoveRunsFinishesThatMoveFirst) {
  listRows("ABCDEFGHIJ");
  select("EH");
  dragTo(2);
  app_.event([&] { app_.mover->stepTick(); });
  ASSERT_TRUE(app_.mover->moving());
  // The press of the next drag completes the first move, so that drag
  // starts from the marks it leaves: E and H at rows 2 and 3.
  dragTo(8);
  EXPECT_LE(runTimer1(), 4);
  EXPECT_EQ(order(), "ABCDFGIEHJ");
  EXPECT_EQ(app_.list.selectionCount(), 2);
  EXPECT_EQ(app_.list.focused(), 9) << "exactly one row follows the block";
}

TEST_F(RowDragForm, AltUpAndAltDownMoveTheSelection) {
  listRows("ABCDE");
  select("BD");
  app_.list.setFocused(3);
  const ShiftState alt{false, false, true};
  bool taken = false;
  app_.event([&] { taken = app_.mover->moveKey(app::kVirtualKeyUp, alt); });
  EXPECT_TRUE(taken);
  EXPECT_EQ(order(), "BADCE");
  EXPECT_EQ(app_.list.focused(), 2);
  EXPECT_EQ(app_.statusBar.panelText(1), "B");
  app_.event([&] { taken = app_.mover->moveKey(app::kVirtualKeyDown, alt); });
  EXPECT_EQ(order(), "ABCDE");
  // Without Alt, or with Ctrl or Shift too, the keys are the control's.
  for (ShiftState other :
       {ShiftState{}, ShiftState{false, true, true}, ShiftState{true, false, true}}) {
    app_.event([&] { taken = app_.mover->moveKey(app::kVirtualKeyUp, other); });
    EXPECT_FALSE(taken);
  }
  EXPECT_EQ(order(), "ABCDE");
}

}  // namespace
