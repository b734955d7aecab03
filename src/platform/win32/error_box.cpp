#include "platform/win32/error_box.h"

#include <string>

#include "platform/win32/utf.h"

namespace platform::win32 {

int boxOverWindows(const std::array<HWND, 3>& windows, std::string_view caption,
                   std::string_view text, UINT type) {
  std::array<bool, 3> wasEnabled{};
  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (!windows[i] || !IsWindow(windows[i])) continue;
    wasEnabled[i] = IsWindowEnabled(windows[i]) != FALSE;
    EnableWindow(windows[i], FALSE);
  }

  // Owned by the main window so it stands above the program's windows; the
  // owner is already disabled, so the box leaves its enabled flag alone.
  HWND owner = windows[0] && IsWindow(windows[0]) ? windows[0] : nullptr;
  const int answer = MessageBoxW(owner, widen(text).c_str(), widen(caption).c_str(), type);

  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (windows[i] && IsWindow(windows[i])) EnableWindow(windows[i], wasEnabled[i] ? TRUE : FALSE);
  }
  return answer;
}

void MessageBoxErrorBox::show(std::string_view caption, std::string_view text) {
  shown_ = true;
  boxOverWindows(windows_ ? windows_() : std::array<HWND, 3>{}, caption, text,
                 MB_ICONERROR | MB_OK);
  shown_ = false;
}

}  // namespace platform::win32
