#pragma once

#include <cstddef>
#include <string>

namespace platform::win32 {

// CreateDirectoryW refuses a path of MAX_PATH - 12 characters or more in
// the short form (room for an 8.3 name inside), so every path takes the long
// form from there.
inline constexpr std::size_t kLongFormFrom = 260 - 12;

// The path as the W functions take it: paths of kLongFormFrom characters or
// more in the "\\?\" form, the rest as they are.
std::wstring toWinPath(const std::string& path);

// Whether a file (not a folder) of that name exists, by a search for it, so
// that an entry the attributes cannot be read of is found all the same.
bool fileExistsAt(const std::string& path);

}  // namespace platform::win32
