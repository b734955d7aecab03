#include "platform/win32/top_window.h"

#include "platform/win32/window_text.h"

namespace platform::win32 {

void TopWindow::show() {
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  if (focusOnShow_) lastFocus_ = focusOnShow_;
  restoreFocus();
}

void TopWindow::hide() { ShowWindow(hwnd_, SW_HIDE); }

bool TopWindow::isVisible() const { return IsWindowVisible(hwnd_) != FALSE; }

void TopWindow::setEnabled(bool enabled) { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }

bool TopWindow::isEnabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

void TopWindow::setCaption(std::string_view text) { setWindowText(hwnd_, text); }

std::string TopWindow::caption() const { return windowText(hwnd_); }

void TopWindow::close() { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

void TopWindow::deleteWindowMenuItem(int position) {
  // The window's own menu, not a copy.
  HMENU menu = GetSystemMenu(hwnd_, FALSE);
  if (!menu) return;
  DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
  DrawMenuBar(hwnd_);
}

void TopWindow::rememberFocus() {
  HWND focus = GetFocus();
  if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
}

void TopWindow::restoreFocus() {
  if (!IsWindowVisible(hwnd_)) return;
  HWND target = lastFocus_;
  if (!target || !IsWindow(target) || !IsChild(hwnd_, target) || !IsWindowEnabled(target)) {
    target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  }
  if (target) SetFocus(target);
}

bool TopWindow::keepFocus(UINT message, WPARAM wParam) {
  if (message == WM_SETFOCUS) {
    restoreFocus();
    return true;
  }
  if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) rememberFocus();
  return false;
}

}  // namespace platform::win32
