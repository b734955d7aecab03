#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/screen.h"

// The window-system operations the three windows' handlers use. The Win32
// side wraps real HWNDs; the tests use an in-memory window system.
namespace platform {

// A top-level window: the main window, the time dialog or the message window.
class Window {
 public:
  virtual ~Window() = default;
  // Showing also brings the window to the front and activates it.
  virtual void show() = 0;
  virtual void hide() = 0;
  virtual bool isVisible() const = 0;
  // True once the window has been shown, minimised included, whatever it
  // shows now: Windows hides the windows a minimised owner owns.
  virtual bool hasBeenShown() const = 0;
  virtual void setEnabled(bool enabled) = 0;
  virtual bool isEnabled() const = 0;
  virtual void setCaption(std::string_view text) = 0;
  virtual std::string caption() const = 0;
  // The ordinary close path: for the main window the close handler runs and,
  // when it returns normally, the event loop ends.
  virtual void close() = 0;
  // Deletes an item of the window's own window menu, counted by position
  // (GetSystemMenu without a copy, DeleteMenu MF_BYPOSITION, DrawMenuBar).
  virtual void deleteWindowMenuItem(int position) = 0;
  // The outer rectangle; while minimised the restored one, while maximised
  // the maximised one.
  virtual WindowBounds outerBounds() const = 0;
  // Moves and sizes the window. A minimised or maximised window keeps its
  // state and takes these as the bounds it is restored to.
  virtual void setOuterBounds(const WindowBounds& bounds) = 0;
  // The outer rectangle the window has, or is restored to when minimised or
  // maximised: what setOuterBounds sets.
  virtual WindowBounds restoredBounds() const = 0;
};

// An edit field or a label.
class TextControl {
 public:
  virtual ~TextControl() = default;
  virtual void setText(std::string_view text) = 0;
  virtual std::string text() const = 0;
};

// The message window's label. setText shows the text in the label's fixed
// area, cut off at its lower edge; setWholeText, for a text that may carry a
// long path, lets the window grow within the screen until every line shows.
class MessageLabel : public TextControl {
 public:
  virtual void setWholeText(std::string_view text) = 0;
};

// A check box or a radio button.
class CheckControl {
 public:
  virtual ~CheckControl() = default;
  virtual void setChecked(bool checked) = 0;
  virtual bool isChecked() const = 0;
};

// An interval timer of the main window; ticks arrive as events of the loop.
class Timer {
 public:
  virtual ~Timer() = default;
  // Switching on starts the interval afresh; switching off stops the ticks.
  virtual void setEnabled(bool enabled) = 0;
  virtual bool isEnabled() const = 0;
};

class StatusBar {
 public:
  virtual ~StatusBar() = default;
  virtual void setPanelText(int panel, std::string_view text) = 0;
  virtual std::string panelText(int panel) const = 0;
};

// The texts an owner-data list shows, read when a cell is drawn.
class CellTexts {
 public:
  virtual ~CellTexts() = default;
  virtual int rowCount() const = 0;
  // Empty for a row or column outside the texts.
  virtual std::string_view cellText(int row, int column) const = 0;
};

// The entry list: a report-view list whose texts come from the program's
// entry model (owner data), while the selected and focused marks belong to
// the control's positions.
class EntryListView {
 public:
  virtual ~EntryListView() = default;
  // Sets the number of rows; marks are cleared.
  virtual void setRowCount(int count) = 0;
  // The texts of rows first..last have changed and must be drawn again.
  virtual void redrawRows(int first, int last) = 0;
  virtual int selectionCount() const = 0;
  // The topmost selected row, or -1.
  virtual int firstSelected() const = 0;
  virtual bool isSelected(int row) const = 0;
  virtual void setSelected(int row, bool selected) = 0;
  virtual void setFocused(int row) = 0;
  virtual int columnWidth(int column) const = 0;
  virtual void setColumnWidth(int column, int width) = 0;

  // Dragging rows and moving them by keyboard.
  // The row holding the focused mark, or -1.
  virtual int focusedRow() const = 0;
  // The row at a point in client coordinates by the control's own hit test,
  // or -1.
  virtual int rowAt(int x, int y) const = 0;
  // The control's outer box in its window's client coordinates.
  virtual int top() const = 0;
  virtual int height() const = 0;
  // Scrolls the contents vertically by dy pixels (negative: toward the top),
  // in whole rows.
  virtual void scrollBy(int dy) = 0;
  // Repaints the list at once.
  virtual void refresh() = 0;
  // All marks at once: the selected rows top to bottom, and the row where a
  // Shift-click selection starts (-1: none). Setting them clears the
  // selected mark of every row not named and puts the focus on `focused`
  // (-1: no row has it).
  virtual std::vector<int> selectedRows() const = 0;
  virtual int selectionMarkRow() const = 0;
  virtual void setMarks(const std::vector<int>& selected, int focused, int selectionMark) = 0;
  // The sort arrow in one column's header (none in the others); -1: none.
  virtual void setSortArrow(int column, bool descending) = 0;
  // Scrolls the list so that the row is wholly in view.
  virtual void ensureVisible(int row) = 0;
  // The fourth column, "撮影日時" after "更新日時": inserted with the width
  // given, or taken away. Asking for what the list already shows changes
  // nothing.
  virtual void showCaptureColumn(bool shown, int width) = 0;
};

// The folder tree of the shell namespace, rooted at the desktop.
class FolderTree {
 public:
  virtual ~FolderTree() = default;
  // The current folder path of the selected node, empty when none is selected.
  virtual std::string selectedPath() const = 0;
  // Rebuilds the tree from its first node, keeping expansion, selection and
  // the top row.
  virtual void refresh() = 0;
  // Selects the node of a folder given by its absolute path, expanding the
  // tree down to it and scrolling it into view; a change of selection lists
  // it. False, with the selection as it was, when the tree holds no such
  // folder.
  virtual bool selectFolder(const std::string& path) = 0;
  // Leaves no node selected; the change is reported like any other.
  virtual void clearSelection() = 0;
};

// The error box: a stop icon and one OK button; the program's windows are
// disabled while it is up and get back their enabled flags afterwards.
class ErrorBox {
 public:
  virtual ~ErrorBox() = default;
  virtual void show(std::string_view caption, std::string_view text) = 0;
  // True while a box is on the screen (its own message loop still delivers
  // events, a close request from the task bar among them).
  virtual bool isShown() const = 0;
};

// Lets a long handler keep its windows painted without running any other
// handler (only paint requests are serviced).
class PaintPump {
 public:
  virtual ~PaintPump() = default;
  virtual void pumpPaint() = 0;
};

// The items of the main window's menu bar, by their command identifier:
// greyed out or enabled, checked or not.
class CommandMenu {
 public:
  virtual ~CommandMenu() = default;
  virtual void setEnabled(int id, bool enabled) = 0;
  virtual bool isEnabled(int id) const = 0;
  virtual void setChecked(int id, bool checked) = 0;
  virtual bool isChecked(int id) const = 0;
};

}  // namespace platform
