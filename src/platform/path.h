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

// Whether a current folder path names a folder of the file system by itself,
// without help from the process's current folder. The tree gives plain display
// names for virtual objects such as the computer; those must list nothing
// rather than whatever folder of that name the current folder happens to hold.
inline bool isAbsolutePath(std::string_view path) {
#ifdef _WIN32
  const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  const bool unc = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
  return drive || unc;
#else
  return !path.empty() && path.front() == '/';
#endif
}

}  // namespace platform
