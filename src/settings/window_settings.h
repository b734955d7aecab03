#pragma once

// What the settings file holds, taken from and handed to the windows: the
// main window's rectangle, the three column widths, the dialogs' positions.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>

#include "platform/screen.h"
#include "platform/text_files.h"
#include "platform/ui.h"
#include "settings/settings_file.h"

namespace settings {

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

// The settings file of the program's windows: saved by the main window's
// close handler, loaded once by its timer after start-up.
class WindowSettings {
 public:
  // The options the file keeps after the eleven values: read for a save,
  // applied after a load.
  struct OptionsLink {
    std::function<SettingsOptions()> read;
    std::function<void(const SettingsOptions&)> apply;
  };

  // files: where the file is kept, null for the system's file system;
  // screen: the monitors, null when none are known. Both are read when the
  // file is, so they may be given after the windows.
  WindowSettings(platform::TextFiles* const& files, const platform::Screen* const& screen,
                 platform::Window& main, platform::EntryListView& list,
                 platform::Window& timeDialog, platform::Window& messageWindow,
                 OptionsLink options);

  // All three windows exist: from now on the file may be loaded.
  void windowsCreated() { created_ = true; }
  bool windowsExist() const { return created_; }
  // True once all three windows exist and the main window has been shown
  // once, minimised included; what it shows at the moment does not count.
  bool ready() const;

  void save() const;
  void load() const;

 private:
  SettingsWindows windows() const;
  platform::TextFiles& files() const;

  platform::TextFiles* const& files_;
  const platform::Screen* const& screen_;
  platform::Window& main_;
  platform::EntryListView& list_;
  platform::Window& timeDialog_;
  platform::Window& messageWindow_;
  const OptionsLink options_;
  bool created_ = false;
};

}  // namespace settings
