// The program's task-bar button: the window carrying it shows the
// application title, owns the main window, and passes minimising, restoring,
// activation and closing on to the main window.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
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
  HWND button() { return windows_->applicationWindow().hwnd(); }
  void systemCommand(HWND hwnd, WPARAM command) {
    SendMessageW(hwnd, WM_SYSCOMMAND, command, 0);
    pump(50);
  }
};

TEST_F(TaskbarButton, OneButtonShowsTheTitleAndTheMainWindowKeepsItsCaption) {
  const std::vector<HWND> withButton = buttonWindows();
  ASSERT_EQ(withButton.size(), 1u) << "exactly one window of the program gets a button";
  EXPECT_EQ(withButton[0], button());
  EXPECT_EQ(windowText(withButton[0]), L"Mystamp");
  EXPECT_EQ(GetWindow(mainWindow(), GW_OWNER), withButton[0]);
  EXPECT_EQ(windowText(mainWindow()), L"Chronoseq");
  EXPECT_EQ(GetWindowLongPtrW(mainWindow(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);

  // Nothing of it shows on the screen.
  RECT rect{};
  GetWindowRect(button(), &rect);
  EXPECT_EQ(rect.right - rect.left, 0);
  EXPECT_EQ(rect.bottom - rect.top, 0);

  // The dialogs stay owned by the main window and get no button either.
  menuCommand(kMenuIME1);
  EXPECT_EQ(GetWindow(timeDialog(), GW_OWNER), mainWindow());
  EXPECT_EQ(buttonWindows(), std::vector<HWND>{button()});
}

TEST_F(TaskbarButton, CloseFromTheButtonClosesTheMainWindowAndTheButtonGoes) {
  systemCommand(button(), SC_CLOSE);
  EXPECT_FALSE(IsWindow(mainWindow()));
  EXPECT_EQ(mainWindowDestroyed_, 1);
  // The main window's close path wrote the settings.
  const std::string written = fileText();
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 12) << "eleven values and the name order";
  EXPECT_FALSE(IsWindow(button())) << "the button goes with the main window";
  EXPECT_TRUE(errorBox_.shown.empty());
}

TEST_F(TaskbarButton, CloseFromTheButtonIsCarriedOutWhileTheDialogLocksTheMainWindow) {
  menuCommand(kMenuIME1);
  ASSERT_TRUE(IsWindowVisible(timeDialog()));
  ASSERT_FALSE(IsWindowEnabled(mainWindow()));
  systemCommand(button(), SC_CLOSE);
  EXPECT_FALSE(IsWindow(mainWindow()));
  EXPECT_EQ(mainWindowDestroyed_, 1);
}

TEST_F(TaskbarButton, CloseFromTheButtonIsAbandonedWhenTheSettingsCannotBeWritten) {
  pump(150);  // the settings load
  std::ofstream(kSettingsFile, std::ios::binary) << "1\r\n2\r\n";
  SetFileAttributesW(kSettingsFile, FILE_ATTRIBUTE_READONLY);
  systemCommand(button(), SC_CLOSE);
  SetFileAttributesW(kSettingsFile, FILE_ATTRIBUTE_NORMAL);
  ASSERT_EQ(errorBox_.shown.size(), 1u);
  EXPECT_EQ(errorBox_.shown[0].text, "ファイルへのアクセスが拒否されました.");
  EXPECT_EQ(mainWindowDestroyed_, 0);
  EXPECT_TRUE(IsWindow(mainWindow()) && IsWindowVisible(mainWindow()));
  EXPECT_EQ(buttonWindows(), std::vector<HWND>{button()}) << "the button stays";
}

TEST_F(TaskbarButton, MinimisingAndRestoringFromTheButtonMoveTheMainWindow) {
  systemCommand(button(), SC_MINIMIZE);
  EXPECT_TRUE(IsIconic(mainWindow()));
  EXPECT_TRUE(IsIconic(button()));
  EXPECT_TRUE(IsWindow(button()) && IsWindowVisible(button())) << "the button stays";

  systemCommand(button(), SC_RESTORE);
  EXPECT_FALSE(IsIconic(mainWindow()));
  EXPECT_TRUE(IsWindowVisible(mainWindow()));
  EXPECT_FALSE(IsIconic(button()));
  EXPECT_EQ(windowText(mainWindow()), L"Chronoseq");
}

TEST_F(TaskbarButton, TheButtonFollowsTheMainWindowsOwnMinimiseAndMaximise) {
  ShowWindow(mainWindow(), SW_MINIMIZE);
  pump(50);
  EXPECT_TRUE(IsIconic(button()));
  EXPECT_TRUE(IsWindowVisible(button()));

  // Restored from the button, a window that was maximised comes back maximised.
  ShowWindow(mainWindow(), SW_RESTORE);
  ShowWindow(mainWindow(), SW_MAXIMIZE);
  pump(50);
  EXPECT_FALSE(IsIconic(button()));
  systemCommand(button(), SC_MINIMIZE);
  ASSERT_TRUE(IsIconic(mainWindow()));
  systemCommand(button(), SC_RESTORE);
  EXPECT_TRUE(IsZoomed(mainWindow()));
  EXPECT_FALSE(IsIconic(button()));
}

TEST_F(TaskbarButton, ActivatingTheButtonActivatesTheWindowThatHoldsTheInput) {
  enum Holder { kMain, kDialog, kMessage };
  struct Case {
    const char* name;
    int menu;  // 0: no dialog open
    Holder expected;
  };
  const Case cases[] = {
      {"idle", 0, kMain},
      {"time dialog open", kMenuIME1, kDialog},
      {"version notice open", kMenuN1, kMessage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.menu) menuCommand(c.menu);
    SetActiveWindow(button());
    pump(50);
    const HWND expected[] = {mainWindow(), timeDialog(), messageWindow()};
    EXPECT_EQ(GetActiveWindow(), expected[c.expected]);
  }
}

}  // namespace
}  // namespace gui
