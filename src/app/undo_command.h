#pragma once

#include "app/application.h"
#include "platform/file_ops.h"
#include "platform/ui.h"
#include "stamping/undo.h"

namespace app {

// Taking back the last stamping run: the menu command "元に戻す(&U)" and
// what the run kept. The command is enabled exactly while there is
// something to take back in the folder that is listed; listing again (another
// folder, F5), closing, a new run that changes entries and a completed undo
// each drop or replace what is kept.
class UndoCommand {
 public:
  UndoCommand(Application& app, platform::MenuCommand& menuItem, platform::FileOps& fileOps);

  // A run that changed entries hands over their old times and rows.
  void keep(stamping::UndoRecord record);
  void drop();
  bool available() const { return !record_.entries.empty(); }
  const stamping::UndoRecord& record() const { return record_; }

  // The menu command: locks the main window while it works, shows progress
  // in its caption and ends with "元に戻しました", or the pre-check's
  // message, in the message window over the locked main window; an entry
  // that cannot be given back goes to the error box with the main window
  // unlocked.
  void execute();

 private:
  stamping::UndoResult restore();
  void showAvailability();

  Application& app_;
  platform::MenuCommand& menuItem_;
  platform::FileOps& fileOps_;
  stamping::UndoRecord record_;
};

// Drops what can be taken back, when the application has the command.
void dropUndo(Application& app);

}  // namespace app
