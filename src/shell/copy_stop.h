#pragma once

// The user's stop of a copy on the real windows: Esc, or the main window's
// close button. The main window is disabled while it copies, so neither
// reaches a handler; the copy asks between files and pieces, and this looks
// at what has arrived.

#include <windows.h>

#include <functional>

#include "platform/copy_ui.h"

namespace shell {

class CopyStop final : public platform::StopSignal {
 public:
  void setMainWindow(HWND main) { main_ = main; }

  // While armed, a log-off or shutdown meets the command's reason.
  void arm(std::string_view reason) override;
  void disarm() override;
  bool requested() override;
  void atSessionEnd(std::function<void()> cleanUp) override { cleanUp_ = std::move(cleanUp); }

  // WM_QUERYENDSESSION: while armed the session waits, with the reason.
  bool letsSessionEnd() const { return !armed_; }
  // WM_ENDSESSION that ends it anyway: the half-written file goes first,
  // and the copy is asked to stop.
  void sessionEnds();

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
  std::function<void()> cleanUp_;
};

}  // namespace shell
