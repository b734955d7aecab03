#include "platform/win32/controls.h"

#include <commctrl.h>

#include "platform/resource_failure.h"
#include "platform/win32/utf.h"
#include "platform/win32/window_text.h"

namespace platform::win32 {

void WindowTextControl::setText(std::string_view text) { setWindowText(hwnd_, text); }

std::string WindowTextControl::text() const { return windowText(hwnd_); }

void ButtonCheck::setChecked(bool checked) {
  SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (checked && onChecked_) onChecked_();
}

bool ButtonCheck::isChecked() const {
  return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void StatusBarPanels::setPanelText(int panel, std::string_view text) {
  SendMessageW(hwnd_, SB_SETTEXTW, static_cast<WPARAM>(panel),
               reinterpret_cast<LPARAM>(widen(text).c_str()));
}

std::string StatusBarPanels::panelText(int panel) const {
  const LRESULT info = SendMessageW(hwnd_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel), 0);
  const auto length = static_cast<std::size_t>(LOWORD(info));
  std::wstring text(length + 1, L'\0');
  SendMessageW(hwnd_, SB_GETTEXTW, static_cast<WPARAM>(panel),
               reinterpret_cast<LPARAM>(text.data()));
  text.resize(length);
  return narrow(text);
}

WindowTimer::~WindowTimer() {
  if (enabled_ && owner_ && IsWindow(owner_)) KillTimer(owner_, id_);
}

void WindowTimer::setEnabled(bool enabled) {
  // SetTimer on a running id starts its interval afresh.
  if (enabled) {
    if (SetTimer(owner_, id_, interval_, nullptr) == 0) {
      const DWORD error = GetLastError();
      enabled_ = false;
      throw platform::resourceFailure(platform::kTimerRefused, error);
    }
    enabled_ = true;
  } else {
    if (enabled_) KillTimer(owner_, id_);
    enabled_ = false;
  }
}

}  // namespace platform::win32
