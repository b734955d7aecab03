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

// The folder, one separator and the entry's name. A root that ends in its
// separator ("D:\", "/") keeps just that one: in the long form ("\\?\D:\\x")
// the system takes a doubled separator literally. A bare drive ("D:") gets
// one, since "D:x" would name a place in that drive's current folder.
inline std::string joinPath(std::string_view folder, std::string_view name) {
  std::string full;
  full.reserve(folder.size() + 1 + name.size());
  full.append(folder);
  if (full.empty() || full.back() != kPathSeparator) full.push_back(kPathSeparator);
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
