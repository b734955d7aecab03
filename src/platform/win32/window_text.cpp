#include "platform/win32/window_text.h"

#include "platform/win32/utf.h"

namespace platform::win32 {

std::string windowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return narrow(text);
}

void setWindowText(HWND hwnd, std::string_view text) { SetWindowTextW(hwnd, widen(text).c_str()); }

HWND createControl(const wchar_t* className, std::string_view text, DWORD style, DWORD exStyle,
                   RECT bounds, HWND parent, int id) {
  return CreateWindowExW(
      exStyle, className, widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, bounds.left,
      bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

}  // namespace platform::win32
