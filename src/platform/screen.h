#pragma once

#include <vector>

// Screen geometry: window rectangles and the monitors they can stand on.
namespace platform {

// A window's outer rectangle in screen pixels: its position and its size,
// frame, caption and menu bar included.
struct WindowBounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const WindowBounds&, const WindowBounds&) = default;
};

// A rectangle of the screen, right and bottom excluded.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

struct Monitor {
  ScreenRect area;      // the whole monitor
  ScreenRect workArea;  // without the task bar and docked bars
};

// The largest outer size the window system lets a sizable window take.
struct WindowSizeLimit {
  int width = 0;
  int height = 0;
};

class Screen {
 public:
  virtual ~Screen() = default;
  // Every monitor of the desktop, the primary one first.
  virtual std::vector<Monitor> monitors() const = 0;
  virtual WindowSizeLimit largestWindow() const = 0;
};

}  // namespace platform
