#include "shell/copy_stop.h"

#include "platform/win32/utf.h"

namespace shell {

void CopyStop::arm(std::string_view reason) {
  armed_ = true;
  requested_ = false;
  if (main_) ShutdownBlockReasonCreate(main_, platform::widen(reason).c_str());
}

void CopyStop::disarm() {
  // A close posted since the last look asked for the stop, which came too
  // late to matter (the entries were moving back): it must not end the
  // program with the result unread.
  requested();
  armed_ = false;
  if (main_) ShutdownBlockReasonDestroy(main_);
}

void CopyStop::sessionEnds() {
  if (!armed_) return;
  requested_ = true;
  if (cleanUp_) cleanUp_();
}

bool CopyStop::requested() {
  if (!armed_) return false;
  MSG message{};
  // Keys pressed while the main window is locked go nowhere else; Esc stops.
  for (const UINT keyDown : {UINT{WM_KEYDOWN}, UINT{WM_SYSKEYDOWN}}) {
    while (PeekMessageW(&message, nullptr, keyDown, keyDown, PM_REMOVE)) {
      if (message.wParam == VK_ESCAPE) requested_ = true;
    }
  }
  // A close posted to the main window (the task bar's, or another program's);
  // one sent comes through the window procedure while peeking (takeClose).
  if (main_) {
    while (PeekMessageW(&message, main_, WM_CLOSE, WM_CLOSE, PM_REMOVE)) requested_ = true;
    while (PeekMessageW(&message, main_, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE)) {
      if ((message.wParam & 0xFFF0) == SC_CLOSE) requested_ = true;
    }
  }
  return requested_;
}

bool CopyStop::takeClose() {
  if (!armed_) return false;
  requested_ = true;
  return true;
}

void CopyStop::clickOnDisabledWindow(HWND hwnd) {
  if (!armed_ || hwnd != main_) return;
  POINT cursor{};
  if (!GetCursorPos(&cursor)) return;
  const LRESULT hit = DefWindowProcW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y));
  if (hit == HTCLOSE) requested_ = true;
}

}  // namespace shell
