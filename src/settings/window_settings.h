#pragma once

// What the settings file holds, taken from and handed to the windows: the
// main window's rectangle, the three column widths, the dialogs' positions.

#include <cstddef>
#include <cstdint>

#include "app/application.h"
#include "platform/screen.h"
#include "platform/ui.h"
#include "settings/settings_file.h"

namespace app {

struct SettingsWindows {
  platform::Window& main;
  platform::EntryListView& list;
  platform::Window& timeDialog;
  platform::Window& messageWindow;
  const platform::Screen* screen;  // null: nothing is known of the monitors
};

// In file order; each window's Top before its Left.
SettingsValues collectWindowSettings(const SettingsWindows& windows);

// Hands one value to its window or column at once, as it is read. Positions
// outside the window system's range and sizes beyond the largest window are
// bounded; everything else is applied as it is, negative values included.
void applyWindowSetting(const SettingsWindows& windows, std::size_t index, std::int32_t value);

// Brings each window that stands wholly outside every monitor back onto the
// nearest one's work area.
void bringWindowsOnScreen(const SettingsWindows& windows);

// The windows of the application; all three must exist.
SettingsWindows settingsWindows(const Application& app);

// True once all three windows exist and the main window has been shown once,
// minimised included; what it shows at the moment does not count.
bool windowsReadyForSettings(const Application& app);

// The close handler's save and the timer's load, on the application's files.
void saveWindowSettings(const Application& app);
void loadWindowSettings(const Application& app);

}  // namespace app
