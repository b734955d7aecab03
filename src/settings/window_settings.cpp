#include "settings/window_settings.h"

#include <array>

#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "settings/window_placement.h"

namespace app {

namespace {

enum Line : std::size_t {
  kMainTop,
  kMainLeft,
  kMainWidth,
  kMainHeight,
  kColumn0,
  kColumn1,
  kColumn2,
  kDialogTop,
  kDialogLeft,
  kMessageTop,
  kMessageLeft,
};

void setTop(platform::Window& window, std::int32_t value) {
  platform::WindowBounds bounds = window.restoredBounds();
  bounds.top = boundedCoordinate(value);
  window.setOuterBounds(bounds);
}

void setLeft(platform::Window& window, std::int32_t value) {
  platform::WindowBounds bounds = window.restoredBounds();
  bounds.left = boundedCoordinate(value);
  window.setOuterBounds(bounds);
}

platform::TextFiles& filesOf(const Application& app) {
  return app.textFiles ? *app.textFiles : platform::systemTextFiles();
}

}  // namespace

SettingsValues collectWindowSettings(const SettingsWindows& windows) {
  const platform::WindowBounds main = windows.main.outerBounds();
  const platform::WindowBounds dialog = windows.timeDialog.outerBounds();
  const platform::WindowBounds message = windows.messageWindow.outerBounds();
  return SettingsValues{main.top,
                        main.left,
                        main.width,
                        main.height,
                        windows.list.columnWidth(0),
                        windows.list.columnWidth(1),
                        windows.list.columnWidth(2),
                        dialog.top,
                        dialog.left,
                        message.top,
                        message.left};
}

void applyWindowSetting(const SettingsWindows& windows, std::size_t index, std::int32_t value) {
  const platform::WindowSizeLimit limit =
      windows.screen ? windows.screen->largestWindow() : platform::WindowSizeLimit{};
  switch (index) {
    case kMainTop:
      setTop(windows.main, value);
      break;
    case kMainLeft:
      setLeft(windows.main, value);
      break;
    case kMainWidth: {
      platform::WindowBounds bounds = windows.main.restoredBounds();
      bounds.width = boundedExtent(value, limit.width);
      windows.main.setOuterBounds(bounds);
      break;
    }
    case kMainHeight: {
      platform::WindowBounds bounds = windows.main.restoredBounds();
      bounds.height = boundedExtent(value, limit.height);
      windows.main.setOuterBounds(bounds);
      break;
    }
    case kColumn0:
    case kColumn1:
    case kColumn2:
      windows.list.setColumnWidth(static_cast<int>(index - kColumn0),
                                  boundedExtent(value, limit.width));
      break;
    case kDialogTop:
      setTop(windows.timeDialog, value);
      break;
    case kDialogLeft:
      setLeft(windows.timeDialog, value);
      break;
    case kMessageTop:
      setTop(windows.messageWindow, value);
      break;
    case kMessageLeft:
      setLeft(windows.messageWindow, value);
      break;
    default:
      break;
  }
}

void bringWindowsOnScreen(const SettingsWindows& windows) {
  if (!windows.screen) return;
  const std::vector<platform::Monitor> monitors = windows.screen->monitors();
  for (platform::Window* window : {&windows.main, &windows.timeDialog, &windows.messageWindow}) {
    const platform::WindowBounds bounds = window->restoredBounds();
    const platform::WindowBounds reachable = reachableBounds(bounds, monitors);
    if (reachable != bounds) window->setOuterBounds(reachable);
  }
}

SettingsWindows settingsWindows(const Application& app) {
  return SettingsWindows{app.form1->controls().window, app.form1->controls().list,
                         app.form2->controls().window, app.form3->controls().window, app.screen};
}

bool windowsReadyForSettings(const Application& app) {
  return app.form1 && app.form2 && app.form3 && app.form1->controls().window.isVisible();
}

void saveWindowSettings(const Application& app) {
  saveSettingsFile(filesOf(app), settingsFilePath(), collectWindowSettings(settingsWindows(app)),
                   SettingsOptions{app.form1->numericNames()});
}

void loadWindowSettings(const Application& app) {
  const SettingsWindows windows = settingsWindows(app);
  const auto apply = [&windows](std::size_t index, std::int32_t value) {
    applyWindowSetting(windows, index, value);
  };
  SettingsOptions options;
  try {
    options = loadSettingsFile(filesOf(app), settingsFilePath(), apply);
  } catch (...) {
    // The values applied before the failure may have put a window out of reach.
    bringWindowsOnScreen(windows);
    throw;
  }
  bringWindowsOnScreen(windows);
  app.form1->setNumericNames(options.numericNames);
}

}  // namespace app
