// The window flow's states and transitions on three in-memory windows: each
// transition, taken from the state it starts in, ends in the state the
// design's table gives, and flags of no state are told apart.
#include <gtest/gtest.h>

#include "app/window_flow.h"
#include "fakes/fake_ui.h"

namespace {

using app::FlowState;

struct Windows {
  fakes::FakeWindow main{true};
  fakes::FakeWindow dialog;
  fakes::FakeWindow message;
  app::FlowWindows flow() { return {main, dialog, message}; }
  void set(bool mainEnabled, bool dialogShown, bool dialogEnabled, bool messageShown) {
    main.setEnabled(mainEnabled);
    dialogShown ? dialog.show() : dialog.hide();
    dialog.setEnabled(dialogEnabled);
    messageShown ? message.show() : message.hide();
  }
};

TEST(WindowFlowStates, FlagsNameTheirState) {
  const struct {
    bool main, dialogShown, dialogEnabled, message;
    FlowState state;
  } cases[] = {
      {true, false, true, false, FlowState::Idle},
      {false, true, true, false, FlowState::TimeEntry},
      {false, true, false, false, FlowState::Checking},
      {false, true, false, true, FlowState::MessageOverDialog},
      {false, false, true, true, FlowState::MessageOverMain},
      {false, false, true, false, FlowState::Working},
      // Two windows taking input, or none between events with nothing shown.
      {true, true, true, false, FlowState::Unknown},
      {true, false, true, true, FlowState::Unknown},
      {false, true, true, true, FlowState::Unknown},
      {false, false, false, false, FlowState::Unknown},
  };
  for (const auto& c : cases) {
    Windows w;
    w.set(c.main, c.dialogShown, c.dialogEnabled, c.message);
    EXPECT_EQ(app::flowState(w.flow()), c.state)
        << c.main << c.dialogShown << c.dialogEnabled << c.message;
  }
}

TEST(WindowFlowStates, EveryTransitionEndsWhereTheTableSays) {
  using Step = void (*)(const app::FlowWindows&);
  const struct {
    const char* what;
    FlowState from;
    Step step;
    FlowState to;
  } cases[] = {
      {"time command", FlowState::Idle, app::openTimeDialog, FlowState::TimeEntry},
      {"cancel", FlowState::TimeEntry, app::cancelTimeDialog, FlowState::Idle},
      {"OK", FlowState::TimeEntry, app::startChecking, FlowState::Checking},
      {"a problem found", FlowState::Checking, app::showMessageOverDialog,
       FlowState::MessageOverDialog},
      {"a completed run", FlowState::Checking, app::showCompletionOverMain,
       FlowState::MessageOverMain},
      {"a failure inside OK", FlowState::Checking, app::giveDialogBack, FlowState::TimeEntry},
      {"message OK over the dialog", FlowState::MessageOverDialog, app::dismissMessage,
       FlowState::TimeEntry},
      {"message OK over the main window", FlowState::MessageOverMain, app::dismissMessage,
       FlowState::Idle},
      {"version notice", FlowState::Idle, app::showMessageOverMain, FlowState::MessageOverMain},
      {"undo starts", FlowState::Idle, app::startWorking, FlowState::Working},
      {"undo ends", FlowState::Working, app::showMessageOverMain, FlowState::MessageOverMain},
      {"undo fails", FlowState::Working, app::stopWorking, FlowState::Idle},
  };
  // The flags of each state, from the design's table.
  const auto enter = [](Windows& w, FlowState s) {
    switch (s) {
      case FlowState::Idle:
        w.set(true, false, true, false);
        break;
      case FlowState::TimeEntry:
        w.set(false, true, true, false);
        break;
      case FlowState::Checking:
        w.set(false, true, false, false);
        break;
      case FlowState::MessageOverDialog:
        w.set(false, true, false, true);
        break;
      case FlowState::MessageOverMain:
        w.set(false, false, true, true);
        break;
      case FlowState::Working:
        w.set(false, false, true, false);
        break;
      case FlowState::Unknown:
        break;
    }
  };
  for (const auto& c : cases) {
    Windows w;
    enter(w, c.from);
    ASSERT_EQ(app::flowState(w.flow()), c.from) << c.what;
    w.message.setCaption("バージョン情報");
    c.step(w.flow());
    EXPECT_EQ(app::flowState(w.flow()), c.to) << c.what;
    if (c.step == app::dismissMessage) {
      EXPECT_EQ(w.message.caption(), "") << c.what;
    }
  }
}

TEST(WindowFlowStates, TheDialogIsEnabledBeforeItIsHidden) {
  Windows w;
  w.set(false, true, false, false);  // Checking
  app::showCompletionOverMain(w.flow());
  EXPECT_TRUE(w.dialog.isEnabled());
  EXPECT_FALSE(w.dialog.isVisible());
  app::dismissMessage(w.flow());
  app::openTimeDialog(w.flow());
  EXPECT_TRUE(w.dialog.isEnabled()) << "opening it again finds it enabled";
}

}  // namespace
