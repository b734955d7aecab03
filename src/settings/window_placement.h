#pragma once

// Keeps restored windows where the user can reach them: a window standing
// wholly outside every monitor comes back onto the nearest one, and sizes no
// screen can show are bounded.

#include <vector>

#include "platform/screen.h"

namespace settings {

// The coordinate range the window system can place a window in; anything
// beyond lies outside every monitor.
inline constexpr int kMinCoordinate = -32768;
inline constexpr int kMaxCoordinate = 32767;

int boundedCoordinate(int value);
// A size above limit becomes limit; a limit of 0 or less bounds nothing.
int boundedExtent(int value, int limit);

// True when the window overlaps some monitor by at least one pixel.
bool isOnSomeMonitor(const platform::WindowBounds& window,
                     const std::vector<platform::Monitor>& monitors);

// The window as it is when it overlaps a monitor (or no monitor is known);
// else moved, and shrunk where it is larger, into the work area of the
// monitor nearest to it.
platform::WindowBounds reachableBounds(const platform::WindowBounds& window,
                                       const std::vector<platform::Monitor>& monitors);

}  // namespace settings
