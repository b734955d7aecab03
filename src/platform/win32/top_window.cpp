#include "platform/win32/top_window.h"

#include <algorithm>
#include <climits>

#include "platform/win32/window_text.h"

namespace platform::win32 {

void TopWindow::show() {
  ShowWindow(hwnd_, SW_SHOW);
  shown_ = true;
  SetForegroundWindow(hwnd_);
  if (focusOnShow_) lastFocus_ = focusOnShow_;
  restoreFocus();
}

void TopWindow::hide() { ShowWindow(hwnd_, SW_HIDE); }

bool TopWindow::isVisible() const { return IsWindowVisible(hwnd_) != FALSE; }

bool TopWindow::hasBeenShown() const { return shown_; }

void TopWindow::windowPosChanged(const WINDOWPOS& position) {
  if (position.flags & SWP_SHOWWINDOW) shown_ = true;
}

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

namespace {

// The placement's restored rectangle is in workspace coordinates: relative to
// the work area of its monitor, which differ from screen coordinates when a
// bar is docked at the monitor's left or top edge.
POINT workspaceOffset(const RECT& rect) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info)) return {0, 0};
  return {info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

bool hasWorkspaceCoordinates(HWND hwnd) {
  return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0;
}

int farEdge(int from, int size) {
  const long long edge = static_cast<long long>(from) + std::max(0, size);
  return static_cast<int>(std::min<long long>(edge, INT_MAX));
}

}  // namespace

platform::WindowBounds TopWindow::outerBounds() const {
  // While maximised, the maximised rectangle itself.
  if (!IsIconic(hwnd_)) {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  }
  return restoredBounds();
}

platform::WindowBounds TopWindow::restoredBounds() const {
  RECT rect{};
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if ((IsIconic(hwnd_) || IsZoomed(hwnd_)) && GetWindowPlacement(hwnd_, &placement)) {
    rect = placement.rcNormalPosition;
    if (hasWorkspaceCoordinates(hwnd_)) {
      const POINT offset = workspaceOffset(rect);
      OffsetRect(&rect, offset.x, offset.y);
    }
  } else {
    GetWindowRect(hwnd_, &rect);
  }
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void TopWindow::setOuterBounds(const platform::WindowBounds& bounds) {
  const bool minimised = IsIconic(hwnd_) != FALSE;
  if (!minimised && !IsZoomed(hwnd_)) {
    SetWindowPos(hwnd_, nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  // Minimised or maximised: the window keeps its state and is restored to these.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (!GetWindowPlacement(hwnd_, &placement)) return;
  RECT rect{bounds.left, bounds.top, farEdge(bounds.left, bounds.width),
            farEdge(bounds.top, bounds.height)};
  if (hasWorkspaceCoordinates(hwnd_)) {
    const POINT offset = workspaceOffset(rect);
    OffsetRect(&rect, -offset.x, -offset.y);
  }
  placement.rcNormalPosition = rect;
  placement.showCmd = minimised ? SW_SHOWMINNOACTIVE : SW_SHOWMAXIMIZED;
  placement.flags = 0;
  SetWindowPlacement(hwnd_, &placement);
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
