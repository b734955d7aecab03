// The program's task-bar button is the main window's own: the main window
// has no owner and is marked as an application window, so Windows gives it
// its thumbnail, its Alt+Tab entry and its minimise. Closing from the button
// is the main window's own close.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "gui/gui_fixture.h"
#include "shell/control_ids.h"

namespace gui {
namespace {

using namespace platform::win32;
using namespace shell;

constexpr wchar_t kSettingsFile[] = L"Chronoseq.INI";

BOOL CALLBACK collectWindow(HWND hwnd, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
  return TRUE;
}

// The shell's rule for a button: a visible top-level window that is either
// unowned and not a tool window, or marked as an application window.
bool getsAButton(HWND hwnd) {
  if (!IsWindowVisible(hwnd)) return false;
  const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  if (exStyle & WS_EX_APPWINDOW) return true;
  return GetWindow(hwnd, GW_OWNER) == nullptr && (exStyle & WS_EX_TOOLWINDOW) == 0;
}

std::vector<HWND> buttonWindows() {
  std::vector<HWND> all;
  EnumThreadWindows(GetCurrentThreadId(), collectWindow, reinterpret_cast<LPARAM>(&all));
  std::vector<HWND> withButton;
  for (HWND hwnd : all) {
    if (getsAButton(hwnd)) withButton.push_back(hwnd);
  }
  return withButton;
}

std::string fileText() {
  std::ifstream in(kSettingsFile, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class TaskbarButton : public GuiFixture {
 protected:
  void SetUp() override {
    GuiFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // A program file renamed "MyStamp.EXE" has this title.
    title_ = "Mystamp";
    start();
  }
  // What the task bar sends: the button's close, minimise and restore are
  // the window's own system commands.
  void systemCommand(HWND hwnd, WPARAM command) {
    SendMessageW(hwnd, WM_SYSCOMMAND, command, 0);
    pump(50);
  }
};

TEST_F(TaskbarButton, TheMainWindowAloneHasAButtonWithItsCaptionAndNoOwner) {
  EXPECT_EQ(buttonWindows(), std::vector<HWND>{mainWindow()})
      << "exactly one window of the program gets a button";
  EXPECT_EQ(GetWindow(mainWindow(), GW_OWNER), nullptr);
  EXPECT_NE(GetWindowLongPtrW(mainWindow(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
  // The button's text is the caption, not the renamed program's title.
  EXPECT_EQ(windowText(mainWindow()), L"Chronoseq");

  // The dialogs stay owned by the main window and get no button.
  for (app::Command command : {app::Command::changeTimes, app::Command::showVersion}) {
    if (command == app::Command::showVersion) click(item(timeDialog(), IDCANCEL));
    menuCommand(command);
    EXPECT_EQ(GetWindow(timeDialog(), GW_OWNER), mainWindow());
    EXPECT_EQ(GetWindow(messageWindow(), GW_OWNER), mainWindow());
    EXPECT_EQ(buttonWindows(), std::vector<HWND>{mainWindow()});
  }
}

TEST_F(TaskbarButton, CloseFromTheButtonClosesTheMainWindowAndWritesTheSettings) {
  systemCommand(mainWindow(), SC_CLOSE);
  EXPECT_FALSE(IsWindow(mainWindow()));
  EXPECT_EQ(mainWindowDestroyed_, 1);
  const std::string written = fileText();
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 14)
      << "eleven values, the name order and the capture column's two lines";
  EXPECT_TRUE(errorBox_.shown.empty());
}

TEST_F(TaskbarButton, CloseFromTheButtonIsCarriedOutWhileTheDialogLocksTheMainWindow) {
  menuCommand(app::Command::changeTimes);
  ASSERT_TRUE(IsWindowVisible(timeDialog()));
  ASSERT_FALSE(IsWindowEnabled(mainWindow()));
  systemCommand(mainWindow(), SC_CLOSE);
  EXPECT_FALSE(IsWindow(mainWindow()));
  EXPECT_EQ(mainWindowDestroyed_, 1);
}

TEST_F(TaskbarButton, CloseFromTheButtonIsAbandonedWhenTheSettingsCannotBeWritten) {
  pump(150);  // the settings load
  std::ofstream(kSettingsFile, std::ios::binary) << "1\r\n2\r\n";
  SetFileAttributesW(kSettingsFile, FILE_ATTRIBUTE_READONLY);
  systemCommand(mainWindow(), SC_CLOSE);
  SetFileAttributesW(kSettingsFile, FILE_ATTRIBUTE_NORMAL);
  ASSERT_EQ(errorBox_.shown.size(), 1u);
  EXPECT_EQ(errorBox_.shown[0].text, "ファイルへのアクセスが拒否されました.");
  EXPECT_EQ(errorBox_.shown[0].caption, "Mystamp") << "the error box keeps the title";
  EXPECT_EQ(mainWindowDestroyed_, 0);
  EXPECT_TRUE(IsWindow(mainWindow()) && IsWindowVisible(mainWindow()));
  EXPECT_EQ(buttonWindows(), std::vector<HWND>{mainWindow()}) << "the button stays";
}

// The task bar's close stays usable while the error box is up. It arrives
// through the box's own message loop and must wait: no second close handler
// under the first one's failure, no second box on the first.
TEST_F(TaskbarButton, ACloseWhileTheErrorBoxIsUpIsIgnored) {
  pump(150);  // the settings load
  std::ofstream(kSettingsFile, std::ios::binary) << "1\r\n2\r\n";
  SetFileAttributesW(kSettingsFile, FILE_ATTRIBUTE_READONLY);
  int closesSent = 0;
  errorBox_.whileShown = [&] {
    if (closesSent++ > 0) return;                            // a runaway repeat would never end
    SendMessageW(mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the task bar's close
    SendMessageW(mainWindow(), WM_CLOSE, 0, 0);              // another program's
    pump();
  };
  systemCommand(mainWindow(), SC_CLOSE);
  SetFileAttributesW(kSettingsFile, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(errorBox_.shown.size(), 1u) << "one close handler, one box";
  EXPECT_EQ(mainWindowDestroyed_, 0);
  EXPECT_TRUE(IsWindow(mainWindow()));
  EXPECT_EQ(fileText(), "1\r\n2\r\n");

  // Once the box is gone, a close goes through.
  errorBox_.whileShown = nullptr;
  systemCommand(mainWindow(), SC_CLOSE);
  EXPECT_EQ(mainWindowDestroyed_, 1);
}

TEST_F(TaskbarButton, MinimisingAndRestoringFromTheButtonKeepTheMaximisedState) {
  systemCommand(mainWindow(), SC_MINIMIZE);
  EXPECT_TRUE(IsIconic(mainWindow()));
  EXPECT_EQ(buttonWindows(), std::vector<HWND>{mainWindow()}) << "the button stays";

  systemCommand(mainWindow(), SC_RESTORE);
  EXPECT_FALSE(IsIconic(mainWindow()));
  EXPECT_TRUE(IsWindowVisible(mainWindow()));

  // Restored from the button, a window that was maximised comes back maximised.
  ShowWindow(mainWindow(), SW_MAXIMIZE);
  pump(50);
  systemCommand(mainWindow(), SC_MINIMIZE);
  ASSERT_TRUE(IsIconic(mainWindow()));
  systemCommand(mainWindow(), SC_RESTORE);
  EXPECT_TRUE(IsZoomed(mainWindow()));
  EXPECT_EQ(windowText(mainWindow()), L"Chronoseq");
}

// Clicking the button of a window that a dialog keeps disabled activates
// the window's last active popup, the dialog that holds the input.
TEST_F(TaskbarButton, TheButtonLeadsToTheWindowThatHoldsTheInput) {
  enum Holder { kMain, kDialog, kMessage };
  struct Case {
    const char* name;
    std::optional<app::Command> menu;  // none: no dialog open
    Holder expected;
  };
  const Case cases[] = {
      {"idle", std::nullopt, kMain},
      {"time dialog open", app::Command::changeTimes, kDialog},
      {"version notice open", app::Command::showVersion, kMessage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.menu) menuCommand(*c.menu);
    pump(50);
    const HWND expected[] = {mainWindow(), timeDialog(), messageWindow()};
    EXPECT_EQ(GetLastActivePopup(mainWindow()), expected[c.expected]);
  }
}

}  // namespace
}  // namespace gui
