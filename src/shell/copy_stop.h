#pragma once

// The user's stop of a copy on the real windows: Esc, or the main window's
// close button. The main window is disabled while it copies, so neither
// reaches a handler; the copy asks between files and pieces, and this looks
// at what has arrived.

#include <windows.h>

#include "platform/copy_ui.h"

namespace shell {

class CopyStop final : public platform::StopSignal {
 public:
  void setMainWindow(HWND main) { main_ = main; }

  void arm() override {
    armed_ = true;
    requested_ = false;
  }
  void disarm() override { armed_ = false; }
  bool requested() override;

  // A close request to the main window: while armed it stops the copy
  // instead of closing. True when it was taken.
  bool takeClose();
  // The system reports a click on the disabled main window (WM_SETCURSOR
  // with HTERROR): a click on its close button stops the copy.
  void clickOnDisabledWindow(HWND hwnd);

 private:
  HWND main_ = nullptr;
  bool armed_ = false;
  bool requested_ = false;
};

}  // namespace shell
