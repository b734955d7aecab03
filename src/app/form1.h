#pragma once

#include <cstdint>

#include "app/listed_folder.h"
#include "app/messages.h"
#include "app/window_flow.h"
#include "folderlist/column_sort.h"
#include "folderlist/list_entry.h"
#include "folderlist/row_move.h"
#include "platform/collation.h"
#include "platform/file_ops.h"
#include "platform/numeric_collation.h"
#include "platform/time_zone.h"
#include "platform/ui.h"

namespace settings {
class WindowSettings;
}

namespace app {

class CopyCommand;
class ReorderCommand;
class TForm2;
class UndoCommand;

// The controls of the main window that its handlers use.
struct Form1Controls {
  platform::Window& window;
  platform::FolderTree& tree;      // ShellTreeView1
  platform::EntryListView& list;   // ListView1
  platform::StatusBar& statusBar;  // StatusBar1
  platform::Timer& timer1;         // 10 ms, one step of a row move
  platform::Timer& timer2;         // 100 ms, scrolling during a drag
  platform::Timer& timer3;         // 10 ms, one-shot load of the settings file
  // "数字を数値として並べる(&N)" under "表示(&V)"; null: no menu to check.
  platform::CheckControl* numericOrder1 = nullptr;
};

inline constexpr int kVirtualKeyF5 = 116;
inline constexpr int kVirtualKeyUp = 38;
inline constexpr int kVirtualKeyDown = 40;

enum class MouseButton { left, right, middle };
// The modifier keys held with a press or a key.
struct ShiftState {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// What the main window's handlers work with besides its own controls.
struct Form1Links {
  ListedFolder& folder;
  const FlowWindows& flow;
  Messages& messages;
  UndoCommand& undo;
  CopyCommand& copy;
  ReorderCommand& reorder;
  TForm2& timeDialog;
  settings::WindowSettings& windowSettings;
  platform::FileOps& fileOps;  // what a path handed in from outside names
};

// The main window: folder tree, entry list, status bar and menu.
class TForm1 {
 public:
  TForm1(Form1Controls controls, Form1Links links);

  // Window events.
  void FormCreate();
  void FormClose();
  void FormKeyUp(int virtualKey);

  // Menu commands.
  void IME1Click();   // "TIME変更（&T）": opens the time dialog
  void Exit1Click();  // "終了(&X)"
  void N1Click();     // "バージョン情報(&A)"
  void Undo1Click();  // "元に戻す(&U)": takes back the last stamping run
  void Copy1Click();  // "この順番でコピー(&C)...": copies the rows in their order
  // "カード上でこの順番にする(&R)...": puts the folder's entries in the rows'
  // order where they stand.
  void Reorder1Click();
  // A menu opens: the card commands are greyed while the list is empty.
  void MenuOpen();
  // "数字を数値として並べる(&N)": switches the name order.
  void NumericOrder1Click();

  // A folder or file handed from outside, by its absolute path: the first
  // argument or a drop on the window. A folder opens, a file opens its
  // folder with its row selected and in view. Refused while the window is
  // locked; a running move is finished first. A path that cannot be opened
  // leaves everything as it was and says "フォルダ %s を開けません".
  void OpenPath(const std::string& path);

  // Folder tree and entry list.
  void ShellTreeView1Change();
  void ListView1Change();
  // A click on a column header: sorts the rows by that column.
  void ListView1ColumnClick(int column);
  // The order of two rows in the sort: negative, 0 or positive.
  int ListView1Compare(const folderlist::ListEntry& item1, const folderlist::ListEntry& item2);

  // Timers.
  void Timer1Timer();
  void Timer2Timer();
  void Timer3Timer();

  // Dragging rows. A press of any button on the list sets the source index.
  void ListView1MouseDown(MouseButton button, ShiftState shift, int x, int y);
  // Whether a press, once the control has handled it, may start a drag: the
  // left button without Shift or Ctrl on a selected row.
  bool ListView1CanDrag(MouseButton button, ShiftState shift, int pressedRow) const;
  // x, y in the list's client coordinates; accept: whether a drop is allowed.
  void ListView1DragOver(int x, int y, bool& accept);
  void ListView1DragDrop();
  // The drag is over, dropped or cancelled: the automatic scrolling stops.
  void ListView1EndDrag();
  // Alt+Up and Alt+Down move the selected rows one place; true when the key
  // was taken.
  bool ListView1KeyDown(int virtualKey, ShiftState shift);

  // A move runs from a drop to its last step. Whatever would change the
  // list or its marks meanwhile ends it first: finishMove carries out the
  // remaining steps at once; a new listing abandons it.
  bool moveInProgress() const { return move_.moving; }
  void finishMove();

  // Sort column, last sort column, descending flag and the name order.
  const folderlist::ColumnSort& sortState() const { return sort_; }
  // Whether names compare as Explorer does, digits by value.
  bool numericNames() const { return sort_.numericNames; }
  // Sets the name order and its check mark. Rows that stand sorted by name
  // (the arrow on "名前") are sorted again at once, in the same direction.
  void setNumericNames(bool on);
  // Two names in the name column's order as it stands: Explorer's when the
  // option is on, the locale's otherwise. Negative, 0 or positive.
  int compareNames(std::string_view a, std::string_view b);

  const Form1Controls& controls() const { return controls_; }

 private:
  // Empties the list, the entry count and the status panels.
  void clearRows();
  // Timer3's load: switches the timer off, then reads and applies the file.
  void loadSettingsOnce();
  // Sorts the rows by the sort state and shows the arrow.
  void sortByState();

  Form1Controls controls_;
  Form1Links links_;
  folderlist::EntryRows& rows_;  // the listed folder's
  folderlist::ColumnSort sort_;
  platform::TextCollation collation_;
  platform::NumericCollation numericCollation_;
  // The column whose header shows the arrow, -1 for none: the rows stand
  // sorted by it.
  int arrowColumn_ = -1;
  // The drag and move state.
  folderlist::MoveState move_;
};

}  // namespace app
