#include "app/form1.h"

#include "app/copy_command.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/undo_command.h"
#include "app/window_flow.h"
#include "folderlist/listing.h"
#include "folderlist/row_sort.h"
#include "folderlist/status_line.h"
#include "platform/path.h"
#include "settings/window_settings.h"

namespace app {

namespace {

constexpr std::int32_t kNoSortColumn = 100;
constexpr std::string_view kVersionNotice = "\r\nChronoseq Version 0.7";
constexpr std::string_view kVersionCaption = "バージョン情報";

}  // namespace

TForm1::TForm1(Application& app, Form1Controls controls) : app_(app), controls_(controls) {}

void TForm1::FormCreate() {
  sort_.lastSortColumn = kNoSortColumn;
  controls_.timer3.setEnabled(true);
}

void TForm1::FormClose() { saveWindowSettings(app_); }

void TForm1::FormKeyUp(int virtualKey) {
  // Shift and Ctrl are not looked at: Shift+F5 and Ctrl+F5 refresh too.
  if (virtualKey != kVirtualKeyF5) return;
  // The refreshed folder may no longer be what the last run changed.
  dropUndo(app_);
  controls_.tree.refresh();
}

void TForm1::IME1Click() {
  if (entryCount_ <= 0) return;
  // The rows are stamped in the order the move leaves them.
  finishMove();
  app_.form2->fillToday();
  openTimeDialog(flowWindows(app_));
}

void TForm1::Exit1Click() {
  // The entry count goes with the rows, so the two agree even if closing
  // were abandoned.
  dropUndo(app_);
  clearRows();
  controls_.window.close();
}

void TForm1::N1Click() {
  TForm3& messages = *app_.form3;
  messages.controls().label1.setText(kVersionNotice);
  messages.controls().window.setCaption(kVersionCaption);
  showMessageOverMain(flowWindows(app_));
}

void TForm1::Undo1Click() {
  // Undo finds its rows by name; a move still running is finished first so
  // that no step runs between the restored rows.
  finishMove();
  if (app_.undo) app_.undo->execute();
}

void TForm1::Copy1Click() {
  // The rows are copied in the order the move leaves them.
  finishMove();
  if (app_.copy) app_.copy->execute();
}

void TForm1::ShellTreeView1Change() {
  dropUndo(app_);
  clearRows();
  const std::string folder = currentFolderPath();
  // A virtual object of the namespace (the computer, say) yields a display
  // name that names no folder: it lists nothing.
  if (!platform::isAbsolutePath(folder)) return;
  folderlist::listFolderInto(rows_, folder, separators_);
  entryCount_ = static_cast<std::int32_t>(rows_.size());
  controls_.list.setRowCount(entryCount_);
}

void TForm1::clearRows() {
  // No step of a move may run on the rows of another listing.
  move_.moving = false;
  controls_.timer1.setEnabled(false);
  rows_.clear();
  entryCount_ = 0;
  // Emptying the list may raise no change notification; the panels would
  // otherwise keep the previous folder's texts.
  controls_.statusBar.setPanelText(0, "");
  controls_.statusBar.setPanelText(1, "");
  controls_.list.setRowCount(0);
  // The arrow stands for the order of the rows, which a new listing undoes.
  controls_.list.setSortArrow(-1, false);
}

void TForm1::ListView1Change() {
  const int selected = controls_.list.selectionCount();
  const int first = controls_.list.firstSelected();
  const bool known = first >= 0 && static_cast<std::size_t>(first) < rows_.size();
  const auto texts = folderlist::statusLine(known ? selected : 0, entryCount_,
                                            known ? std::string_view(rows_[first].name) : "");
  controls_.statusBar.setPanelText(0, texts.panel0);
  controls_.statusBar.setPanelText(1, texts.panel1);
}

void TForm1::ListView1ColumnClick(int column) {
  // A move still running would go on over the re-sorted rows.
  finishMove();
  sort_.click(column);
  const bool descending = sort_.descending == 1;
  if (!rows_.empty()) {
    // The list is owner data: the rows are sorted here and the marks, which
    // the control keeps per position, are moved with them.
    platform::EntryListView& list = controls_.list;
    platform::ListMarks marks = list.marks();
    folderlist::sortRows(rows_, marks, sort_.sortColumn, descending, collation_);
    list.setMarks(marks);
    list.redrawRows(0, static_cast<int>(rows_.size()) - 1);
  }
  controls_.list.setSortArrow(sort_.sortColumn, descending);
  // The topmost selected row may be another one now.
  ListView1Change();
}

int TForm1::ListView1Compare(const folderlist::ListEntry& item1,
                             const folderlist::ListEntry& item2) {
  const std::optional<std::string_view> first = folderlist::columnText(item1, sort_.sortColumn);
  const std::optional<std::string_view> second = folderlist::columnText(item2, sort_.sortColumn);
  if (!first || !second) return 0;
  const int result = collation_.compare(*first, *second);
  return sort_.descending == 1 ? -result : result;
}

void TForm1::Timer1Timer() {
  controls_.timer1.setEnabled(false);
  const folderlist::StepResult result = folderlist::step(move_, rows_, controls_.list);
  if (result.again) controls_.timer1.setEnabled(true);
  // After the step's own mark changes, whose status line it replaces.
  if (result.panel1) controls_.statusBar.setPanelText(1, *result.panel1);
}

void TForm1::Timer2Timer() {
  const int dy = folderlist::scrollStep(move_);
  if (dy != 0) controls_.list.scrollBy(dy);
  controls_.list.refresh();
}

void TForm1::Timer3Timer() {
  // An error box during start-up runs a message loop of its own, which can
  // deliver a tick before the dialogs exist or this window is shown; the
  // load waits for a tick after that.
  if (!windowsReadyForSettings(app_)) return;
  // A one-shot load: no later tick starts it again, not even one that comes
  // while the error box reports a failure of this one.
  controls_.timer3.setEnabled(false);
  loadWindowSettings(app_);
}

void TForm1::ListView1MouseDown(MouseButton, ShiftState, int, int) {
  // The window side completes a running move before the control sees the
  // press; this covers any other path.
  finishMove();
  move_.sourceIndex = controls_.list.firstSelected();
}

bool TForm1::ListView1CanDrag(MouseButton button, ShiftState shift, int pressedRow) const {
  return button == MouseButton::left && !shift.shift && !shift.ctrl && pressedRow >= 0 &&
         pressedRow < entryCount_ && controls_.list.isSelected(pressedRow);
}

void TForm1::ListView1DragOver(int x, int y, bool& accept) {
  platform::EntryListView& list = controls_.list;
  const folderlist::DragOverResult result =
      folderlist::dragOver(move_, list.rowAt(x, y), y, list.top(), list.height());
  accept = result.accept;
  // Switched on only when off: every further move of the pointer in a zone
  // would otherwise start the interval afresh and no tick would come.
  if (result.scrolling == folderlist::DragOverResult::Scrolling::start &&
      !controls_.timer2.isEnabled()) {
    controls_.timer2.setEnabled(true);
  } else if (result.scrolling == folderlist::DragOverResult::Scrolling::stop) {
    controls_.timer2.setEnabled(false);
  }
}

void TForm1::ListView1DragDrop() {
  finishMove();
  if (folderlist::drop(move_, controls_.list.selectionCount(), entryCount_)) {
    controls_.timer1.setEnabled(true);
  }
}

void TForm1::ListView1EndDrag() {
  // A drag that ends in a scroll zone would leave the list scrolling by
  // itself.
  move_.scrollDirection = folderlist::kNoScroll;
  move_.hoverRow = -1;
  controls_.timer2.setEnabled(false);
}

bool TForm1::ListView1KeyDown(int virtualKey, ShiftState shift) {
  if (!shift.alt || shift.ctrl || shift.shift) return false;
  if (virtualKey != kVirtualKeyUp && virtualKey != kVirtualKeyDown) return false;
  finishMove();
  folderlist::moveSelectedRows(rows_, controls_.list, virtualKey == kVirtualKeyUp ? -1 : 1);
  return true;
}

void TForm1::finishMove() {
  // Each step moves at most one row, and a move takes at most the selection
  // count plus two steps; the bound only guards against a list that changed
  // under the move.
  for (std::int64_t steps = 0; move_.moving && steps <= std::int64_t{entryCount_} + 2; ++steps) {
    Timer1Timer();
  }
  move_.moving = false;
  controls_.timer1.setEnabled(false);
}

}  // namespace app
