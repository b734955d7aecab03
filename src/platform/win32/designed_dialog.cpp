#include "platform/win32/designed_dialog.h"

#include <algorithm>

#include "platform/win32/design_fonts.h"
#include "platform/win32/dpi.h"
#include "platform/win32/utf.h"
#include "platform/win32/window_text.h"

namespace platform::win32 {

namespace {

// A window with a dialog frame offers only Move and Close in its window menu.
void reduceToDialogMenu(HWND hwnd) {
  HMENU menu = GetSystemMenu(hwnd, FALSE);
  if (!menu) return;
  for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i) {
    const UINT id = GetMenuItemID(menu, i);
    if (id != SC_MOVE && id != SC_CLOSE) DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
  }
}

RECT scaled(const DesignRect& r, UINT dpi) {
  const int left = scaleToDpi(r.left, dpi);
  const int top = scaleToDpi(r.top, dpi);
  return RECT{left, top, left + scaleToDpi(r.width, dpi), top + scaleToDpi(r.height, dpi)};
}

bool isPushButton(HWND control) {
  return (SendMessageW(control, WM_GETDLGCODE, 0, 0) &
          (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

}  // namespace

DesignedDialog::~DesignedDialog() { destroy(); }

void DesignedDialog::destroy() {
  if (window_.hwnd() && IsWindow(window_.hwnd())) DestroyWindow(window_.hwnd());
  window_.attach(nullptr);
}

bool DesignedDialog::createFrame(const wchar_t* className, std::string_view caption, HWND owner,
                                 DesignRect client) {
  client_ = client;
  registerTargetClass({className, COLOR_BTNFACE, IDC_ARROW});
  constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
  constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
  HWND hwnd = createTargetWindow(*this, className, kExStyle, kStyle, widen(caption).c_str(),
                                 RECT{0, 0, 100, 100}, owner, nullptr);
  if (!hwnd) return false;
  window_.attach(hwnd);
  reduceToDialogMenu(hwnd);
  dpi_ = windowDpi(hwnd);
  placeClientArea(hwnd, client.left, client.top, client.width, client.height, dpi_);
  return true;
}

HFONT DesignedDialog::font(int designHeight) {
  auto& slot = fonts_[designHeight];
  if (!slot) slot = createDesignFont(designHeight, dpi_);
  return slot.get();
}

HWND DesignedDialog::addControl(const wchar_t* className, std::string_view text, DWORD style,
                                DWORD exStyle, DesignRect bounds, int id, int fontHeight) {
  HWND control = createControl(className, text, style, exStyle, scaled(bounds, dpi_), hwnd(), id);
  if (!control) return nullptr;
  setControlFont(control, font(fontHeight));
  placed_.push_back({control, bounds, fontHeight});
  return control;
}

int DesignedDialog::designTextWidth(std::string_view text, int fontHeight) {
  WindowDc dc(hwnd());
  if (!dc) return 0;
  const SelectedObject selected(dc.get(), font(fontHeight));
  const std::wstring wide = widen(text);
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &size);
  return MulDiv(size.cx, 96, static_cast<int>(dpi_)) + 1;
}

void DesignedDialog::setClientSize(int width, int height) {
  client_.width = width;
  client_.height = height;
  RECT outer{};
  GetWindowRect(hwnd(), &outer);
  placeClientArea(hwnd(), 0, 0, width, height, dpi_);
  SetWindowPos(hwnd(), nullptr, outer.left, outer.top, 0, 0,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

void DesignedDialog::placeControl(HWND control, DesignRect bounds) {
  for (Placed& p : placed_) {
    if (p.hwnd != control) continue;
    p.bounds = bounds;
    const RECT r = scaled(bounds, dpi_);
    SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void DesignedDialog::keepInWorkArea() {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  RECT outer{};
  GetWindowRect(hwnd(), &outer);
  int left = outer.left;
  int top = outer.top;
  if (outer.right > work.right) left -= outer.right - work.right;
  if (outer.bottom > work.bottom) top -= outer.bottom - work.bottom;
  left = std::max<int>(left, work.left);
  top = std::max<int>(top, work.top);
  if (left != outer.left || top != outer.top) {
    SetWindowPos(hwnd(), nullptr, left, top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  }
}

void DesignedDialog::applyDpi(UINT dpi) {
  dpi_ = dpi;
  std::map<int, UniqueFont> previous;
  previous.swap(fonts_);  // kept until every control has its new font
  for (const Placed& p : placed_) {
    const RECT r = scaled(p.bounds, dpi_);
    SetWindowPos(p.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    setControlFont(p.hwnd, font(p.fontHeight));
  }
  InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT DesignedDialog::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam != 0) command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case DM_GETDEFID: {
      // No default button: Enter presses the push button that has the focus
      // and nothing otherwise.
      HWND focus = GetFocus();
      if (focus && IsChild(hwnd, focus) && isPushButton(focus)) {
        return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
      }
      return 0;
    }
    case WM_SYSCOMMAND:
      // The window menu holds no Close; the title bar's close button and
      // Alt+F4 must not close the window either.
      if ((wParam & 0xFFF0) == SC_CLOSE) return 0;
      break;
    case WM_CLOSE:
      return 0;
    case WM_ACTIVATE:
    case WM_SETFOCUS:
      if (window_.keepFocus(message, wParam)) return 0;
      break;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      applyDpi(HIWORD(wParam));
      placeClientArea(hwnd, 0, 0, client_.width, client_.height, dpi_);
      SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace platform::win32
