#pragma once

#include <optional>
#include <string>

#include "platform/ui.h"
#include "settings/window_settings.h"

namespace app {

// When the settings file is read and written: read once, by a one-shot
// timer soon after the main window exists, and written when it closes.
class SettingsTiming {
 public:
  SettingsTiming(settings::WindowSettings& settings, platform::Timer& loadTimer)
      : settings_(settings), loadTimer_(loadTimer) {}

  // The main window exists: the load timer starts.
  void mainWindowCreated() { loadTimer_.setEnabled(true); }
  // The load timer's tick.
  void loadTick();
  // The main window closes: the file is written. A failure raised here
  // abandons closing; the next close that fails for the same reason closes
  // without the file.
  void closing();

 private:
  // Switches the timer off, then reads and applies the file.
  void loadOnce();

  settings::WindowSettings& settings_;
  platform::Timer& loadTimer_;
  // The reason the last close could not write the file.
  std::optional<std::string> failedSave_;
};

}  // namespace app
