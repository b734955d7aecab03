#include "app/reorder_command.h"

#include <string>
#include <utility>

#include "app/long_run.h"
#include "cardorder/drive_order.h"
#include "cardorder/reorder_questions.h"

namespace app {

namespace {

constexpr std::string_view kProgressCaption = "並べ替え";

}  // namespace

ReorderCommand::ReorderCommand(ListedFolder& folder, const FlowWindows& flow, Messages& messages,
                               platform::MenuCommand& menuItem, platform::PaintPump& pump,
                               platform::CopyOps& copyOps, platform::Confirmation& confirmation,
                               platform::StopSignal& stop, std::function<void()> listAgain)
    : folder_(folder),
      flow_(flow),
      messages_(messages),
      menuItem_(menuItem),
      pump_(pump),
      copyOps_(copyOps),
      confirmation_(confirmation),
      stop_(stop),
      listAgain_(std::move(listAgain)) {}

void ReorderCommand::showAvailability() {
  const bool available = folder_.entryCount() > 0;
  if (menuItem_.isEnabled() != available) menuItem_.setEnabled(available);
}

void ReorderCommand::execute() {
  if (folder_.entryCount() <= 0) return;
  const std::string path = folder_.path();
  const cardorder::DriveFacts drive = cardorder::driveFactsOf(path, copyOps_);
  if (drive.order == cardorder::DriveOrder::NotKept) {
    messages_.wholeOverMain(cardorder::sortedDriveText(path));
    return;
  }
  const std::string question = cardorder::confirmationText(path, folder_.entryCount(), drive.order);
  if (!confirmation_.confirm(flow_.main.caption(), question)) return;

  const cardorder::ReorderResult result = run([&](const auto& progress, const auto& stop) {
    return cardorder::reorderInPlace(folder_.rows(), folder_.entryCount(), path, copyOps_, progress,
                                     stop);
  });
  // Every ending, the check's refusal, a stop and a failure alike, is a
  // message over the locked main window; its OK unlocks it.
  messages_.wholeOverMain(result.message);
}

void ReorderCommand::offerToFinish() {
  if (flowState(flow_) != FlowState::Idle) return;
  const std::string path = folder_.path();
  if (path.empty()) return;
  const std::optional<cardorder::PendingWork> pending = cardorder::findPendingWork(path, copyOps_);
  if (!pending) return;
  if (!confirmation_.confirm(flow_.main.caption(), cardorder::offerText(*pending))) return;

  const cardorder::ReorderResult result = run([&](const auto& progress, const auto& stop) {
    return cardorder::finishPendingWork(*pending, path, copyOps_, progress, stop);
  });
  // The entries that came back are rows now.
  if (listAgain_) listAgain_();
  messages_.wholeOverMain(result.message);
}

cardorder::ReorderResult ReorderCommand::run(
    const std::function<cardorder::ReorderResult(const cardorder::ReorderProgress&,
                                                 const std::function<bool()>&)>& work) {
  startWorking(flow_);
  stop_.arm();
  try {
    cardorder::ReorderResult result;
    {
      // The main window gets its caption back however the run ends.
      LongRun longRun(flow_.main, kProgressCaption, pump_, flow_.main.caption());
      const auto progress = [&](int done, int total) { longRun.progress(done, total, nullptr); };
      // Asked before each move out, the run's safe points.
      const auto stop = [&] {
        longRun.keepPainted();
        return stop_.requested();
      };
      longRun.showNow(0, 2 * folder_.entryCount());
      result = work(progress, stop);
    }
    stop_.disarm();
    return result;
  } catch (...) {
    stop_.disarm();
    stopWorking(flow_);
    throw;
  }
}

}  // namespace app
