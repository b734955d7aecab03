// The error box: a message box over the program's windows, which are all
// disabled while it is up and get back their enabled flags afterwards.

#include "platform/win32/error_box.h"

#include <thread>

#include "app/application.h"
#include "gui/gui_fixture.h"
#include "shell/control_ids.h"

namespace gui {
namespace {

using namespace platform::win32;
using namespace shell;

// What another thread saw of the box and the windows while the box was up.
struct Seen {
  std::wstring caption;
  std::wstring text;
  bool anyWindowEnabled = true;
  bool found = false;
};

HWND findMessageBox(DWORD thread) {
  HWND found = nullptr;
  EnumThreadWindows(
      thread,
      [](HWND hwnd, LPARAM out) {
        wchar_t name[16] = {};
        GetClassNameW(hwnd, name, 16);
        if (std::wstring(name) == L"#32770" && IsWindowVisible(hwnd)) {
          *reinterpret_cast<HWND*>(out) = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(GuiTest, AFailureInAHandlerShowsTheErrorBoxOverDisabledWindows) {
  menuCommand(app::Command::changeTimes);  // the dialog has the main window locked
  const WindowFlags before = flags();

  MessageBoxErrorBox box([this] {
    return std::array<HWND, 3>{mainWindow(), timeDialog(), messageWindow()};
  });
  windows_->application().errorBox = &box;

  Seen seen;
  const DWORD uiThread = GetCurrentThreadId();
  const std::array<HWND, 3> windows{mainWindow(), timeDialog(), messageWindow()};
  std::thread closer([&] {
    for (int i = 0; i < 500 && !seen.found; ++i) {
      if (HWND boxWindow = findMessageBox(uiThread)) {
        seen.found = true;
        seen.caption = windowText(boxWindow);
        seen.text = windowText(GetDlgItem(boxWindow, 0xFFFF));
        seen.anyWindowEnabled = false;
        for (HWND w : windows) seen.anyWindowEnabled |= IsWindowEnabled(w) != FALSE;
        PostMessageW(boxWindow, WM_COMMAND, IDOK, 0);
        break;
      }
      Sleep(10);
    }
  });
  const bool ran = app::runHandler(windows_->application(), [] {
    throw app::HandlerFailure("ファイル C:\\x.txt は開けません");
  });
  closer.join();

  EXPECT_FALSE(ran);
  ASSERT_TRUE(seen.found) << "no message box appeared";
  EXPECT_EQ(seen.caption, L"Chronoseq");
  EXPECT_EQ(seen.text, wide("ファイル C:\\x.txt は開けません."));
  EXPECT_FALSE(seen.anyWindowEnabled);
  EXPECT_EQ(flags(), before) << "each window gets back the enabled flag it had";
}

}  // namespace
}  // namespace gui
