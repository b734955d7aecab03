#include "app/main_commands.h"

#include <string_view>

#include "app/command_table.h"
#include "app/copy_command.h"
#include "app/folder_listing.h"
#include "app/reorder_command.h"
#include "app/time_entry.h"
#include "app/undo_command.h"

namespace app {

namespace {

constexpr std::string_view kVersionNotice = "\r\nChronoseq Version 0.7";
constexpr std::string_view kVersionCaption = "バージョン情報";

}  // namespace

void MainCommands::run(Command command) { (this->*commandRow(command).handler)(); }

void MainCommands::showStates() {
  platform::CommandMenu& menu = links_.menu;
  for (const CommandRow& row : kCommands) {
    bool enabled = true;
    if (row.availability == Availability::whileRowsListed) enabled = links_.folder.rowCount() > 0;
    if (row.availability == Availability::whileUndoKept) enabled = links_.undo.available();
    // Only a change is written: each write draws the menu bar again.
    if (menu.isEnabled(row.id) != enabled) menu.setEnabled(row.id, enabled);
    if (row.check == CheckRule::whileNumericNames) {
      menu.setChecked(row.id, links_.order.numericNames());
    }
    if (row.check == CheckRule::whileCaptureColumnShown) {
      menu.setChecked(row.id, links_.captures.shown());
    }
  }
}

void MainCommands::showTimeDialog() {
  if (links_.folder.rowCount() <= 0) return;
  // The rows are stamped in the order the move leaves them.
  links_.mover.finish();
  links_.timeEntry.fillToday();
  openTimeDialog(links_.flow);
}

void MainCommands::undo() {
  // Undo finds its rows by name; a move still running is finished first so
  // that no step runs between the restored rows.
  links_.mover.finish();
  links_.undo.execute();
}

void MainCommands::copyInOrder() {
  // The rows are copied in the order the move leaves them.
  links_.mover.finish();
  links_.copy.execute();
}

void MainCommands::reorderOnCard() {
  // The entries take the order the move leaves the rows in.
  links_.mover.finish();
  links_.reorder.execute();
}

void MainCommands::exit() {
  // What undo kept goes with the rows, so the two agree even if closing were
  // abandoned.
  links_.undo.drop();
  links_.listing.clear();
  links_.window.close();
}

void MainCommands::toggleNumericOrder() {
  links_.order.setNumericNames(!links_.order.numericNames());
  showStates();
}

void MainCommands::toggleCaptureTimes() {
  const bool show = !links_.captures.shown();
  if (!show) links_.order.captureColumnHidden();
  links_.captures.setShown(show);
  showStates();
}

void MainCommands::showVersion() { links_.messages.overMain(kVersionNotice, kVersionCaption); }

}  // namespace app
