#pragma once

// The program's three windows on real HWNDs, created in the program's
// order, and the event loop. The product's wWinMain and the GUI tests both
// build the windows here.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/app_objects.h"
#include "app/application.h"
#include "platform/copy_ops.h"
#include "platform/file_ops.h"
#include "platform/win32/confirmation_box.h"
#include "platform/win32/error_box.h"
#include "platform/win32/folder_picker.h"
#include "platform/win32/monitor_screen.h"
#include "shell/main_window.h"
#include "shell/message_window.h"
#include "shell/outside_path.h"
#include "shell/time_dialog.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

struct ProgramOptions {
  std::string title;  // the application title: the error box's caption
  // The folder the tree's top node stands for; empty for the desktop. Only
  // the tests give one, to work on a folder of their own.
  std::wstring treeRoot;
  platform::FileOps* fileOps = nullptr;            // null: the system's file system
  platform::FolderRoutes* folderRoutes = nullptr;  // null: the system's
  platform::CopyOps* copyOps = nullptr;            // null: the system's file system
  // Only the tests give one; null: the system's folder picker.
  platform::FolderPicker* folderPicker = nullptr;
  app::TimeEntry::Clock clock = platform::localNow;
  // Runs when the main window has been destroyed; the product ends its loop.
  std::function<void()> onMainWindowDestroyed;
  // Where the window settings file is kept; null: the system's file system.
  platform::TextFiles* textFiles = nullptr;
  // The folder (or file) the program was given as its first argument, opened
  // once the main window is shown; empty: the start lists the desktop only.
  std::wstring startPath;
  // Only the tests give one: stands for ChangeWindowMessageFilterEx when the
  // main window lets drops from Explorer through.
  MessageFilter messageFilter;
  // Only the tests give one: runs after each window's creation handler
  // (1 the main window, 2 the time dialog, 3 the message window).
  std::function<void(int)> afterFormCreate;
};

class Program {
 public:
  explicit Program(ProgramOptions options);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The main window, which carries the program's task-bar button (its
  // creation handler runs, then the tree selects its top node, which lists
  // it), the time dialog and the message window, each running its creation
  // handler. All stay hidden.
  // False when a window cannot be created (there is no display, say).
  bool create();

  // The first showing of the main window at the start of the event loop:
  // maximised or minimised without activation when the program was started
  // so, else normal.
  void showMainWindow(int showCommand);
  // Opens the start path, if there is one.
  void openStartPath();

  // Tab, arrow keys, Enter and Space of the two dialogs. True when the
  // message has been dealt with.
  bool translateDialogMessage(MSG& message);

  app::Application& application() { return app_; }
  app::AppObjects& objects() { return *objects_; }
  app::ListedFolder& folder() { return objects_->folder; }
  MainWindow& mainWindow() { return mainWindow_; }
  TimeDialog& timeDialog() { return timeDialog_; }
  MessageWindow& messageWindow() { return messageWindow_; }

 private:
  ProgramOptions options_;
  app::Application app_;
  MessageBoxErrorBox errorBox_;
  MonitorScreen screen_;
  MainWindow mainWindow_;
  TimeDialog timeDialog_;
  MessageWindow messageWindow_;
  SystemFolderPicker folderPicker_;
  MessageBoxConfirmation confirmation_;
  std::unique_ptr<app::AppObjects> objects_;
};

// Shows the main window, then takes and dispatches messages until the
// main window is gone. Returns the process exit code.
int runEventLoop(Program& windows, int showCommand);

}  // namespace shell
