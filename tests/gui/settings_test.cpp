// The window settings file with the real windows: written when the main
// window closes, read back at the next start, and the failures at closing
// and loading as the user meets them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/no_new_files_text_files.h"
#include "fakes/temp_folder.h"
#include "gui/gui_fixture.h"
#include "platform/win32/utf.h"
#include "shell/control_ids.h"

namespace gui {
namespace {

constexpr wchar_t kSettingsFile[] = L"Chronoseq.INI";
constexpr wchar_t kHoldFileVariable[] = L"CHRONOSEQ_TEST_HOLD_FILE";
constexpr wchar_t kHoldEventVariable[] = L"CHRONOSEQ_TEST_HOLD_EVENT";

RECT rectOf(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect;
}

std::string fileText() {
  std::ifstream in(kSettingsFile, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeSettings(const std::string& text) {
  std::ofstream(kSettingsFile, std::ios::binary) << text;
}

std::string line(long value) { return std::to_string(value) + "\r\n"; }

// The eleven lines as they should be, from what the window system reports,
// and the name order's line.
std::string expectedText(const RECT& main, const std::vector<int>& columns, const RECT& dialog,
                         const RECT& message, bool numericNames = false) {
  return line(main.top) + line(main.left) + line(main.right - main.left) +
         line(main.bottom - main.top) + line(columns[0]) + line(columns[1]) + line(columns[2]) +
         line(dialog.top) + line(dialog.left) + line(message.top) + line(message.left) +
         line(numericNames ? 1 : 0) + line(0) + line(120);  // the capture column: hidden, 120
}

bool sameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string describe(const RECT& r) {
  std::ostringstream out;
  out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
  return out.str();
}

class Settings : public GuiFixture {
 protected:
  std::vector<int> columns() {
    return {ListView_GetColumnWidth(list(), 0), ListView_GetColumnWidth(list(), 1),
            ListView_GetColumnWidth(list(), 2)};
  }
  // Closes the main window as its title bar's close button does.
  void close() {
    SendMessageW(mainWindow(), WM_CLOSE, 0, 0);
    pump();
  }
  // The load comes at the first tick of a 10 ms timer.
  void startAndLoad() {
    start();
    pump(150);
  }
  bool settingsTimerOn() { return windows_->mainWindow().controls().settingsLoadTimer.isEnabled(); }
};

TEST_F(Settings, ARoundTripAcrossTwoRunsNegativePositionsIncluded) {
  startAndLoad();
  SetWindowPos(mainWindow(), nullptr, -20, -10, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE);
  ListView_SetColumnWidth(list(), 0, 200);
  ListView_SetColumnWidth(list(), 1, 90);
  ListView_SetColumnWidth(list(), 2, 150);
  SetWindowPos(timeDialog(), nullptr, -100, 50, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  SetWindowPos(messageWindow(), nullptr, 300, -30, 0, 0,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  pump(50);
  const RECT main = rectOf(mainWindow());
  const RECT dialog = rectOf(timeDialog());
  const RECT message = rectOf(messageWindow());
  const std::vector<int> widths = columns();
  ASSERT_LT(main.left, 0) << "the window system kept the main window at " << describe(main);
  ASSERT_LT(dialog.left, 0);
  ASSERT_LT(message.top, 0);

  close();
  ASSERT_EQ(mainWindowDestroyed_, 1) << "closing went ahead";
  EXPECT_TRUE(errorBox_.shown.empty());
  EXPECT_EQ(fileText(), expectedText(main, widths, dialog, message));

  // The second run.
  windows_.reset();
  mainWindowDestroyed_ = 0;
  startAndLoad();
  EXPECT_TRUE(errorBox_.shown.empty());
  // Under load the window manager may answer the first showing after the
  // load has placed the window; its last word is what counts.
  pumpUntil([&] { return sameRect(rectOf(mainWindow()), main); });
  EXPECT_TRUE(sameRect(rectOf(mainWindow()), main)) << describe(rectOf(mainWindow()));
  EXPECT_EQ(columns(), widths);
  EXPECT_TRUE(sameRect(rectOf(timeDialog()), dialog)) << describe(rectOf(timeDialog()));
  EXPECT_TRUE(sameRect(rectOf(messageWindow()), message)) << describe(rectOf(messageWindow()));
  EXPECT_FALSE(settingsTimerOn());
}

TEST_F(Settings, TheNameOrderGoesThroughTheTwelfthLineToTheNextRun) {
  startAndLoad();
  const auto checked = [this] {
    const UINT state = GetMenuState(GetMenu(mainWindow()),
                                    app::commandId(app::Command::numericOrder), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
  };
  EXPECT_FALSE(checked());
  menuCommand(app::Command::numericOrder);
  ASSERT_TRUE(checked());
  const RECT main = rectOf(mainWindow());
  const RECT dialog = rectOf(timeDialog());
  const RECT message = rectOf(messageWindow());
  const std::vector<int> widths = columns();
  close();
  ASSERT_EQ(mainWindowDestroyed_, 1);
  EXPECT_EQ(fileText(), expectedText(main, widths, dialog, message, true));

  windows_.reset();
  mainWindowDestroyed_ = 0;
  startAndLoad();
  EXPECT_TRUE(errorBox_.shown.empty());
  EXPECT_TRUE(checked());
  EXPECT_TRUE(windows_->objects().order.numericNames());

  // Switched off, the next run finds it off; a file of eleven lines too.
  menuCommand(app::Command::numericOrder);
  close();
  const std::string options = "\r\n0\r\n0\r\n120\r\n";
  EXPECT_TRUE(fileText().ends_with(options));
  windows_.reset();
  std::string eleven = fileText();
  eleven.resize(eleven.size() - options.size() + 2);
  writeSettings(eleven);
  startAndLoad();
  EXPECT_FALSE(checked());
  EXPECT_TRUE(errorBox_.shown.empty());
}

TEST_F(Settings, ClosingWhileMaximisedStoresTheMaximisedRectangle) {
  startAndLoad();
  ShowWindow(mainWindow(), SW_MAXIMIZE);
  pump(100);
  ASSERT_TRUE(IsZoomed(mainWindow()));
  const RECT maximised = rectOf(mainWindow());
  const std::vector<int> widths = columns();
  const RECT dialog = rectOf(timeDialog());
  const RECT message = rectOf(messageWindow());
  close();
  ASSERT_EQ(mainWindowDestroyed_, 1);
  EXPECT_EQ(fileText(), expectedText(maximised, widths, dialog, message));

  windows_.reset();
  startAndLoad();
  EXPECT_FALSE(IsZoomed(mainWindow())) << "the next start shows an ordinary window";
  pumpUntil([&] {
    const RECT now = rectOf(mainWindow());
    return now.bottom - now.top == maximised.bottom - maximised.top;
  });
  const RECT loaded = rectOf(mainWindow());
  EXPECT_EQ(loaded.right - loaded.left, maximised.right - maximised.left);
  EXPECT_EQ(loaded.bottom - loaded.top, maximised.bottom - maximised.top);
  // Wine hands a window that covers the whole screen to the window manager
  // as a full-screen one, which may move it by a pixel; no more.
  const int slack = testsupport::runningUnderWine() ? 1 : 0;
  EXPECT_LE(std::abs(loaded.left - maximised.left), slack)
      << describe(loaded) << " for " << describe(maximised);
  EXPECT_LE(std::abs(loaded.top - maximised.top), slack)
      << describe(loaded) << " for " << describe(maximised);
}

TEST_F(Settings, ClosingWhileMinimisedStoresTheRestoredRectangle) {
  startAndLoad();
  SetWindowPos(mainWindow(), nullptr, 40, 30, 720, 520, SWP_NOZORDER | SWP_NOACTIVATE);
  pump(50);
  const RECT restored = rectOf(mainWindow());
  ShowWindow(mainWindow(), SW_MINIMIZE);
  pump(100);
  ASSERT_TRUE(IsIconic(mainWindow()));
  const std::vector<int> widths = columns();
  const RECT dialog = rectOf(timeDialog());
  const RECT message = rectOf(messageWindow());
  close();
  ASSERT_EQ(mainWindowDestroyed_, 1);
  EXPECT_EQ(fileText(), expectedText(restored, widths, dialog, message));
}

// Started minimised or maximised, the main window keeps that state and the
// stored rectangle becomes the one it is restored to.
TEST_F(Settings, AWindowStartedMinimisedOrMaximisedIsRestoredToTheStoredRectangle) {
  for (const int show : {SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED}) {
    SCOPED_TRACE(show == SW_SHOWMINNOACTIVE ? "minimised" : "maximised");
    writeSettings("60\r\n-30\r\n700\r\n480\r\n");
    start(false);
    ShowWindow(mainWindow(), show);
    pump(200);
    EXPECT_FALSE(settingsTimerOn());
    EXPECT_EQ(IsIconic(mainWindow()) != FALSE, show == SW_SHOWMINNOACTIVE);
    EXPECT_EQ(IsZoomed(mainWindow()) != FALSE, show == SW_SHOWMAXIMIZED);
    // What the window system will restore it to (no bar is docked at the
    // top or left here, so workspace and screen coordinates agree).
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    ASSERT_TRUE(GetWindowPlacement(mainWindow(), &placement));
    EXPECT_TRUE(sameRect(placement.rcNormalPosition, RECT{-30, 60, 670, 540}))
        << describe(placement.rcNormalPosition);
    windows_.reset();
    pump();
  }
}

// A shortcut set to 最小化 starts the program with SW_SHOWMINNOACTIVE. The
// file's values are applied although the main window was never shown
// normally, and a close from the task bar before any restore keeps them.
TEST_F(Settings, AStartMinimisedWithoutActivationAppliesTheFileAndClosingKeepsIt) {
  const std::string stored =
      "60\r\n-30\r\n700\r\n480\r\n300\r\n60\r\n110\r\n100\r\n200\r\n150\r\n250\r\n1\r\n0\r\n"
      "120\r\n";
  writeSettings(stored);
  showCommand_ = SW_SHOWMINNOACTIVE;
  startAndLoad();
  ASSERT_TRUE(IsIconic(mainWindow()));
  EXPECT_FALSE(settingsTimerOn());
  EXPECT_EQ(columns(), (std::vector<int>{300, 60, 110}));
  EXPECT_EQ(rectOf(timeDialog()).top, 100);
  EXPECT_EQ(rectOf(messageWindow()).left, 250);
  SendMessageW(mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
  pump();
  ASSERT_EQ(mainWindowDestroyed_, 1);
  EXPECT_EQ(fileText(), stored);
}

// A close that comes before the first tick of the settings timer reads the
// file first: the user's values are written back, not the design's.
TEST_F(Settings, AClosingBeforeTheFirstTickKeepsTheFilesValues) {
  const std::string stored =
      "60\r\n-30\r\n700\r\n480\r\n300\r\n60\r\n110\r\n100\r\n200\r\n150\r\n250\r\n1\r\n0\r\n"
      "120\r\n";
  writeSettings(stored);
  start(false);
  ASSERT_TRUE(settingsTimerOn()) << "no tick has come yet";
  close();
  ASSERT_EQ(mainWindowDestroyed_, 1);
  EXPECT_EQ(fileText(), stored);
}

// Writing a new file beside the settings and renaming it over them needs
// rights of its own. Where they are refused, the file is written in place.
TEST_F(Settings, AFolderThatRefusesNewFilesStillGetsTheSettingsWrittenInPlace) {
  writeSettings("1\r\n2\r\n");
  fakes::NoNewFilesTextFiles noNewFiles;
  textFiles_ = &noNewFiles;
  start();
  pump(150);
  SetWindowPos(mainWindow(), nullptr, 40, 30, 720, 520, SWP_NOZORDER | SWP_NOACTIVATE);
  pump(50);
  const RECT main = rectOf(mainWindow());
  const std::vector<int> widths = columns();
  const RECT dialog = rectOf(timeDialog());
  const RECT message = rectOf(messageWindow());
  close();
  EXPECT_GT(noNewFiles.refusals, 0) << "the safe save was tried first";
  EXPECT_TRUE(errorBox_.shown.empty());
  ASSERT_EQ(mainWindowDestroyed_, 1);
  EXPECT_EQ(fileText(), expectedText(main, widths, dialog, message));
  EXPECT_FALSE(std::filesystem::exists(L"Chronoseq.INI.tmp"));
}

// Another program holding the file open, sharing reading and writing but
// not deleting, lets it be written but not replaced.
TEST_F(Settings, AFileHeldWithoutDeleteSharingIsWrittenInPlace) {
  writeSettings("1\r\n2\r\n");
  startAndLoad();
  const std::vector<int> widths = columns();
  const RECT main = rectOf(mainWindow());
  const RECT dialog = rectOf(timeDialog());
  const RECT message = rectOf(messageWindow());
  auto hold = testsupport::holdWithoutDeleteSharing(platform::narrow(kSettingsFile));
  close();
  hold.reset();
  EXPECT_TRUE(errorBox_.shown.empty());
  ASSERT_EQ(mainWindowDestroyed_, 1);
  EXPECT_EQ(fileText(), expectedText(main, widths, dialog, message));
}

TEST_F(Settings, AReadOnlyFileAtClosingShowsTheErrorAndTheWindowStaysOpen) {
  writeSettings("1\r\n2\r\n");
  SetFileAttributesW(kSettingsFile, FILE_ATTRIBUTE_READONLY);
  start();
  pump(150);
  close();
  ASSERT_EQ(errorBox_.shown.size(), 1u);
  EXPECT_EQ(errorBox_.shown[0].text, "ファイルへのアクセスが拒否されました.");
  EXPECT_EQ(mainWindowDestroyed_, 0);
  EXPECT_TRUE(IsWindow(mainWindow()) && IsWindowVisible(mainWindow()) &&
              IsWindowEnabled(mainWindow()))
      << "the main window stays open and usable";
  EXPECT_EQ(fileText(), "1\r\n2\r\n");

  // A later close tries again.
  SetFileAttributesW(kSettingsFile, FILE_ATTRIBUTE_NORMAL);
  close();
  EXPECT_EQ(mainWindowDestroyed_, 1);
  const std::string written = fileText();
  // The eleven values, the name order and the capture column's two lines.
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 14);
}

// Runs as a process of its own for the test below: holds the file named in
// the environment open, sharing nothing, until told to let go.
TEST(SettingsHolder, HoldsAFileForAnotherTest) {
  wchar_t file[MAX_PATH] = {};
  wchar_t event[64] = {};
  if (!GetEnvironmentVariableW(kHoldFileVariable, file, MAX_PATH) ||
      !GetEnvironmentVariableW(kHoldEventVariable, event, 64)) {
    GTEST_SKIP() << "only another test starts this one, as a process of its own";
  }
  const HANDLE held =
      CreateFileW(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const HANDLE holding =
      OpenEventW(EVENT_MODIFY_STATE, FALSE, (std::wstring(event) + L"-held").c_str());
  const HANDLE release =
      OpenEventW(SYNCHRONIZE, FALSE, (std::wstring(event) + L"-release").c_str());
  ASSERT_TRUE(holding && release);
  SetEvent(holding);
  WaitForSingleObject(release, 30000);
  CloseHandle(held);
  CloseHandle(holding);
  CloseHandle(release);
}

TEST_F(Settings, AFileHeldByAnotherProcessAtClosingShowsItsCode) {
  writeSettings("1\r\n2\r\n");
  start();
  pump(150);

  const std::wstring event = L"chronoseq-hold-" + std::to_wstring(GetCurrentProcessId());
  const HANDLE held = CreateEventW(nullptr, TRUE, FALSE, (event + L"-held").c_str());
  const HANDLE release = CreateEventW(nullptr, TRUE, FALSE, (event + L"-release").c_str());
  const std::wstring path = std::filesystem::absolute(kSettingsFile).wstring();
  SetEnvironmentVariableW(kHoldFileVariable, path.c_str());
  SetEnvironmentVariableW(kHoldEventVariable, event.c_str());
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command =
      L"\"" + std::wstring(self) + L"\" --gtest_filter=SettingsHolder.HoldsAFileForAnotherTest";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
  SetEnvironmentVariableW(kHoldFileVariable, nullptr);
  SetEnvironmentVariableW(kHoldEventVariable, nullptr);
  ASSERT_TRUE(started) << GetLastError();
  ASSERT_EQ(WaitForSingleObject(held, 30000), WAIT_OBJECT_0) << "the other process holds the file";

  close();
  SetEvent(release);
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(held);
  CloseHandle(release);

  ASSERT_EQ(errorBox_.shown.size(), 1u);
  EXPECT_EQ(errorBox_.shown[0].text, "I/O エラー (32)");
  EXPECT_EQ(mainWindowDestroyed_, 0);
  EXPECT_EQ(fileText(), "1\r\n2\r\n");
  close();
  EXPECT_EQ(mainWindowDestroyed_, 1) << "once the other process has let go, closing goes ahead";
}

TEST_F(Settings, ABadThirdLineShowsTheErrorOnceWithTheValuesBeforeItApplied) {
  writeSettings("10\r\n20\r\n300a\r\n400\r\n100\r\n50\r\n60\r\n5\r\n5\r\n6\r\n6\r\n");
  start();
  const RECT before = rectOf(mainWindow());
  const std::vector<int> widths = columns();
  const RECT dialog = rectOf(timeDialog());
  pump(300);  // many ticks' time
  ASSERT_EQ(errorBox_.shown.size(), 1u);
  EXPECT_EQ(errorBox_.shown[0].text, "入力値が数値ではありません.");
  const RECT after = rectOf(mainWindow());
  EXPECT_EQ(after.top, 10);
  EXPECT_EQ(after.left, 20);
  EXPECT_EQ(after.right - after.left, before.right - before.left) << "Width keeps its value";
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top) << "Height keeps its value";
  EXPECT_EQ(columns(), widths);
  EXPECT_TRUE(sameRect(rectOf(timeDialog()), dialog));
  EXPECT_FALSE(settingsTimerOn());
}

TEST_F(Settings, AnOffScreenDialogComesBackOntoTheScreen) {
  writeSettings(
      "0\r\n0\r\n808\r\n612\r\n350\r\n70\r\n120\r\n30000\r\n30000\r\n-30000\r\n-30000\r\n");
  startAndLoad();
  EXPECT_TRUE(errorBox_.shown.empty());
  for (HWND dialog : {timeDialog(), messageWindow()}) {
    const RECT rect = rectOf(dialog);
    const HMONITOR monitor = MonitorFromRect(&rect, MONITOR_DEFAULTTONULL);
    ASSERT_NE(monitor, nullptr) << describe(rect) << " is on no monitor";
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(monitor, &info);
    EXPECT_GE(rect.left, info.rcWork.left) << describe(rect);
    EXPECT_GE(rect.top, info.rcWork.top) << describe(rect);
    EXPECT_LE(rect.right, info.rcWork.right) << describe(rect);
    EXPECT_LE(rect.bottom, info.rcWork.bottom) << describe(rect);
  }
}

TEST_F(Settings, AbsurdSizesAreBoundedToTheLargestWindow) {
  writeSettings("0\r\n0\r\n1000000\r\n1000000\r\n");
  startAndLoad();
  const RECT rect = rectOf(mainWindow());
  EXPECT_LE(rect.right - rect.left, GetSystemMetrics(SM_CXMAXTRACK));
  EXPECT_LE(rect.bottom - rect.top, GetSystemMetrics(SM_CYMAXTRACK));
}

TEST_F(Settings, NoTickLoadsWhileTheWindowsAreStillBeingCreated) {
  writeSettings("-10\r\n-20\r\n700\r\n500\r\n");
  std::vector<RECT> seen;
  std::vector<bool> timerOn;
  // An error box during creation runs a message loop of its own: deliver
  // what comes for a while, as it would, after the main window and after the time dialog.
  afterFormCreate_ = [&](int form) {
    if (form == 3) return;
    pump(150);
    seen.push_back(rectOf(mainWindow()));
    timerOn.push_back(settingsTimerOn());
  };
  start(false);
  ASSERT_EQ(seen.size(), 2u);
  const RECT design = seen[0];
  EXPECT_NE(design.left, -20);
  EXPECT_TRUE(sameRect(seen[1], design)) << "nothing applied before the message window exists";
  EXPECT_EQ(timerOn, (std::vector<bool>{true, true}));
  pump(150);
  const RECT loaded = rectOf(mainWindow());
  EXPECT_EQ(loaded.left, -20);
  EXPECT_EQ(loaded.top, -10);
  EXPECT_FALSE(settingsTimerOn());
}

TEST_F(Settings, LoggingOffDoesNotWriteTheFile) {
  startAndLoad();
  EXPECT_NE(SendMessageW(mainWindow(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0);
  SendMessageW(mainWindow(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  pump();
  EXPECT_FALSE(std::filesystem::exists(kSettingsFile)) << "the close handler did not run";
  EXPECT_EQ(mainWindowDestroyed_, 0);
}

}  // namespace
}  // namespace gui
