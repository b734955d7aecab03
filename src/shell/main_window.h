#pragma once

// The main window: menu, folder tree, splitter, entry list, status bar and
// the four timers. Its messages become the handlers of the program's
// objects.

#include <windows.h>
// The headers below need the types <windows.h> declares.
#include <shellapi.h>

#include <functional>
#include <string>

#include "app/app_objects.h"
#include "app/application.h"
#include "platform/win32/controls.h"
#include "platform/win32/entry_list.h"
#include "platform/win32/handles.h"
#include "platform/win32/menu_bar.h"
#include "platform/win32/message_target.h"
#include "platform/win32/shell_tree.h"
#include "platform/win32/top_window.h"
#include "shell/copy_stop.h"
#include "shell/outside_path.h"
#include "shell/row_drag.h"
#include "shell/splitter.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

class MainWindow final : public MessageTarget {
 public:
  // treeRoot: the folder the tree's top node stands for, empty for the
  // desktop. onDestroyed runs when the window is gone (the event loop ends).
  MainWindow(app::Application& app, std::wstring treeRoot, std::function<void()> onDestroyed);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window hidden, at its design place and size, with its
  // controls. It has no owner and carries the program's task-bar button,
  // whose text is its caption: Windows gives an owned window no thumbnail,
  // no Alt+Tab entry of its own, and hides it when its owner is minimised.
  bool create();
  void destroy();

  // Connects the handlers and the texts the list shows; null: none run any
  // more.
  void attach(app::AppObjects* objects);
  // The tree's top node is created, expanded and selected, which lists it.
  void populateTree() { tree_.populate(); }

  app::MainWindowControls controls();

  HWND hwnd() const { return window_.hwnd(); }
  TopWindow& window() { return window_; }
  ShellTree& tree() { return tree_; }
  EntryList& list() { return list_; }
  RowDrag& rowDrag() { return rowDrag_; }
  StatusBarPanels& statusBar() { return statusBar_; }
  int treeWidth() const { return treeWidth_; }

  // Opens a folder, or a file's folder with its row selected, given from
  // outside (the first argument or a drop); relative paths are taken from
  // the current directory.
  void openPath(const std::wstring& path);
  // Esc and the close button while rows are being copied.
  CopyStop& copyStop() { return copyStop_; }
  // Stands for ChangeWindowMessageFilterEx at creation; empty: the real one.
  void setMessageFilter(MessageFilter filter) { messageFilter_ = std::move(filter); }

  LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static LRESULT CALLBACK childKeys(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self);

  // Runs a handler of the program's objects as the event loop does; false
  // when none are attached or it failed.
  template <class Handler>
  bool run(Handler&& handler) {
    return objects_ && app::runHandler(app_, [&] { handler(*objects_); });
  }
  bool createControls();
  void layout();
  void applyDpi(UINT dpi, const RECT& suggested);
  void keyReleased(WPARAM key);
  void requestClose();
  // The handlers of WM_COMMAND, WM_NOTIFY, WM_TIMER and WM_DROPFILES.
  void menuCommand(WPARAM wParam, LPARAM lParam);
  LRESULT notify(const NMHDR& header);
  LRESULT listNotify(const NMHDR& header);
  void timerTick(WPARAM id);
  void dropped(HDROP drop);
  // The messages about the window's frame, place, focus and life.
  LRESULT frameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  int scaled(int designPixels) const;

  app::Application& app_;
  app::AppObjects* objects_ = nullptr;
  std::function<void()> onDestroyed_;

  TopWindow window_;
  ShellTree tree_;
  Splitter splitter_;
  EntryList list_;
  StatusBarPanels statusBar_;
  WindowTimer moveStepTimer_;
  WindowTimer dragScrollTimer_;
  WindowTimer settingsLoadTimer_;
  WindowTimer captureTimer_;
  UniqueFont font_;
  RowDrag rowDrag_;
  UINT dpi_ = 96;
  int treeWidth_ = 0;
  MenuBar menu_;
  CopyStop copyStop_;
  MessageFilter messageFilter_;
};

}  // namespace shell
