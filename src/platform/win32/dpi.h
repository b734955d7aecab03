#pragma once

// The windows are laid out in pixels of a 96-DPI screen; these scale them to
// the DPI of the monitor a window stands on.

#include <windows.h>

namespace platform::win32 {

inline constexpr UINT kDesignDpi = 96;

inline int scaleToDpi(int designPixels, UINT dpi) {
  return MulDiv(designPixels, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

// The DPI of the window's monitor (96 when the system cannot tell).
UINT windowDpi(HWND hwnd);

// Moves and sizes a top-level window so that its outer top-left corner stands
// at left, top and its client area is clientWidth x clientHeight, all in
// design pixels scaled to dpi. A menu bar that wraps is taken into account.
void placeClientArea(HWND hwnd, int left, int top, int clientWidth, int clientHeight, UINT dpi);

}  // namespace platform::win32
