#include "platform/win32/message_target.h"

namespace platform::win32 {

namespace {

LRESULT CALLBACK targetWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) find no target yet.
  auto* target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  if (!target) return DefWindowProcW(hwnd, message, wParam, lParam);
  return target->handleMessage(hwnd, message, wParam, lParam);
}

}  // namespace

void registerTargetClass(const TargetClass& windowClass) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, windowClass.name, &existing)) return;

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = windowClass.style;
  wc.lpfnWndProc = targetWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, windowClass.cursor);
  wc.hbrBackground =
      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(windowClass.backgroundColor + 1));
  wc.lpszClassName = windowClass.name;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  RegisterClassExW(&wc);
}

HWND createTargetWindow(MessageTarget& target, const wchar_t* className, DWORD exStyle, DWORD style,
                        const wchar_t* title, RECT bounds, HWND parent, HMENU menuOrId) {
  return CreateWindowExW(exStyle, className, title, style, bounds.left, bounds.top,
                         bounds.right - bounds.left, bounds.bottom - bounds.top, parent, menuOrId,
                         GetModuleHandleW(nullptr), &target);
}

}  // namespace platform::win32
