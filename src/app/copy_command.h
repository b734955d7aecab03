#pragma once

#include "app/listed_folder.h"
#include "app/messages.h"
#include "app/window_flow.h"
#include "cardcopy/ordered_copy.h"
#include "platform/copy_ops.h"
#include "platform/copy_ui.h"
#include "platform/ui.h"

namespace app {

// Copying the rows, in their order, to another folder (a card or a stick,
// for players that play a folder in the order its entries were written): the
// menu command "この順番でコピー(&C)...".
class CopyCommand {
 public:
  // pump keeps the windows painted while the main window shows the progress;
  // nameOrder is the order of the entries inside a folder row, the one a
  // click on "名前" gives.
  CopyCommand(ListedFolder& folder, const FlowWindows& flow, Messages& messages,
              platform::PaintPump& pump, platform::CopyOps& copyOps, platform::FolderPicker& picker,
              platform::StopSignal& stop, cardcopy::NameOrder nameOrder);

  // The menu command: asks for the destination (cancel changes nothing),
  // then locks the main window while it copies, shows "コピー n / N" in its
  // caption, and ends with the result in the message window over the locked
  // main window, whose OK unlocks it.
  void execute();

 private:
  // underWay names the file being written while it is written.
  cardcopy::CopyResult copy(const std::string& destination, std::string& underWay);

  ListedFolder& folder_;
  const FlowWindows& flow_;
  Messages& messages_;
  platform::PaintPump& pump_;
  platform::CopyOps& copyOps_;
  platform::FolderPicker& picker_;
  platform::StopSignal& stop_;
  const cardcopy::NameOrder nameOrder_;
};

}  // namespace app
