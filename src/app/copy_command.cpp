#include "app/copy_command.h"

#include <string>
#include <utility>

#include "app/long_command.h"
#include "app/long_run.h"

namespace app {

namespace {

constexpr std::string_view kProgressCaption = "コピー";
constexpr std::string_view kPickerTitle = "コピー先のフォルダを選んでください";

}  // namespace

CopyCommand::CopyCommand(ListedFolder& folder, const FlowWindows& flow, Messages& messages,
                         platform::PaintPump& pump, platform::CopyOps& copyOps,
                         platform::FolderPicker& picker, platform::StopSignal& stop)
    : folder_(folder),
      flow_(flow),
      messages_(messages),
      pump_(pump),
      copyOps_(copyOps),
      picker_(picker),
      stop_(stop) {
  nameOrder_ = [this](std::string_view a, std::string_view b) { return collation_.compare(a, b); };
}

void CopyCommand::execute() {
  if (folder_.rowCount() <= 0) return;
  const std::optional<std::string> destination = picker_.pickFolder(kPickerTitle);
  if (!destination) return;

  runLocked(
      flow_, kMainWindowLock,
      [&] {
        stop_.arm();
        const cardcopy::CopyResult result = copy(*destination);
        stop_.disarm();
        // Every ending, the check's refusal, a stop and a failure alike, is a
        // message over the locked main window; its OK unlocks it. The messages
        // carry paths and the OS's reason, shown whole.
        messages_.wholeOverMain(result.message);
      },
      [this] { stop_.disarm(); });
}

cardcopy::CopyResult CopyCommand::copy(const std::string& destination) {
  // The main window gets its caption back when the copy ends, however it ends.
  LongRun run(flow_.main, kProgressCaption, pump_, flow_.main.caption());
  const auto progress = [&](int done, int total) { run.progress(done, total, nullptr); };
  // Asked before every entry and between the pieces of a long file: the
  // window stays painted and the user's stop is heard.
  const auto stop = [&] {
    run.keepPainted();
    return stop_.requested();
  };
  run.showNow(0, folder_.rowCount());
  return cardcopy::copyInOrder(folder_.rows(), folder_.path(), destination, copyOps_, nameOrder_,
                               progress, stop);
}

}  // namespace app
