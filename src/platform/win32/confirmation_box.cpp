#include "platform/win32/confirmation_box.h"

#include "platform/win32/error_box.h"

namespace platform::win32 {

bool MessageBoxConfirmation::confirm(std::string_view caption, std::string_view text) {
  return boxOverWindows(windows_ ? windows_() : std::array<HWND, 3>{}, caption, text,
                        MB_ICONQUESTION | MB_OKCANCEL) == IDOK;
}

}  // namespace platform::win32
