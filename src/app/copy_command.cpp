#include "app/copy_command.h"

#include <chrono>
#include <string>
#include <utility>

#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/window_flow.h"

namespace app {

namespace {

constexpr std::string_view kProgressCaption = "コピー";
constexpr std::string_view kPickerTitle = "コピー先のフォルダを選んでください";
constexpr auto kRepaintInterval = std::chrono::milliseconds(100);

}  // namespace

CopyCommand::CopyCommand(Application& app, platform::MenuCommand& menuItem,
                         platform::CopyOps& copyOps, platform::FolderPicker& picker,
                         platform::StopSignal& stop)
    : app_(app), menuItem_(menuItem), copyOps_(copyOps), picker_(picker), stop_(stop) {
  nameOrder_ = [this](std::string_view a, std::string_view b) { return collation_.compare(a, b); };
  showAvailability();
}

void CopyCommand::showAvailability() {
  const bool available = app_.form1 && app_.form1->entryCount() > 0;
  if (menuItem_.isEnabled() != available) menuItem_.setEnabled(available);
}

void CopyCommand::execute() {
  TForm1& main = *app_.form1;
  if (main.entryCount() <= 0) return;
  const std::optional<std::string> destination = picker_.pickFolder(kPickerTitle);
  if (!destination) return;

  platform::Window& window = main.controls().window;
  const std::string caption = window.caption();
  const FlowWindows flow = flowWindows(app_);
  startWorking(flow);
  stop_.arm();
  try {
    const cardcopy::CopyResult result = copy(*destination);
    stop_.disarm();
    window.setCaption(caption);
    // Every ending, the check's refusal, a stop and a failure alike, is a
    // message over the locked main window; its OK unlocks it.
    app_.form3->controls().label1.setText(result.message);
    showMessageOverMain(flow);
  } catch (...) {
    stop_.disarm();
    window.setCaption(caption);
    stopWorking(flow);
    throw;
  }
}

cardcopy::CopyResult CopyCommand::copy(const std::string& destination) {
  TForm1& main = *app_.form1;
  platform::Window& window = main.controls().window;
  platform::PaintPump& pump = app_.form2->controls().paintPump;
  auto lastPaint = std::chrono::steady_clock::now();
  int shownDone = 0;
  int shownTotal = 0;

  const auto paint = [&](bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastPaint < kRepaintInterval) return;
    lastPaint = now;
    window.setCaption(std::string(kProgressCaption) + " " + std::to_string(shownDone) + " / " +
                      std::to_string(shownTotal));
    pump.pumpPaint();
  };
  const auto progress = [&](int done, int total) {
    shownDone = done;
    shownTotal = total;
    paint(done == total);
  };
  // Asked before every entry and between the pieces of a long file: the
  // window stays painted and the user's stop is heard.
  const auto stop = [&] {
    paint(false);
    return stop_.requested();
  };
  shownTotal = main.entryCount();
  paint(true);
  return cardcopy::copyInOrder(main.rows(), main.entryCount(), main.currentFolderPath(),
                               destination, copyOps_, nameOrder_, progress, stop);
}

}  // namespace app
