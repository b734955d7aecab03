#pragma once

// Form1, the main window: menu, folder tree, splitter, entry list, status
// bar and the three timers. Its messages become the handlers of TForm1.

#include <windows.h>

#include <functional>
#include <string>

#include "app/application.h"
#include "app/form1.h"
#include "platform/win32/controls.h"
#include "platform/win32/entry_list.h"
#include "platform/win32/handles.h"
#include "platform/win32/menu_command.h"
#include "platform/win32/message_target.h"
#include "platform/win32/shell_tree.h"
#include "platform/win32/top_window.h"
#include "shell/copy_stop.h"
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

  // Connects the handlers and the texts the list shows.
  void attach(app::TForm1* form, const platform::CellTexts* texts);
  // The tree's top node is created, expanded and selected, which lists it.
  void populateTree() { tree_.populate(); }

  app::Form1Controls controls();

  HWND hwnd() const { return window_.hwnd(); }
  TopWindow& window() { return window_; }
  ShellTree& tree() { return tree_; }
  EntryList& list() { return list_; }
  RowDrag& rowDrag() { return rowDrag_; }
  StatusBarPanels& statusBar() { return statusBar_; }
  Splitter& splitter() { return splitter_; }
  int treeWidth() const { return treeWidth_; }
  // "元に戻す(&U)", greyed out while there is nothing to take back.
  MenuItemCommand& undoItem() { return undoItem_; }
  // "数字を数値として並べる(&N)" under "表示(&V)".
  MenuCheckItem& numericOrderItem() { return numericOrderItem_; }

  // Opens a folder, or a file's folder with its row selected, given from
  // outside (the first argument or a drop); relative paths are taken from
  // the current directory.
  void openPath(const std::wstring& path);
  // "この順番でコピー(&C)...", greyed out while the list is empty.
  MenuItemCommand& copyItem() { return copyItem_; }
  MenuItemCommand& reorderItem() { return reorderItem_; }
  // Esc and the close button while rows are being copied.
  CopyStop& copyStop() { return copyStop_; }

  LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static LRESULT CALLBACK childKeys(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self);

  bool run(const std::function<void()>& handler);
  void layout();
  void applyDpi(UINT dpi, const RECT& suggested);
  void keyReleased(WPARAM key);
  void requestClose();
  LRESULT notify(const NMHDR& header);
  int scaled(int designPixels) const;

  app::Application& app_;
  app::TForm1* form_ = nullptr;
  std::function<void()> onDestroyed_;

  TopWindow window_;
  ShellTree tree_;
  Splitter splitter_;
  EntryList list_;
  StatusBarPanels statusBar_;
  WindowTimer timer1_;
  WindowTimer timer2_;
  WindowTimer timer3_;
  UniqueFont font_;
  RowDrag rowDrag_;
  UINT dpi_ = 96;
  int treeWidth_ = 0;
  MenuItemCommand undoItem_;
  MenuCheckItem numericOrderItem_;
  MenuItemCommand copyItem_;
  MenuItemCommand reorderItem_;
  CopyStop copyStop_;
};

}  // namespace shell
