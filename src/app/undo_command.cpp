#include "app/undo_command.h"

#include <string>
#include <utility>

#include "app/application.h"
#include "app/long_command.h"
#include "app/long_run.h"

namespace app {

namespace {

constexpr std::string_view kProgressCaption = "元に戻す";

}  // namespace

UndoCommand::UndoCommand(ListedFolder& folder, const platform::FolderTree& tree,
                         platform::EntryListView& list, const FlowWindows& flow, Messages& messages,
                         platform::PaintPump& pump, platform::FileOps& fileOps,
                         std::function<void()> availabilityChanged)
    : folder_(folder),
      tree_(tree),
      list_(list),
      flow_(flow),
      messages_(messages),
      pump_(pump),
      fileOps_(fileOps),
      changed_(std::move(availabilityChanged)) {}

void UndoCommand::keep(stamping::UndoRecord record) {
  record_ = std::move(record);
  availabilityChanged();
}

void UndoCommand::drop() {
  record_ = {};
  availabilityChanged();
}

void UndoCommand::execute() {
  if (!available()) return;
  // Only the folder the run worked in can be given back, and only while the
  // tree still shows it (or, listed without a node, while no node is chosen).
  const std::string shown = folder_.listedOutsideTree() ? folder_.path() : tree_.selectedPath();
  if (folder_.path() != record_.folderPath || shown != record_.folderPath) {
    drop();
    return;
  }
  runLocked(
      flow_, kMainWindowLock,
      [this] {
        const stamping::RunResult result = restore();
        availabilityChanged();
        if (result.outcome == stamping::RunResult::Outcome::Stopped) {
          throw HandlerFailure(result.text());
        }
        // Completed or refused by the pre-check: stands over the locked main
        // window; its OK unlocks it.
        messages_.overMain(result.text());
      },
      [this] { availabilityChanged(); });
}

stamping::RunResult UndoCommand::restore() {
  const int rowCount = folder_.rowCount();
  LongRun run(flow_.main, kProgressCaption, pump_, flow_.main.caption());

  // The rows given back may stand anywhere in the list, so the whole list
  // is drawn again.
  const auto progress = [&](int done, int total) {
    run.progress(done, total, [&] {
      if (rowCount > 0) list_.redrawRows(0, rowCount - 1);
    });
  };
  stamping::RunResult result = stamping::runUndo(record_, folder_.rows(), fileOps_, progress);
  if (result.changed > 0 && rowCount > 0) list_.redrawRows(0, rowCount - 1);
  return result;
}

}  // namespace app
