#include "app/form1.h"

#include "app/form2.h"
#include "app/form3.h"
#include "app/undo_command.h"
#include "app/window_flow.h"
#include "app/window_settings.h"
#include "folderlist/listing.h"
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
  lastSortColumn_ = kNoSortColumn;
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
  if (app_.undo) app_.undo->execute();
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
  rows_.clear();
  entryCount_ = 0;
  // Emptying the list may raise no change notification; the panels would
  // otherwise keep the previous folder's texts.
  controls_.statusBar.setPanelText(0, "");
  controls_.statusBar.setPanelText(1, "");
  controls_.list.setRowCount(0);
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

// Row moves and drag scrolling switch these timers on; nothing does yet.
void TForm1::Timer1Timer() {}

void TForm1::Timer2Timer() {}

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

}  // namespace app
