#pragma once

// platform::Window over a top-level HWND, with the focus bookkeeping a
// window needs when it is hidden, shown and activated again.

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/ui.h"

namespace platform::win32 {

class TopWindow final : public platform::Window {
 public:
  TopWindow() = default;
  void attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND hwnd() const { return hwnd_; }

  // The control that takes the focus whenever the window is shown; without
  // one the window gets back the control that had the focus last.
  void setFocusOnShow(HWND control) { focusOnShow_ = control; }

  void show() override;
  void hide() override;
  bool isVisible() const override;
  bool hasBeenShown() const override;
  // WM_WINDOWPOSCHANGED: notes a showing by any route (ShowWindow with any
  // command, minimised included).
  void windowPosChanged(const WINDOWPOS& position);
  void setEnabled(bool enabled) override;
  bool isEnabled() const override;
  void setCaption(std::string_view text) override;
  std::string caption() const override;
  // Posted, so that the close runs as an event of its own once the handler
  // asking for it has finished.
  void close() override;
  void deleteWindowMenuItem(int position) override;
  platform::WindowBounds outerBounds() const override;
  void setOuterBounds(const platform::WindowBounds& bounds) override;
  platform::WindowBounds restoredBounds() const override;

  // WM_ACTIVATE (inactive): remembers the focused control.
  void rememberFocus();
  // WM_SETFOCUS of the window itself, and showing: hands the focus to the
  // remembered control, else to the first control in tab order.
  void restoreFocus();
  // Both of the above from the window procedure: WM_ACTIVATE and WM_SETFOCUS.
  // True when the message is done with (its result is 0); false when it goes
  // on to the default processing.
  bool keepFocus(UINT message, WPARAM wParam);

 private:
  HWND hwnd_ = nullptr;
  HWND focusOnShow_ = nullptr;
  HWND lastFocus_ = nullptr;
  bool shown_ = false;
};

}  // namespace platform::win32
