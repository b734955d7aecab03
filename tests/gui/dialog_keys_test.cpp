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
  menuCommand(kMenuN1);
  ASSERT_EQ(GetFocus(), item(messageWindow(), kForm3Button1));
  key(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(flags(), kIdle);
}

TEST_F(GuiTest, SpacePressesTheMessageWindowsOk) {
  menuCommand(kMenuN1);
  ASSERT_EQ(GetFocus(), item(messageWindow(), kForm3Button1));
  key(WM_KEYDOWN, VK_SPACE);
  key(WM_KEYUP, VK_SPACE);
  EXPECT_EQ(flags(), kIdle);
}

TEST_F(GuiTest, TabMovesFromFieldToFieldInTheTimeDialog) {
  menuCommand(kMenuIME1);
  SetFocus(item(timeDialog(), kForm2Edit1));
  for (int next = 1; next < 6; ++next) {
    key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), kForm2Edit1 + next);
  }
  key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), kForm2Button3);
}

TEST_F(GuiTest, EnterAndEscapeInAFieldPressNoButton) {
  menuCommand(kMenuIME1);
  SetFocus(item(timeDialog(), kForm2Edit1 + 2));
  key(WM_KEYDOWN, VK_RETURN);
  key(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_EQ(flags(), kTimeEntry);
  EXPECT_FALSE(IsWindowVisible(messageWindow()));
}

TEST_F(GuiTest, EnterPressesTheFocusedButtonOfTheTimeDialog) {
  menuCommand(kMenuIME1);
  SetFocus(item(timeDialog(), kForm2Button2));
  key(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(flags(), kIdle);
}

TEST_F(GuiTest, TheTimeDialogGetsBackItsFocusedControlWhenShownAgain) {
  menuCommand(kMenuIME1);
  SetFocus(item(timeDialog(), kForm2Edit1 + 4));
  click(item(timeDialog(), kForm2Button2));
  menuCommand(kMenuIME1);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), kForm2Button2) << "the control pressed last";
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
