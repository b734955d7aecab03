#pragma once

#include <string>

namespace platform::win32 {

// The path as the W functions take it: paths of MAX_PATH characters or more
// in the "\\?\" form, the rest as they are.
std::wstring toWinPath(const std::string& path);

// Whether a file (not a folder) of that name exists, by a search for it, so
// that an entry the attributes cannot be read of is found all the same.
bool fileExistsAt(const std::string& path);

}  // namespace platform::win32
