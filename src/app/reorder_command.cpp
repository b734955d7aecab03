#include "app/reorder_command.h"

#include <string>
#include <utility>

#include "app/long_command.h"
#include "app/long_run.h"
#include "cardorder/drive_order.h"
#include "cardorder/reorder_questions.h"

namespace app {

namespace {

constexpr std::string_view kProgressCaption = "並べ替え";

}  // namespace

ReorderCommand::ReorderCommand(ListedFolder& folder, const FlowWindows& flow, Messages& messages,
                               platform::PaintPump& pump, platform::CopyOps& copyOps,
                               platform::Confirmation& confirmation, platform::StopSignal& stop,
                               CaptureColumn& captures, std::function<void()> listAgain)
    : folder_(folder),
      flow_(flow),
      messages_(messages),
      pump_(pump),
      copyOps_(copyOps),
      confirmation_(confirmation),
      stop_(stop),
      captures_(captures),
      listAgain_(std::move(listAgain)) {}

void ReorderCommand::execute() {
  if (folder_.rowCount() <= 0) return;
  const std::string path = folder_.path();
  // Entries of an earlier run still wait in its work folder: a new run would
  // make a second one and leave them there. That run is finished first.
  if (const std::optional<cardorder::PendingWork> pending =
          cardorder::findPendingWork(path, copyOps_)) {
    offer(*pending, path);
    return;
  }
  const cardorder::DriveFacts drive = cardorder::driveFactsOf(path, copyOps_);
  if (drive.order == cardorder::DriveOrder::NotKept) {
    messages_.wholeOverMain(cardorder::sortedDriveText(path));
    return;
  }
  const std::string question = cardorder::confirmationText(path, folder_.rowCount(), drive.order);
  if (!confirmation_.confirm(flow_.main.caption(), question)) return;

  run(
      [&](const auto& progress, const auto& stop) {
        return cardorder::reorderInPlace(folder_.rows(), path, copyOps_, progress, stop);
      },
      {});
}

void ReorderCommand::offerToFinish() {
  if (flowState(flow_) != FlowState::Idle) return;
  const std::string path = folder_.path();
  if (path.empty()) return;
  const std::optional<cardorder::PendingWork> pending = cardorder::findPendingWork(path, copyOps_);
  if (pending) offer(*pending, path);
}

void ReorderCommand::offer(const cardorder::PendingWork& pending, const std::string& path) {
  if (!pending.listReadable) {
    messages_.wholeOverMain(cardorder::unreadableListText(pending));
    return;
  }
  if (!confirmation_.confirm(flow_.main.caption(), cardorder::offerText(pending))) return;

  run(
      [&](const auto& progress, const auto& stop) {
        return cardorder::finishPendingWork(pending, path, copyOps_, progress, stop);
      },
      // The entries that came back are rows now.
      listAgain_);
}

void ReorderCommand::run(const Work& work, const std::function<void()>& afterwards) {
  runLocked(
      flow_, kMainWindowLock,
      [&] {
        stop_.arm();
        // The capture reading holds files open for a moment too, and a file
        // held open cannot move: it stops for the run and reads again after.
        const bool wasReading = captures_.reading();
        captures_.stop();
        cardorder::ReorderResult result;
        {
          // The main window gets its caption back however the run ends.
          LongRun longRun(flow_.main, kProgressCaption, pump_, flow_.main.caption());
          const auto progress = [&](int done, int total) {
            longRun.progress(done, total, nullptr);
          };
          // Asked before each move out, the run's safe points.
          const auto stop = [&] {
            longRun.keepPainted();
            return stop_.requested();
          };
          longRun.showNow(0, 2 * folder_.rowCount());
          result = work(progress, stop);
        }
        stop_.disarm();
        if (afterwards) {
          afterwards();
        } else if (wasReading) {
          captures_.listed();
        }
        // Every ending, the check's refusal, a stop and a failure alike, is a
        // message over the locked main window; its OK unlocks it.
        messages_.wholeOverMain(result.text());
      },
      [this] { stop_.disarm(); });
}

}  // namespace app
