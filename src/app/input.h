#pragma once

// The keys and buttons the main window's handlers look at.

namespace app {

inline constexpr int kVirtualKeyF5 = 116;
inline constexpr int kVirtualKeyUp = 38;
inline constexpr int kVirtualKeyDown = 40;

enum class MouseButton { left, right, middle };

// The modifier keys held with a press or a key.
struct ShiftState {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

}  // namespace app
