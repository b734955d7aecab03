#include "platform/win32/dpi.h"

namespace platform::win32 {

UINT windowDpi(HWND hwnd) {
  const UINT dpi = hwnd ? GetDpiForWindow(hwnd) : 0;
  return dpi != 0 ? dpi : kDesignDpi;
}

void placeClientArea(HWND hwnd, int left, int top, int clientWidth, int clientHeight, UINT dpi) {
  const int width = scaleToDpi(clientWidth, dpi);
  const int height = scaleToDpi(clientHeight, dpi);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
  RECT outer{0, 0, width, height};
  AdjustWindowRectExForDpi(&outer, style, GetMenu(hwnd) != nullptr, exStyle, dpi);
  SetWindowPos(hwnd, nullptr, scaleToDpi(left, dpi), scaleToDpi(top, dpi), outer.right - outer.left,
               outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);

  // A menu bar may take more than one line; grow the window by what the
  // client area still lacks.
  RECT client{};
  GetClientRect(hwnd, &client);
  const int missingWidth = width - (client.right - client.left);
  const int missingHeight = height - (client.bottom - client.top);
  if (missingWidth != 0 || missingHeight != 0) {
    RECT now{};
    GetWindowRect(hwnd, &now);
    SetWindowPos(hwnd, nullptr, 0, 0, now.right - now.left + missingWidth,
                 now.bottom - now.top + missingHeight, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }
}

}  // namespace platform::win32
