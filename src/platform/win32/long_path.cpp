#include "platform/win32/long_path.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/utf.h"

namespace platform::win32 {

// Paths of kLongFormFrom characters or more take the "\\?\" form, under
// which Windows no longer normalises the path: separators are made
// backslashes and the doubled one after a drive root is collapsed first.
std::wstring toWinPath(const std::string& path) {
  std::wstring wide = widen(path);
  if (wide.size() < kLongFormFrom || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  const bool unc = wide.rfind(L"\\\\", 0) == 0;
  std::wstring collapsed;
  collapsed.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const bool doubled = i > 0 && wide[i] == L'\\' && collapsed.back() == L'\\';
    if (doubled && !(unc && i == 1)) continue;
    collapsed.push_back(wide[i]);
  }
  if (unc) return L"\\\\?\\UNC\\" + collapsed.substr(2);
  if (collapsed.size() >= 3 && collapsed[1] == L':' && collapsed[2] == L'\\') {
    return L"\\\\?\\" + collapsed;
  }
  return wide;  // a relative path cannot take the long form
}

bool fileExistsAt(const std::string& path) {
  WIN32_FIND_DATAW data;
  const UniqueFindHandle search(FindFirstFileW(toWinPath(path).c_str(), &data));
  if (search.get() == INVALID_HANDLE_VALUE) return false;
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace platform::win32
