#pragma once

// The real windows of the program, created in this process on the X display
// Wine runs on, with the folder tree rooted at a folder of the test's own.

#include <windows.h>
// The headers below need the types <windows.h> declares.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_table.h"
#include "fakes/fake_ui.h"
#include "shell/program.h"

namespace gui {

// CI always installs the tools and displays the tests need, so there a
// missing one is a broken install, not a reason to skip.
inline bool inCi() {
  const char* value = std::getenv("CI");
  return value && *value;
}

// Skips the test for want of a tool, with the reason; fails instead in CI.
#define CHRONOSEQ_SKIP_FOR_WANT_OF(reason)                             \
  do {                                                                 \
    if (::gui::inCi()) {                                               \
      GTEST_FAIL() << reason << " (CI is set: the install is broken)"; \
    } else {                                                           \
      GTEST_SKIP() << reason;                                          \
    }                                                                  \
  } while (false)

// The fixed moment the time dialog's clock reports.
inline constexpr platform::LocalDateTime kNow{2026, 12, 8, 9, 5, 7};

// Visible and enabled of the three windows.
struct WindowFlags {
  bool mainVisible, mainEnabled;
  bool dialogVisible, dialogEnabled;
  bool messageVisible, messageEnabled;
  friend bool operator==(const WindowFlags&, const WindowFlags&) = default;
};
void PrintTo(const WindowFlags& flags, std::ostream* out);

std::wstring wide(std::string_view utf8);
std::wstring windowText(HWND hwnd);
// The text of an item of any tree view.
std::wstring treeItemText(HWND tree, HTREEITEM item);
// Scales a design size to the window's DPI, as the program does.
int scaled(HWND hwnd, int designPixels);

class GuiFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The display check, COM and the fixture folder: a.txt, b.txt, 日本語.txt,
  // sub (inner.txt, deeper) and empty.
  void prepare();
  // Creates the three windows and shows the main window as the loop does;
  // then delivers what is queued unless told not to.
  void start(bool deliver = true);

  // Delivers what is queued (and what arrives within ms) as the loop does;
  // with ms, it returns after ms even while messages keep coming.
  void pump(int ms = 0);
  // Delivers messages until done() holds or ms pass; whether it holds. For
  // what the window manager answers in its own time under load.
  bool pumpUntil(const std::function<bool()>& done, int ms = 2000);

  HWND mainWindow() { return windows_->mainWindow().hwnd(); }
  HWND timeDialog() { return windows_->timeDialog().hwnd(); }
  HWND messageWindow() { return windows_->messageWindow().hwnd(); }
  HWND tree() { return windows_->mainWindow().tree().hwnd(); }
  HWND list() { return windows_->mainWindow().list().hwnd(); }
  HWND statusBar() { return windows_->mainWindow().statusBar().hwnd(); }
  HWND item(HWND parent, int id) { return GetDlgItem(parent, id); }

  WindowFlags flags();
  void menuCommand(app::Command command);
  void click(HWND button);
  // A key as the event loop delivers it to the focused control.
  void key(UINT message, WPARAM virtualKey);

  int rowCount();
  std::wstring cellText(int row, int column);
  std::vector<std::wstring> listedNames();
  std::wstring panelText(int panel);
  HTREEITEM treeItem(std::wstring_view text);
  std::wstring treeItemText(HTREEITEM item);
  void selectTreeItem(std::wstring_view text);

  const std::filesystem::path& folder() const { return folder_; }

  bool skipped_ = false;
  HRESULT com_ = E_FAIL;
  std::filesystem::path folder_;
  fakes::FakeErrorBox errorBox_;
  int mainWindowDestroyed_ = 0;
  platform::FileOps* fileOps_ = nullptr;            // set before start(); null: the system's
  platform::TextFiles* textFiles_ = nullptr;        // set before start(); null: the system's
  platform::FolderPicker* folderPicker_ = nullptr;  // set before start(); null: the system's
  // The show request the program is started with (a shortcut's 最小化 gives
  // SW_SHOWMINNOACTIVE).
  int showCommand_ = SW_SHOWNORMAL;
  std::unique_ptr<shell::Program> windows_;
  // The current directory while the windows live (the settings file's
  // place), apart from the listed folder.
  std::filesystem::path workFolder_;
  std::filesystem::path previousFolder_;
  // Runs after each window's creation handler during start().
  std::function<void(int)> afterFormCreate_;
  // The application title the windows are created with.
  std::string title_ = "Chronoseq";
  // The program's first argument, opened once the main window is shown.
  std::wstring startPath_;
  // The tree's top node is the Desktop, as in the product, rather than
  // folder().
  bool desktopTree_ = false;
  // Set before start(): stands for ChangeWindowMessageFilterEx.
  shell::MessageFilter messageFilter_;
};

// Most tests start with the windows up.
class GuiTest : public GuiFixture {
 protected:
  void SetUp() override {
    GuiFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    start();
  }
};

}  // namespace gui
