#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string_view>

#include "platform/ui.h"

namespace platform::win32 {

// MessageBoxW of the given type over the program's windows (the main window,
// the time dialog and the message window; null for one not created yet):
// owned by the main window, each of them disabled while it is up and given
// back the enabled flag it had afterwards. Returns the box's answer.
int boxOverWindows(const std::array<HWND, 3>& windows, std::string_view caption,
                   std::string_view text, UINT type);

// MessageBoxW with a stop icon and one OK button. While it is up the
// program's windows are disabled; afterwards each gets back the enabled flag
// it had.
class MessageBoxErrorBox final : public platform::ErrorBox {
 public:
  // The main window, the time dialog and the message window, as they exist
  // at the moment the box is shown (null for one not created yet).
  using Windows = std::function<std::array<HWND, 3>()>;
  explicit MessageBoxErrorBox(Windows windows) : windows_(std::move(windows)) {}

  void show(std::string_view caption, std::string_view text) override;
  bool isShown() const override { return shown_; }

 private:
  Windows windows_;
  bool shown_ = false;
};

}  // namespace platform::win32
