#include "app/form1.h"

#include <algorithm>

#include "app/copy_command.h"
#include "app/reorder_command.h"
#include "app/form2.h"
#include "app/list_view_marks.h"
#include "app/open_path.h"
#include "app/undo_command.h"
#include "folderlist/listing.h"
#include "folderlist/numeric_name_sort.h"
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

TForm1::TForm1(Form1Controls controls, Form1Links links)
    : controls_(controls), links_(links), rows_(links.folder.rows()) {}

void TForm1::FormCreate() {
  sort_.lastSortColumn = kNoSortColumn;
  controls_.timer3.setEnabled(true);
}

void TForm1::FormClose() {
  // A close before the first tick would write the design geometry over a
  // file this run has not read yet: the load comes first.
  if (controls_.timer3.isEnabled() && links_.windowSettings.windowsExist()) loadSettingsOnce();
  links_.windowSettings.save();
}

void TForm1::loadSettingsOnce() {
  // A one-shot load: no later tick starts it again, not even one that comes
  // while the error box reports a failure of this one.
  controls_.timer3.setEnabled(false);
  links_.windowSettings.load();
}

void TForm1::FormKeyUp(int virtualKey) {
  // Shift and Ctrl are not looked at: Shift+F5 and Ctrl+F5 refresh too.
  if (virtualKey != kVirtualKeyF5) return;
  // The refreshed folder may no longer be what the last run changed.
  links_.undo.drop();
  controls_.tree.refresh();
}

void TForm1::IME1Click() {
  if (links_.folder.entryCount() <= 0) return;
  // The rows are stamped in the order the move leaves them.
  finishMove();
  links_.timeDialog.fillToday();
  openTimeDialog(links_.flow);
}

void TForm1::Exit1Click() {
  // The entry count goes with the rows, so the two agree even if closing
  // were abandoned.
  links_.undo.drop();
  clearRows();
  controls_.window.close();
}

void TForm1::N1Click() { links_.messages.overMain(kVersionNotice, kVersionCaption); }

void TForm1::Undo1Click() {
  // Undo finds its rows by name; a move still running is finished first so
  // that no step runs between the restored rows.
  finishMove();
  links_.undo.execute();
}

void TForm1::NumericOrder1Click() { setNumericNames(!sort_.numericNames); }

void TForm1::setNumericNames(bool on) {
  if (controls_.numericOrder1) controls_.numericOrder1->setChecked(on);
  if (sort_.numericNames == on) return;
  sort_.numericNames = on;
  if (arrowColumn_ != folderlist::kNameColumn) return;
  // The rows are sorted again as they stand, so a move still running would
  // go on over other rows.
  finishMove();
  sortByState();
}

int TForm1::compareNames(std::string_view a, std::string_view b) {
  return sort_.numericNames ? numericCollation_.compare(a, b) : collation_.compare(a, b);
}

void TForm1::OpenPath(const std::string& path) {
  // A dialog or the message window holds the lock.
  if (!controls_.window.isEnabled()) return;
  // As a new listing does; the rows then stand as the move leaves them.
  finishMove();
  const std::optional<OpenTarget> target = openTargetOf(path, links_.fileOps);
  if (!target || !controls_.tree.selectFolder(target->folder)) {
    // The path may be long: shown whole.
    links_.messages.wholeOverMain(cannotOpenFolderMessage(path));
    return;
  }
  if (target->entry.empty()) return;
  // The name as listed; the path may spell its case otherwise.
  const int at = rowNamed(rows_, target->entry);
  if (at < 0) return;
  applyMarks(controls_.list, folderlist::ListMarks{{at}, at, at});
  controls_.list.ensureVisible(at);
  ListView1Change();
}

void TForm1::Copy1Click() {
  // The rows are copied in the order the move leaves them.
  finishMove();
  links_.copy.execute();
}

void TForm1::Reorder1Click() {
  // The entries take the order the move leaves the rows in.
  finishMove();
  links_.reorder.execute();
}

void TForm1::MenuOpen() {
  links_.copy.showAvailability();
  links_.reorder.showAvailability();
}

void TForm1::ShellTreeView1Change() {
  links_.undo.drop();
  clearRows();
  const std::string folder = links_.folder.path();
  // A virtual object of the namespace (the computer, say) yields a display
  // name that names no folder: it lists nothing.
  if (!platform::isAbsolutePath(folder)) return;
  folderlist::listFolderInto(rows_, folder, links_.folder.separators());
  links_.folder.setEntryCount(static_cast<std::int32_t>(rows_.size()));
  controls_.list.setRowCount(links_.folder.entryCount());
  // A run that put this folder in order and did not end left its work
  // folder beside it: offered to finish.
  links_.reorder.offerToFinish();
}

void TForm1::clearRows() {
  // No step of a move may run on the rows of another listing.
  move_.moving = false;
  controls_.timer1.setEnabled(false);
  rows_.clear();
  links_.folder.setEntryCount(0);
  // Emptying the list may raise no change notification; the panels would
  // otherwise keep the previous folder's texts.
  controls_.statusBar.setPanelText(0, "");
  controls_.statusBar.setPanelText(1, "");
  controls_.list.setRowCount(0);
  // The arrow stands for the order of the rows, which a new listing undoes.
  controls_.list.setSortArrow(-1, false);
  arrowColumn_ = -1;
}

void TForm1::ListView1Change() {
  const int selected = controls_.list.selectionCount();
  const int first = controls_.list.firstSelected();
  const bool known = first >= 0 && static_cast<std::size_t>(first) < rows_.size();
  const auto texts = folderlist::statusLine(known ? selected : 0, links_.folder.entryCount(),
                                            known ? std::string_view(rows_[first].name) : "");
  controls_.statusBar.setPanelText(0, texts.panel0);
  controls_.statusBar.setPanelText(1, texts.panel1);
}

void TForm1::ListView1ColumnClick(int column) {
  // A move still running would go on over the re-sorted rows.
  finishMove();
  sort_.click(column);
  sortByState();
}

void TForm1::sortByState() {
  const bool descending = sort_.descending;
  if (!rows_.empty()) {
    // The list is owner data: the rows are sorted here and the marks, which
    // the control keeps per position, are moved with them.
    platform::EntryListView& list = controls_.list;
    const folderlist::ListMarks sorted =
        sort_.numericNames && sort_.sortColumn == folderlist::kNameColumn
            ? folderlist::sortRowsByNumericName(rows_, readMarks(list), descending,
                                                numericCollation_)
            : folderlist::sortRows(rows_, readMarks(list), sort_.sortColumn, descending,
                                   collation_);
    applyMarks(list, sorted);
    list.redrawRows(0, static_cast<int>(rows_.size()) - 1);
  }
  controls_.list.setSortArrow(sort_.sortColumn, descending);
  arrowColumn_ = sort_.sortColumn;
  // The topmost selected row may be another one now.
  ListView1Change();
}

int TForm1::ListView1Compare(const folderlist::ListEntry& item1,
                             const folderlist::ListEntry& item2) {
  const std::optional<std::string_view> first = folderlist::columnText(item1, sort_.sortColumn);
  const std::optional<std::string_view> second = folderlist::columnText(item2, sort_.sortColumn);
  if (!first || !second) return 0;
  const int result = sort_.numericNames && sort_.sortColumn == folderlist::kNameColumn
                         ? numericCollation_.compare(*first, *second)
                         : collation_.compare(*first, *second);
  return sort_.descending ? -result : result;
}

void TForm1::Timer1Timer() {
  controls_.timer1.setEnabled(false);
  const folderlist::StepResult result =
      folderlist::step(move_, rows_, ListSelection(controls_.list));
  applyChanges(controls_.list, result.changes);
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
  if (!links_.windowSettings.ready()) return;
  loadSettingsOnce();
}

void TForm1::ListView1MouseDown(MouseButton, ShiftState, int, int) {
  // The window side completes a running move before the control sees the
  // press; this covers any other path.
  finishMove();
  move_.sourceIndex = controls_.list.firstSelected();
}

bool TForm1::ListView1CanDrag(MouseButton button, ShiftState shift, int pressedRow) const {
  return button == MouseButton::left && !shift.shift && !shift.ctrl && pressedRow >= 0 &&
         pressedRow < links_.folder.entryCount() && controls_.list.isSelected(pressedRow);
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
  if (folderlist::drop(move_, controls_.list.selectionCount(), links_.folder.entryCount())) {
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
  platform::EntryListView& list = controls_.list;
  applyChanges(list, folderlist::moveSelectedRows(rows_, ListSelection(list), list.focusedRow(),
                                                  virtualKey == kVirtualKeyUp ? -1 : 1)
                         .changes);
  return true;
}

void TForm1::finishMove() {
  // Each step moves at most one row, and a move takes at most the selection
  // count plus two steps; the bound only guards against a list that changed
  // under the move.
  const std::int64_t bound = std::int64_t{links_.folder.entryCount()} + 2;
  for (std::int64_t steps = 0; move_.moving && steps <= bound; ++steps) {
    Timer1Timer();
  }
  move_.moving = false;
  controls_.timer1.setEnabled(false);
}

}  // namespace app
