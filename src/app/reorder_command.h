#pragma once

#include <functional>

#include "app/capture_column.h"
#include "app/listed_folder.h"
#include "app/messages.h"
#include "app/window_flow.h"
#include "cardorder/card_reorder.h"
#include "platform/copy_ops.h"
#include "platform/copy_ui.h"
#include "platform/ui.h"

namespace app {

// Putting the listed folder's entries in the list's order where they stand
// on a card, by moving them out into a work folder and back (for players that
// play a folder in the order its entries were written, with the files already
// on the card): the menu command "カード上でこの順番にする(&R)...", and the
// offer to finish a run that did not end.
class ReorderCommand {
 public:
  // pump keeps the windows painted while the main window shows the progress;
  // listAgain reads the listed folder again (F5) after an unfinished run was
  // finished, since its entries have changed.
  ReorderCommand(ListedFolder& folder, const FlowWindows& flow, Messages& messages,
                 platform::PaintPump& pump, platform::CopyOps& copyOps,
                 platform::Confirmation& confirmation, platform::StopSignal& stop,
                 CaptureColumn& captures, std::function<void()> listAgain = {});

  // The menu command: on a drive that keeps names sorted, the refusal in the
  // message window; else the confirmation naming the folder and the count
  // (and that the drive could not be told, where it could not). Cancel
  // changes nothing. OK locks the main window while the entries move, shows
  // "並べ替え n / N" in its caption, and ends with the result in the message
  // window over the locked main window, whose OK unlocks it.
  void execute();

  // After a listing: when a work folder with its list stands beside the
  // listed folder, asks whether to finish; OK finishes as the command runs,
  // then lists the folder again. Nothing is asked while another window is in
  // the way.
  void offerToFinish();

 private:
  using Work = std::function<cardorder::ReorderResult(const cardorder::ReorderProgress&,
                                                      const std::function<bool()>&)>;
  // Runs the moves with the main window locked and their progress in its
  // caption; then afterwards, and the result over the locked main window,
  // whose OK unlocks it.
  void run(const Work& work, const std::function<void()>& afterwards);
  // Asks whether to finish what an earlier run left, or says why it cannot.
  void offer(const cardorder::PendingWork& pending, const std::string& path);

  ListedFolder& folder_;
  const FlowWindows& flow_;
  Messages& messages_;
  platform::PaintPump& pump_;
  platform::CopyOps& copyOps_;
  platform::Confirmation& confirmation_;
  platform::StopSignal& stop_;
  CaptureColumn& captures_;
  std::function<void()> listAgain_;
};

}  // namespace app
