#pragma once

#include <string>
#include <string_view>

namespace platform {

// The separator between a folder path and an entry's name.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The current folder path, the separator and the entry's name. A drive root
// such as "C:\" then holds two separators in a row, which Windows reads as one.
inline std::string joinPath(std::string_view folder, std::string_view name) {
  std::string full;
  full.reserve(folder.size() + 1 + name.size());
  full.append(folder);
  full.push_back(kPathSeparator);
  full.append(name);
  return full;
}

}  // namespace platform
