#pragma once

// A dialog-framed top-level window (the time dialog and the message window)
// whose controls stand where the design puts them, scaled to the DPI of the
// window's monitor. It is no modal dialog: the event loop passes its keys
// through IsDialogMessage for Tab, the arrow keys, Enter and Space.

#include <windows.h>

#include <map>
#include <string_view>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/message_target.h"
#include "platform/win32/top_window.h"

namespace platform::win32 {

// A rectangle in design pixels: left, top, width, height.
struct DesignRect {
  int left;
  int top;
  int width;
  int height;
};

class DesignedDialog : public MessageTarget {
 public:
  ~DesignedDialog() override;

  HWND hwnd() const { return window_.hwnd(); }
  TopWindow& window() { return window_; }
  void destroy();

  LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // Creates the window hidden, owned by owner (so it stays above it), with
  // its window menu reduced to Move and Close as a dialog's is.
  bool createFrame(const wchar_t* className, std::string_view caption, HWND owner,
                   DesignRect client);
  // A control; the ones added first come first in tab order.
  HWND addControl(const wchar_t* className, std::string_view text, DWORD style, DWORD exStyle,
                  DesignRect bounds, int id, int fontHeight);

  // The width text takes in the font of that design height, in design
  // pixels (rounded up) at the window's present DPI.
  int designTextWidth(std::string_view text, int fontHeight);
  // Makes the client area width x height design pixels, keeping the window's
  // place.
  void setClientSize(int width, int height);
  // Moves a control added above to bounds, which it keeps at another DPI.
  void placeControl(HWND control, DesignRect bounds);
  // Moves the window, if it must, until it lies within the work area of its
  // monitor (its top-left corner first, should it be larger).
  void keepInWorkArea();
  UINT dpi() const { return dpi_; }

  // A button was clicked (BN_CLICKED) or another control sent a command.
  virtual void command(int id, int notification) = 0;

 private:
  struct Placed {
    HWND hwnd;
    DesignRect bounds;
    int fontHeight;
  };

  HFONT font(int designHeight);
  void applyDpi(UINT dpi);

  TopWindow window_;
  DesignRect client_{};
  UINT dpi_ = 96;
  std::vector<Placed> placed_;
  std::map<int, UniqueFont> fonts_;  // by design height, at dpi_
};

}  // namespace platform::win32
