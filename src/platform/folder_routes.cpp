#include "platform/folder_routes.h"

#include "platform/collation.h"

namespace platform {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The canonical path, or the path itself when it cannot be opened, without
// separators at its end ("C:\" keeps none either: compared, not used).
std::string comparable(FolderRoutes& routes, const std::string& path) {
  std::string canonical = routes.canonicalPath(path);
  if (canonical.empty()) canonical = path;
  while (!canonical.empty() && isSeparator(canonical.back())) canonical.pop_back();
  return canonical;
}

std::vector<std::string> splitNames(std::string_view rest) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < rest.size()) {
    std::size_t end = start;
    while (end < rest.size() && !isSeparator(rest[end])) ++end;
    if (end > start) names.emplace_back(rest.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

}  // namespace

bool isShortcutName(std::string_view path) {
  constexpr std::string_view kExtension = ".lnk";
  if (path.size() <= kExtension.size()) return false;
  return toLowerCase(path.substr(path.size() - kExtension.size())) == kExtension;
}

bool sameFolder(FolderRoutes& routes, const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  return toLowerCase(comparable(routes, a)) == toLowerCase(comparable(routes, b));
}

std::optional<std::vector<std::string>> namesBelow(FolderRoutes& routes, const std::string& top,
                                                   const std::string& path) {
  if (top.empty() || path.empty()) return std::nullopt;
  const std::string topPath = comparable(routes, top);
  const std::string fullPath = comparable(routes, path);
  const std::string lowerTop = toLowerCase(topPath);
  const std::string lowerFull = toLowerCase(fullPath);
  if (lowerFull.size() < lowerTop.size() || lowerFull.compare(0, lowerTop.size(), lowerTop) != 0) {
    return std::nullopt;
  }
  // "C:\Users\me\Desktop2" does not lie in "C:\Users\me\Desktop".
  if (lowerFull.size() > lowerTop.size() && !isSeparator(lowerFull[lowerTop.size()])) {
    return std::nullopt;
  }
  // Lower case keeps the length of these names only where the case mapping
  // does; the names themselves come from the path as the system spells it.
  if (lowerTop.size() != topPath.size() || lowerFull.size() != fullPath.size()) {
    return std::nullopt;
  }
  return splitNames(std::string_view(fullPath).substr(topPath.size()));
}

}  // namespace platform
