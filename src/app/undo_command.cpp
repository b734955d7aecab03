#include "app/undo_command.h"

#include <chrono>
#include <string>
#include <utility>

#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/window_flow.h"

namespace app {

namespace {

constexpr std::string_view kProgressCaption = "元に戻す";
constexpr auto kRepaintInterval = std::chrono::milliseconds(100);

}  // namespace

UndoCommand::UndoCommand(Application& app, platform::MenuCommand& menuItem,
                         platform::FileOps& fileOps)
    : app_(app), menuItem_(menuItem), fileOps_(fileOps) {
  showAvailability();
}

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
  TForm1& main = *app_.form1;
  // Only the folder the run worked in can be given back.
  if (main.currentFolderPath() != record_.folderPath) {
    drop();
    return;
  }
  platform::Window& window = main.controls().window;
  const std::string caption = window.caption();
  const FlowWindows flow = flowWindows(app_);
  startWorking(flow);
  try {
    stamping::UndoResult result = restore();
    window.setCaption(caption);
    showAvailability();
    switch (result.outcome) {
      case stamping::UndoResult::Outcome::Completed:
      case stamping::UndoResult::Outcome::PrecheckFailed:
        // Stands over the locked main window; its OK unlocks it.
        app_.form3->controls().label1.setText(result.message);
        showMessageOverMain(flow);
        return;
      case stamping::UndoResult::Outcome::Stopped:
        throw HandlerFailure(result.message);
    }
  } catch (...) {
    window.setCaption(caption);
    stopWorking(flow);
    showAvailability();
    throw;
  }
}

stamping::UndoResult UndoCommand::restore() {
  TForm1& main = *app_.form1;
  platform::EntryListView& list = main.controls().list;
  platform::Window& window = main.controls().window;
  platform::PaintPump& pump = app_.form2->controls().paintPump;
  const int rowCount = static_cast<int>(main.rows().size());
  auto lastPaint = std::chrono::steady_clock::now();

  // The rows given back may stand anywhere in the list, so the whole list
  // is drawn again.
  const auto progress = [&](int done, int total) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPaint < kRepaintInterval && done < total) return;
    lastPaint = now;
    if (rowCount > 0) list.redrawRows(0, rowCount - 1);
    window.setCaption(std::string(kProgressCaption) + " " + std::to_string(done) + " / " +
                      std::to_string(total));
    pump.pumpPaint();
  };
  stamping::UndoResult result = stamping::runUndo(record_, main.rows(), fileOps_, progress);
  if (result.restored > 0 && rowCount > 0) list.redrawRows(0, rowCount - 1);
  return result;
}

void dropUndo(Application& app) {
  if (app.undo) app.undo->drop();
}

}  // namespace app
