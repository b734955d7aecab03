#include "app/settings_timing.h"

#include <exception>

namespace app {

void SettingsTiming::loadTick() {
  // An error box during start-up runs a message loop of its own, which can
  // deliver a tick before the dialogs exist or the main window is shown; the
  // load waits for a tick after that.
  if (!settings_.ready()) return;
  loadOnce();
}

void SettingsTiming::closing() {
  // A close before the first tick would write the design geometry over a
  // file this run has not read yet: the load comes first.
  if (loadTimer_.isEnabled() && settings_.windowsExist()) loadOnce();
  try {
    settings_.save();
  } catch (const std::exception& failure) {
    // A folder that cannot be written (started from System32, say) would
    // otherwise keep the program from ever closing: the user has been told
    // once, and asking again for the same reason ends it unsaved.
    const std::string reason = failure.what();
    if (failedSave_ && *failedSave_ == reason) return;
    failedSave_ = reason;
    throw;
  }
  failedSave_.reset();
}

void SettingsTiming::loadOnce() {
  // A one-shot load: no later tick starts it again, not even one that comes
  // while the error box reports a failure of this one.
  loadTimer_.setEnabled(false);
  settings_.load();
}

}  // namespace app
