#include "app/app_objects.h"

namespace app {

AppObjects::AppObjects(Application& application, WindowControls controls,
                       platform::FileOps& fileOps, platform::FolderRoutes& routes,
                       CopyServices copyServices, TimeEntry::Clock clock,
                       CaptureColumn::Read captureRead)
    : app(application),
      flow{controls.main.window, controls.timeEntry.window, controls.message.window},
      messages(flow, controls.message.label),
      mover(folder, {controls.main.list, controls.main.statusBar, controls.main.moveStepTimer,
                     controls.main.dragScrollTimer}),
      captures(folder, {controls.main.window, controls.main.list, controls.main.captureTimer},
               std::move(captureRead)),
      order(folder, controls.main.list, mover, captures, [this] { listing.showSelection(); }),
      undo(folder, controls.main.tree, controls.main.list, flow, messages,
           controls.timeEntry.paintPump, fileOps, [this] { commands.showStates(); }),
      // The entries inside a copied folder row stand in the order a click on
      // "名前" would give them.
      copy(folder, flow, messages, controls.timeEntry.paintPump, copyServices.copyOps,
           copyServices.picker, copyServices.stop,
           [this](std::string_view a, std::string_view b) { return order.compareNames(a, b); }),
      // Finishing an earlier run brings entries back: the folder is listed again.
      reorder(folder, flow, messages, controls.timeEntry.paintPump, copyServices.copyOps,
              copyServices.confirmation, copyServices.stop, captures,
              [this] { listing.listSelectedFolder(); }),
      // A run that put the folder in order and did not end left its work
      // folder beside it: offered to finish after each listing.
      listing(
          {controls.main.window, controls.main.tree, controls.main.list, controls.main.statusBar},
          {folder, mover, order, captures, undo, messages, fileOps, routes},
          [this] { reorder.offerToFinish(); }),
      timeEntry(controls.timeEntry, {folder, controls.main.list, flow, messages, undo, fileOps},
                std::move(clock)),
      commands({controls.main.window, controls.main.menu, folder, flow, mover, order, captures,
                listing, timeEntry, undo, copy, reorder, messages}),
      windowSettings(application.textFiles, application.screen, controls.main.window,
                     controls.main.list, controls.timeEntry.window, controls.message.window,
                     {[this] {
                        return settings::SettingsOptions{order.numericNames(), captures.shown(),
                                                         captures.width()};
                      },
                      [this](const settings::SettingsOptions& options) {
                        order.setNumericNames(options.numericNames);
                        captures.setWidth(options.captureColumnWidth);
                        if (!options.captureTimes) order.captureColumnHidden();
                        captures.setShown(options.captureTimes);
                        commands.showStates();
                      }}),
      settingsTiming(windowSettings, controls.main.settingsLoadTimer) {}

void AppObjects::mainWindowCreated() {
  runHandler(app, [this] { settingsTiming.mainWindowCreated(); });
}

void AppObjects::timeDialogCreated() {
  runHandler(app, [this] { timeEntry.windowCreated(); });
}

void AppObjects::messageWindowCreated() {
  runHandler(app, [this] { messages.windowCreated(); });
  commands.showStates();
  windowSettings.windowsCreated();
}

}  // namespace app
