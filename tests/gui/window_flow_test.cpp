// The window flow on the real windows: visible and enabled of all three
// after each menu command and button press, and closing.

#include <string>
#include <vector>

#include "gui/gui_fixture.h"
#include "shell/control_ids.h"

namespace gui {
namespace {

using namespace platform::win32;
using namespace shell;

constexpr WindowFlags kIdle{true, true, false, true, false, true};
constexpr WindowFlags kTimeEntry{true, false, true, true, false, true};
constexpr WindowFlags kMessageOverMain{true, false, false, true, true, true};
constexpr WindowFlags kMessageOverDialog{true, false, true, false, true, true};

class WindowFlowTest : public GuiTest {
 protected:
  HWND dialogButton(int id) { return item(timeDialog(), id); }
  HWND messageOk() { return item(messageWindow(), kMessageOk); }
  std::wstring field(int i) { return windowText(item(timeDialog(), kFirstTimeField + i)); }
  std::wstring label() { return windowText(item(messageWindow(), kMessageLabel)); }
};

TEST_F(WindowFlowTest, VersionNoticeLocksTheMainWindowAndItsOkUnlocksIt) {
  menuCommand(app::Command::showVersion);
  EXPECT_EQ(flags(), kMessageOverMain);
  EXPECT_EQ(label(), wide("\r\nChronoseq Version 0.7"));
  EXPECT_EQ(windowText(messageWindow()), wide("バージョン情報"));
  EXPECT_EQ(GetFocus(), messageOk()) << "Enter and Space must press OK";

  click(messageOk());
  EXPECT_EQ(flags(), kIdle);
  EXPECT_EQ(windowText(messageWindow()), L"");
}

TEST_F(WindowFlowTest, TimeCommandOnAnEmptyListChangesNothing) {
  selectTreeItem(L"empty");
  ASSERT_EQ(rowCount(), 0);
  menuCommand(app::Command::changeTimes);
  EXPECT_EQ(flags(), kIdle);
}

TEST_F(WindowFlowTest, TimeCommandFillsTodayShowsTheDialogAndCancelReturns) {
  ASSERT_GT(rowCount(), 0);
  menuCommand(app::Command::changeTimes);
  EXPECT_EQ(flags(), kTimeEntry);
  const std::vector<std::wstring> today{std::to_wstring(kNow.year),
                                        std::to_wstring(kNow.month),
                                        std::to_wstring(kNow.day),
                                        L"0",
                                        L"0",
                                        L"0"};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(field(i), today[static_cast<std::size_t>(i)]) << "Edit" << i + 1;

  click(dialogButton(kTimeNow));  // "現在時刻"
  EXPECT_EQ(flags(), kTimeEntry);
  const std::vector<std::wstring> now{std::to_wstring(kNow.year),   std::to_wstring(kNow.month),
                                      std::to_wstring(kNow.day),    std::to_wstring(kNow.hour),
                                      std::to_wstring(kNow.minute), std::to_wstring(kNow.second)};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(field(i), now[static_cast<std::size_t>(i)]) << "Edit" << i + 1;

  click(dialogButton(kTimeCancel));  // "キャンセル"
  EXPECT_EQ(flags(), kIdle);
}

TEST_F(WindowFlowTest, AnInputErrorStandsOverTheDialogAndItsOkReturnsToTheDialog) {
  menuCommand(app::Command::changeTimes);
  ASSERT_EQ(flags(), kTimeEntry);
  SetWindowTextW(item(timeDialog(), kFirstTimeField), L"");
  click(dialogButton(kTimeOk));  // "OK"
  EXPECT_EQ(flags(), kMessageOverDialog);
  EXPECT_EQ(label(), wide("入力されてない箇所があります"));
  EXPECT_EQ(windowText(messageWindow()), L"") << "only the version notice has a caption";

  click(messageOk());
  EXPECT_EQ(flags(), kTimeEntry);
  EXPECT_EQ(field(0), L"") << "the fields stay as typed";
  click(dialogButton(kTimeCancel));
  EXPECT_EQ(flags(), kIdle);
}

TEST_F(WindowFlowTest, OptionsCarryOverFromOneOpeningToTheNext) {
  menuCommand(app::Command::changeTimes);
  click(dialogButton(kTwoSecondStep));
  click(dialogButton(kAlsoAccess));
  click(dialogButton(kTimeCancel));
  menuCommand(app::Command::changeTimes);
  EXPECT_EQ(SendMessageW(dialogButton(kMinuteStep), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(dialogButton(kTwoSecondStep), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(dialogButton(kAlsoCreation), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(dialogButton(kAlsoAccess), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(WindowFlowTest, TheVersionNoticeCaptionIsGoneFromTheNextMessage) {
  menuCommand(app::Command::showVersion);
  click(messageOk());
  ASSERT_EQ(flags(), kIdle);
  menuCommand(app::Command::changeTimes);
  ASSERT_EQ(flags(), kTimeEntry);
  SetWindowTextW(item(timeDialog(), kFirstTimeField + 5), L"");
  click(dialogButton(kTimeOk));
  EXPECT_EQ(flags(), kMessageOverDialog);
  EXPECT_EQ(windowText(messageWindow()), L"");
}

TEST_F(WindowFlowTest, DialogsIgnoreCloseRequestsFromTheirTitleBars) {
  menuCommand(app::Command::changeTimes);
  SendMessageW(timeDialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
  SendMessageW(timeDialog(), WM_CLOSE, 0, 0);
  pump();
  EXPECT_EQ(flags(), kTimeEntry);
  click(dialogButton(kTimeCancel));

  menuCommand(app::Command::showVersion);
  SendMessageW(messageWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
  SendMessageW(messageWindow(), WM_CLOSE, 0, 0);
  pump();
  EXPECT_EQ(flags(), kMessageOverMain);
}

TEST_F(WindowFlowTest, ACloseRequestEndsTheProgramEvenWhileTheDialogLocksTheMainWindow) {
  menuCommand(app::Command::changeTimes);
  ASSERT_EQ(flags(), kTimeEntry);
  SendMessageW(mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
  pump();
  EXPECT_FALSE(IsWindow(mainWindow()));
  EXPECT_EQ(mainWindowDestroyed_, 1);
}

TEST_F(WindowFlowTest, ExitEmptiesTheListThenClosesTheMainWindow) {
  ASSERT_GT(rowCount(), 0);
  SendMessageW(mainWindow(), WM_COMMAND, MAKEWPARAM(app::commandId(app::Command::exit), 0), 0);
  EXPECT_EQ(rowCount(), 0) << "emptied before the window closes";
  pump();
  EXPECT_FALSE(IsWindow(mainWindow()));
  EXPECT_EQ(mainWindowDestroyed_, 1);
}

TEST_F(WindowFlowTest, NoHandlerFailedAlongTheWay) {
  menuCommand(app::Command::showVersion);
  click(messageOk());
  menuCommand(app::Command::changeTimes);
  click(dialogButton(kTimeNow));
  click(dialogButton(kTimeCancel));
  EXPECT_TRUE(errorBox_.shown.empty());
}

}  // namespace
}  // namespace gui
