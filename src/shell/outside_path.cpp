#include "shell/outside_path.h"

#include "app/open_path.h"
#include "platform/win32/utf.h"

namespace shell {

std::wstring firstArgument(const wchar_t* commandLine) {
  if (!commandLine) return {};
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(commandLine, &count);
  if (!arguments) return {};
  std::wstring first = count > 1 ? arguments[1] : L"";
  LocalFree(arguments);
  return first;
}

std::wstring absolutePath(std::wstring path) {
  path = platform::widen(app::unquotedPath(platform::narrow(path)));
  if (path.empty()) return path;
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  return full;
}

void letDropsThrough(HWND window, const MessageFilter& filter) {
  // WM_COPYGLOBALDATA has no name in the SDK headers.
  constexpr UINT kCopyGlobalData = 0x0049;
  for (UINT message :
       {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData}) {
    filter(window, message, MSGFLT_ALLOW);
  }
}

void letDropsThrough(HWND window) {
  letDropsThrough(window, [](HWND hwnd, UINT message, DWORD action) {
    return ChangeWindowMessageFilterEx(hwnd, message, action, nullptr);
  });
}

std::wstring firstDropped(HDROP drop) {
  if (!drop || DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0) return {};
  const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
  std::wstring path(length + 1, L'\0');
  const UINT got = DragQueryFileW(drop, 0, path.data(), length + 1);
  path.resize(got);
  return path;
}

}  // namespace shell
