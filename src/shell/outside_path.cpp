#include "shell/outside_path.h"

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
  while (!path.empty() && path.front() == L'"') path.erase(path.begin());
  while (!path.empty() && path.back() == L'"') path.pop_back();
  if (path.empty()) return path;
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  return full;
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
