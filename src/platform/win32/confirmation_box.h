#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string_view>

#include "platform/copy_ui.h"

namespace platform::win32 {

// MessageBoxW with a question icon, OK and Cancel. Like the error box, it
// disables the program's windows while it is up and gives each its enabled
// flag back afterwards.
class MessageBoxConfirmation final : public platform::Confirmation {
 public:
  // The main window, the time dialog and the message window, as they exist
  // when the box is shown (null for one not created yet).
  using Windows = std::function<std::array<HWND, 3>()>;
  explicit MessageBoxConfirmation(Windows windows) : windows_(std::move(windows)) {}

  bool confirm(std::string_view caption, std::string_view text) override;

 private:
  Windows windows_;
};

}  // namespace platform::win32
