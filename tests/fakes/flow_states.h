#pragma once

// The window flow's resting and working states as the in-memory window
// system shows them: which window is enabled and which is visible.

#include <ostream>

#include "fakes/fake_app.h"

namespace fakes {

struct Flow {
  bool mainEnabled;
  bool dialogVisible;
  bool dialogEnabled;
  bool messageVisible;
  friend bool operator==(const Flow&, const Flow&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Flow& f) {
  return os << "{main " << (f.mainEnabled ? "enabled" : "disabled") << ", dialog "
            << (f.dialogVisible ? "shown" : "hidden") << "/"
            << (f.dialogEnabled ? "enabled" : "disabled") << ", message "
            << (f.messageVisible ? "shown" : "hidden") << "}";
}

inline constexpr Flow kIdle{true, false, true, false};
inline constexpr Flow kTimeEntry{false, true, true, false};
inline constexpr Flow kMessageOverDialog{false, true, false, true};
inline constexpr Flow kMessageOverMain{false, false, true, true};

inline Flow flowOf(const FakeApp& app) {
  return {app.mainWindow.isEnabled(), app.dialog.isVisible(), app.dialog.isEnabled(),
          app.messageWindow.isVisible()};
}

}  // namespace fakes
