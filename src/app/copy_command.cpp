#include "app/copy_command.h"

#include <string>
#include <utility>

#include "app/long_command.h"
#include "app/long_run.h"
#include "platform/failure.h"

namespace app {

namespace {

constexpr std::string_view kCheckCaption = "確認";
constexpr std::string_view kProgressCaption = "コピー";
constexpr std::string_view kPickerTitle = "コピー先のフォルダを選んでください";
// The system's reason follows after an empty line.
constexpr std::string_view kPickerFailed = "フォルダを選ぶ画面を開けませんでした\r\n";

}  // namespace

CopyCommand::CopyCommand(ListedFolder& folder, const FlowWindows& flow, Messages& messages,
                         platform::PaintPump& pump, platform::CopyOps& copyOps,
                         platform::FolderPicker& picker, platform::StopSignal& stop,
                         cardcopy::NameOrder nameOrder)
    : folder_(folder),
      flow_(flow),
      messages_(messages),
      pump_(pump),
      copyOps_(copyOps),
      picker_(picker),
      stop_(stop),
      nameOrder_(std::move(nameOrder)) {}

void CopyCommand::execute() {
  if (folder_.rowCount() <= 0) return;
  const platform::PickedFolder picked = picker_.pickFolder(kPickerTitle);
  if (picked.failure != 0) {
    // Not a Cancel: the user is told why nothing came up.
    messages_.wholeOverMain(platform::failureText({std::string(kPickerFailed), picked.failure}));
    return;
  }
  if (!picked.path) return;
  const std::string& destination = *picked.path;

  // The file being written, for a session that ends in the middle.
  std::string underWay;
  const auto disarm = [this] {
    stop_.atSessionEnd({});
    stop_.disarm();
  };
  runLocked(
      flow_, kMainWindowLock,
      [&] {
        stop_.arm();
        stop_.atSessionEnd([&] {
          if (!underWay.empty()) copyOps_.removeFile(underWay);
        });
        const cardcopy::CopyResult result = copy(destination, underWay);
        disarm();
        // Every ending, the check's refusal, a stop and a failure alike, is a
        // message over the locked main window; its OK unlocks it. The messages
        // carry paths and the OS's reason, shown whole.
        messages_.wholeOverMain(result.text());
      },
      disarm);
}

cardcopy::CopyResult CopyCommand::copy(const std::string& destination, std::string& underWay) {
  // The main window gets its caption back when the copy ends, however it
  // ends. The check before writing comes first: on a large or network
  // source it takes minutes, so it shows its rows too ("確認 n / N").
  LongRun run(flow_.main, kCheckCaption, pump_, flow_.main.caption());
  cardcopy::CopyHooks hooks;
  hooks.checked = [&](int done, int total) {
    run.progress(done, total, nullptr);
    if (done == total) {
      run.rename(kProgressCaption);
      run.showNow(0, total);
    }
  };
  hooks.progress = [&](int done, int total) { run.progress(done, total, nullptr); };
  hooks.writing = [&](const std::string& target) { underWay = target; };
  // Asked before every entry, checked or written, and between the pieces of
  // a long file: the window stays painted and the user's stop is heard.
  hooks.stop = [&] {
    run.keepPainted();
    return stop_.requested();
  };
  run.showNow(0, folder_.rowCount());
  return cardcopy::copyInOrder(folder_.rows(), folder_.path(), destination, copyOps_, nameOrder_,
                               hooks);
}

}  // namespace app
