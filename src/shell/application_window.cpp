#include "shell/application_window.h"

#include <commctrl.h>

#include "platform/win32/utf.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

namespace {

constexpr wchar_t kClassName[] = L"ChronoseqApplication";
constexpr UINT_PTR kWatchSubclass = 1;
// Posted: the activation is handed on once the button's own has finished.
// wParam 1: also when this window is no longer the active one.
constexpr UINT kActivateTarget = WM_APP + 1;
// Posted by the main window's destruction: the button goes after it.
constexpr UINT kMainWindowGone = WM_APP + 2;

}  // namespace

ApplicationWindow::~ApplicationWindow() { destroy(); }

bool ApplicationWindow::create(std::string_view title) {
  registerTargetClass({kClassName, COLOR_BTNFACE, IDC_ARROW});
  // No WS_EX_TOOLWINDOW and no owner: the shell gives this window the button.
  hwnd_ = createTargetWindow(*this, kClassName, 0, WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX,
                             platform::widen(title).c_str(), RECT{0, 0, 0, 0}, nullptr, nullptr);
  return hwnd_ != nullptr;
}

void ApplicationWindow::destroy() {
  if (mainWindow_ && IsWindow(mainWindow_)) {
    RemoveWindowSubclass(mainWindow_, watchMainWindow, kWatchSubclass);
  }
  mainWindow_ = nullptr;
  activationTarget_ = nullptr;
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

void ApplicationWindow::follow(HWND mainWindow, ActivationTarget activationTarget) {
  mainWindow_ = mainWindow;
  activationTarget_ = std::move(activationTarget);
  SetWindowSubclass(mainWindow_, watchMainWindow, kWatchSubclass,
                    reinterpret_cast<DWORD_PTR>(this));
}

void ApplicationWindow::show() {
  if (hwnd_) ShowWindow(hwnd_, SW_SHOWNA);
}

void ApplicationWindow::mainWindowSized(WPARAM sizeType) {
  // The button stays while the main window is minimised: this window goes
  // minimised with it and comes back when it is restored.
  if (sizeType == SIZE_MINIMIZED) {
    if (!IsIconic(hwnd_)) ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
  } else if (sizeType == SIZE_RESTORED || sizeType == SIZE_MAXIMIZED) {
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  }
}

void ApplicationWindow::activateTarget(bool always) {
  if (!activationTarget_ || (!always && GetActiveWindow() != hwnd_)) return;
  HWND target = activationTarget_();
  if (!target || !IsWindowVisible(target) || !IsWindowEnabled(target)) return;
  SetForegroundWindow(target);
  SetActiveWindow(target);
}

LRESULT CALLBACK ApplicationWindow::watchMainWindow(HWND hwnd, UINT message, WPARAM wParam,
                                                    LPARAM lParam, UINT_PTR id, DWORD_PTR self) {
  auto* application = reinterpret_cast<ApplicationWindow*>(self);
  switch (message) {
    case WM_SIZE:
      application->mainWindowSized(wParam);
      break;
    case WM_DESTROY:
      // Not destroyed from inside the main window's own destruction: the
      // main window is still listed as owned by it.
      PostMessageW(application->hwnd_, kMainWindowGone, 0, 0);
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, watchMainWindow, id);
      application->mainWindow_ = nullptr;
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT ApplicationWindow::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
          if (mainWindow_) ShowWindow(mainWindow_, SW_MINIMIZE);
          return 0;
        case SC_RESTORE:
          if (mainWindow_) {
            // Back to the state it had before, maximised included.
            ShowWindow(mainWindow_, IsIconic(mainWindow_) ? SW_RESTORE : SW_SHOW);
            PostMessageW(hwnd, kActivateTarget, 1, 0);
          }
          return 0;
        case SC_CLOSE:
          // The main window's close, carried out even while a dialog keeps
          // it locked.
          if (mainWindow_) SendMessageW(mainWindow_, WM_SYSCOMMAND, SC_CLOSE, 0);
          return 0;
        default:
          break;
      }
      break;
    case WM_CLOSE:
      if (mainWindow_) SendMessageW(mainWindow_, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_ACTIVATE:
      // The button activated this window: the main window or the dialog
      // holding the lock takes the activation over.
      if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) {
        PostMessageW(hwnd, kActivateTarget, 0, 0);
      }
      return 0;
    case kActivateTarget:
      activateTarget(wParam != 0);
      return 0;
    case kMainWindowGone:
      if (!mainWindow_) {
        hwnd_ = nullptr;
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace shell
