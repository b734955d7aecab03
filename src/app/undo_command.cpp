#include "app/undo_command.h"

#include <string>
#include <utility>

#include "app/application.h"
#include "app/long_run.h"

namespace app {

namespace {

constexpr std::string_view kProgressCaption = "元に戻す";

}  // namespace

UndoCommand::UndoCommand(ListedFolder& folder, const FlowWindows& flow, Messages& messages,
                         platform::MenuCommand& menuItem, platform::PaintPump& pump,
                         platform::FileOps& fileOps)
    : folder_(folder),
      flow_(flow),
      messages_(messages),
      menuItem_(menuItem),
      pump_(pump),
      fileOps_(fileOps) {}

void UndoCommand::keep(stamping::UndoRecord record) {
  record_ = std::move(record);
  showAvailability();
}

void UndoCommand::drop() {
  record_ = {};
  showAvailability();
}

void UndoCommand::showAvailability() {
  if (menuItem_.isEnabled() != available()) menuItem_.setEnabled(available());
}

void UndoCommand::execute() {
  if (!available()) return;
  // Only the folder the run worked in can be given back.
  if (folder_.path() != record_.folderPath) {
    drop();
    return;
  }
  startWorking(flow_);
  try {
    stamping::RunResult result = restore();
    showAvailability();
    switch (result.outcome) {
      case stamping::RunResult::Outcome::Completed:
      case stamping::RunResult::Outcome::PrecheckFailed:
        // Stands over the locked main window; its OK unlocks it.
        messages_.overMain(result.message);
        return;
      case stamping::RunResult::Outcome::Stopped:
        throw HandlerFailure(result.message);
    }
  } catch (...) {
    stopWorking(flow_);
    showAvailability();
    throw;
  }
}

stamping::RunResult UndoCommand::restore() {
  platform::EntryListView& list = folder_.list();
  const int rowCount = static_cast<int>(folder_.rows().size());
  LongRun run(flow_.main, kProgressCaption, pump_, flow_.main.caption());

  // The rows given back may stand anywhere in the list, so the whole list
  // is drawn again.
  const auto progress = [&](int done, int total) {
    run.progress(done, total, [&] {
      if (rowCount > 0) list.redrawRows(0, rowCount - 1);
    });
  };
  stamping::RunResult result = stamping::runUndo(record_, folder_.rows(), fileOps_, progress);
  if (result.changed > 0 && rowCount > 0) list.redrawRows(0, rowCount - 1);
  return result;
}

}  // namespace app
