#include "settings/window_settings.h"

#include <array>

#include "settings/window_placement.h"

namespace settings {

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

WindowSettings::WindowSettings(platform::TextFiles* const& files,
                               const platform::Screen* const& screen, platform::Window& main,
                               platform::EntryListView& list, platform::Window& timeDialog,
                               platform::Window& messageWindow, OptionsLink options)
    : files_(files),
      screen_(screen),
      main_(main),
      list_(list),
      timeDialog_(timeDialog),
      messageWindow_(messageWindow),
      options_(std::move(options)) {}

SettingsWindows WindowSettings::windows() const {
  return SettingsWindows{main_, list_, timeDialog_, messageWindow_, screen_};
}

platform::TextFiles& WindowSettings::files() const {
  return files_ ? *files_ : platform::systemTextFiles();
}

bool WindowSettings::ready() const { return created_ && main_.hasBeenShown(); }

void WindowSettings::save() const {
  saveSettingsFile(files(), settingsFilePath(), collectWindowSettings(windows()),
                   options_.read ? options_.read() : SettingsOptions{});
}

void WindowSettings::load() const {
  const SettingsWindows windows = this->windows();
  const auto apply = [&windows](std::size_t index, std::int32_t value) {
    applyWindowSetting(windows, index, value);
  };
  SettingsOptions options;
  try {
    options = loadSettingsFile(files(), settingsFilePath(), apply);
  } catch (...) {
    // The values applied before the failure may have put a window out of reach.
    bringWindowsOnScreen(windows);
    throw;
  }
  bringWindowsOnScreen(windows);
  if (options_.apply) options_.apply(options);
}

}  // namespace settings
