// The keyboard in the two dialogs: Tab moves between the controls, Enter and
// Space press the focused button, and no button is pressed by default.

#include "gui/gui_fixture.h"
#include "shell/control_ids.h"

namespace gui {
namespace {

using namespace platform::win32;
using namespace shell;

constexpr WindowFlags kIdle{true, true, false, true, false, true};
constexpr WindowFlags kTimeEntry{true, false, true, true, false, true};

TEST_F(GuiTest, EnterPressesTheMessageWindowsOk) {
  menuCommand(app::Command::showVersion);
  ASSERT_EQ(GetFocus(), item(messageWindow(), kMessageOk));
  key(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(flags(), kIdle);
}

TEST_F(GuiTest, SpacePressesTheMessageWindowsOk) {
  menuCommand(app::Command::showVersion);
  ASSERT_EQ(GetFocus(), item(messageWindow(), kMessageOk));
  key(WM_KEYDOWN, VK_SPACE);
  key(WM_KEYUP, VK_SPACE);
  EXPECT_EQ(flags(), kIdle);
}

TEST_F(GuiTest, TabMovesFromFieldToFieldInTheTimeDialog) {
  menuCommand(app::Command::changeTimes);
  SetFocus(item(timeDialog(), kFirstTimeField));
  for (int next = 1; next < 6; ++next) {
    key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), kFirstTimeField + next);
  }
  key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), kTimeNow);
}

TEST_F(GuiTest, EnterAndEscapeInAFieldPressNoButton) {
  menuCommand(app::Command::changeTimes);
  SetFocus(item(timeDialog(), kFirstTimeField + 2));
  key(WM_KEYDOWN, VK_RETURN);
  key(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_EQ(flags(), kTimeEntry);
  EXPECT_FALSE(IsWindowVisible(messageWindow()));
}

TEST_F(GuiTest, EnterPressesTheFocusedButtonOfTheTimeDialog) {
  menuCommand(app::Command::changeTimes);
  SetFocus(item(timeDialog(), kTimeCancel));
  key(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(flags(), kIdle);
}

TEST_F(GuiTest, TheTimeDialogGetsBackItsFocusedControlWhenShownAgain) {
  menuCommand(app::Command::changeTimes);
  SetFocus(item(timeDialog(), kFirstTimeField + 4));
  click(item(timeDialog(), kTimeCancel));
  menuCommand(app::Command::changeTimes);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), kTimeCancel) << "the control pressed last";
}

TEST_F(GuiTest, TabSwitchesBetweenTreeAndListInTheMainWindow) {
  SetFocus(tree());
  key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(GetFocus(), list());
  key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(GetFocus(), tree());
}

}  // namespace
}  // namespace gui
