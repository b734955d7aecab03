#include "app/settings_timing.h"

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
  settings_.save();
}

void SettingsTiming::loadOnce() {
  // A one-shot load: no later tick starts it again, not even one that comes
  // while the error box reports a failure of this one.
  loadTimer_.setEnabled(false);
  settings_.load();
}

}  // namespace app
