#include "platform/win32/confirmation_box.h"

#include "platform/win32/utf.h"

namespace platform::win32 {

bool MessageBoxConfirmation::confirm(std::string_view caption, std::string_view text) {
  const std::array<HWND, 3> windows = windows_ ? windows_() : std::array<HWND, 3>{};
  std::array<bool, 3> wasEnabled{};
  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (!windows[i] || !IsWindow(windows[i])) continue;
    wasEnabled[i] = IsWindowEnabled(windows[i]) != FALSE;
    EnableWindow(windows[i], FALSE);
  }
  HWND owner = windows[0] && IsWindow(windows[0]) ? windows[0] : nullptr;
  const int answer = MessageBoxW(owner, widen(text).c_str(), widen(caption).c_str(),
                                 MB_ICONQUESTION | MB_OKCANCEL);
  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (windows[i] && IsWindow(windows[i])) EnableWindow(windows[i], wasEnabled[i] ? TRUE : FALSE);
  }
  return answer == IDOK;
}

}  // namespace platform::win32
