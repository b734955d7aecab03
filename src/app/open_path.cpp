#include "app/open_path.h"

#include <algorithm>

#include "platform/collation.h"
#include "platform/path.h"

namespace app {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The length of the path's root, which keeps its separator: "C:\", "\\server\share\" or "/".
std::size_t rootLength(std::string_view path) {
  if (path.size() >= 3 && path[1] == ':' && isSeparator(path[2])) return 3;
  if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
    // "\\server\share\": the share is part of the root.
    std::size_t at = path.find_first_of("\\/", 2);
    if (at != std::string_view::npos) at = path.find_first_of("\\/", at + 1);
    return at == std::string_view::npos ? path.size() : at + 1;
  }
  return !path.empty() && isSeparator(path[0]) ? 1 : 0;
}

}  // namespace

std::optional<OpenTarget> openTargetOf(std::string_view path, platform::FileOps& files) {
  const std::size_t root = rootLength(path);
  while (path.size() > root && isSeparator(path.back())) path.remove_suffix(1);
  if (path.empty()) return std::nullopt;
  const std::string whole(path);
  if (files.folderExists(whole)) return OpenTarget{whole, {}};
  if (!files.fileExists(whole)) return std::nullopt;
  const std::size_t last = path.find_last_of("\\/");
  if (last == std::string_view::npos || last + 1 < root) return std::nullopt;
  std::string folder(path.substr(0, std::max(last, root)));
  return OpenTarget{folder, std::string(path.substr(last + 1))};
}

int rowNamed(const folderlist::EntryRows& rows, std::string_view name) {
  const std::string lower = platform::toLowerCase(name);
  int found = -1;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].name == name) return static_cast<int>(row);
    if (found < 0 && platform::toLowerCase(rows[row].name) == lower) found = static_cast<int>(row);
  }
  return found;
}

std::string unquotedPath(std::string_view path) {
  const bool strayQuote = !path.empty() && path.back() == '"';
  while (!path.empty() && path.front() == '"') path.remove_prefix(1);
  while (!path.empty() && path.back() == '"') path.remove_suffix(1);
  std::string result(path);
  if (strayQuote && result.size() == 2 && result[1] == ':') result.push_back('\\');
  return result;
}

std::string cannotOpenFolderMessage(std::string_view path) {
  return "フォルダ " + std::string(path) + " を開けません";
}

}  // namespace app
