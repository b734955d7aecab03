#pragma once

#include <functional>

#include "app/listed_folder.h"
#include "app/messages.h"
#include "app/window_flow.h"
#include "platform/file_ops.h"
#include "platform/ui.h"
#include "stamping/undo.h"

namespace app {

// Taking back the last stamping run: the menu command "元に戻す(&U)" and
// what the run kept. The command is available exactly while there is
// something to take back in the folder that is listed; listing again (another
// folder, F5), closing, a new run that changes entries and a completed undo
// each drop or replace what is kept.
class UndoCommand {
 public:
  // pump keeps the windows painted while the main window shows the progress.
  // availabilityChanged runs whenever what can be taken back may have
  // changed: the menu greys the command out or enables it.
  UndoCommand(ListedFolder& folder, const platform::FolderTree& tree, platform::EntryListView& list,
              const FlowWindows& flow, Messages& messages, platform::PaintPump& pump,
              platform::FileOps& fileOps, std::function<void()> availabilityChanged);

  // A run that changed entries hands over their old times and rows.
  void keep(stamping::UndoRecord record);
  void drop();
  bool available() const { return !record_.entries.empty(); }

  // The menu command: locks the main window while it works, shows progress
  // in its caption and ends with "元に戻しました", or the pre-check's
  // message, in the message window over the locked main window; an entry
  // that cannot be given back goes to the error box with the main window
  // unlocked.
  void execute();

 private:
  stamping::RunResult restore();
  void availabilityChanged() const {
    if (changed_) changed_();
  }

  ListedFolder& folder_;
  const platform::FolderTree& tree_;
  platform::EntryListView& list_;
  const FlowWindows& flow_;
  Messages& messages_;
  platform::PaintPump& pump_;
  platform::FileOps& fileOps_;
  stamping::UndoRecord record_;
  const std::function<void()> changed_;
};

}  // namespace app
