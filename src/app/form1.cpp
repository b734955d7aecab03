#include "app/form1.h"

#include "app/form2.h"
#include "app/form3.h"
#include "folderlist/listing.h"
#include "folderlist/row_sort.h"
#include "folderlist/status_line.h"
#include "platform/path.h"

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

void TForm1::FormClose() {}

void TForm1::FormKeyUp(int virtualKey) {
  // Shift and Ctrl are not looked at: Shift+F5 and Ctrl+F5 refresh too.
  if (virtualKey == kVirtualKeyF5) controls_.tree.refresh();
}

void TForm1::IME1Click() {
  if (entryCount_ <= 0) return;
  app_.form2->fillToday();
  app_.form2->controls().window.show();
  controls_.window.setEnabled(false);
}

void TForm1::Exit1Click() {
  // The entry count goes with the rows, so the two agree even if closing
  // were abandoned.
  clearRows();
  controls_.window.close();
}

void TForm1::N1Click() {
  TForm3& messages = *app_.form3;
  messages.controls().label1.setText(kVersionNotice);
  messages.controls().window.setCaption(kVersionCaption);
  controls_.window.setEnabled(false);
  messages.controls().window.show();
}

void TForm1::ShellTreeView1Change() {
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
  const std::string* first = folderlist::columnText(item1, sort_.sortColumn);
  const std::string* second = folderlist::columnText(item2, sort_.sortColumn);
  if (!first || !second) return 0;
  const int result = collation_.compare(*first, *second);
  return sort_.descending == 1 ? -result : result;
}

// Row moves and drag scrolling switch these timers on; nothing does yet.
void TForm1::Timer1Timer() {}

void TForm1::Timer2Timer() {}

void TForm1::Timer3Timer() {
  // A one-shot load: no later tick starts it again.
  controls_.timer3.setEnabled(false);
}

}  // namespace app
