#pragma once

// The one typeface of all three windows, in the heights the controls use.

#include <windows.h>

#include "platform/win32/handles.h"

namespace platform::win32 {

// Character heights in design pixels.
inline constexpr int kFormFontHeight = 12;       // windows, buttons, lists, labels
inline constexpr int kFieldFontHeight = 16;      // the time dialog's six fields
inline constexpr int kSeparatorFontHeight = 21;  // the "/" and "：" between the fields

// "ＭＳ Ｐゴシック" in the Shift-JIS character set, height scaled to dpi.
UniqueFont createDesignFont(int designHeight, UINT dpi);

// Gives a control its font without redrawing it yet.
inline void setControlFont(HWND control, HFONT font) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

}  // namespace platform::win32
