#include "cardorder/work_folder.h"

#include <algorithm>

#include "platform/path.h"

namespace cardorder {

namespace {

constexpr char kSep = platform::kPathSeparator;

// The list's own lines; the rows follow the last one.
constexpr std::string_view kListTitle =
    "Chronoseq: 並べ替え中のフォルダです。止まったときは、下の順番でフォルダに戻してください。";
constexpr std::string_view kListFolder = "フォルダ: ";
constexpr std::string_view kListRows = "順番:";

std::string_view withoutTrailingSeparators(std::string_view path) {
  while (path.size() > 1 && path.back() == kSep && !isRoot(path)) path.remove_suffix(1);
  return path;
}

std::string numbered(std::string_view base, int n) {
  std::string name(base);
  if (n > 1) name += " (" + std::to_string(n) + ")";
  return name;
}

}  // namespace

bool isRoot(std::string_view folder) {
#ifdef _WIN32
  // "E:" or "E:\"
  if (folder.size() == 2 && folder[1] == ':') return true;
  if (folder.size() == 3 && folder[1] == ':' && folder[2] == kSep) return true;
  // "\\server\share" with or without the last separator
  if (folder.size() > 2 && folder[0] == kSep && folder[1] == kSep) {
    std::string_view rest = folder.substr(2);
    if (!rest.empty() && rest.back() == kSep) rest.remove_suffix(1);
    return std::count(rest.begin(), rest.end(), kSep) <= 1;
  }
  return false;
#else
  return !folder.empty() && folder.find_first_not_of(kSep) == std::string_view::npos;
#endif
}

std::string workPlace(const std::string& folder) {
  const std::string_view path = withoutTrailingSeparators(folder);
  if (isRoot(path)) return std::string(path);
  const std::size_t cut = path.find_last_of(kSep);
  if (cut == std::string_view::npos) return std::string(path);
  const std::string_view parent = path.substr(0, cut + 1);  // with its separator
  // "E:\" and "/" keep theirs; any other parent drops it.
  if (isRoot(parent)) return std::string(parent);
  return std::string(parent.substr(0, cut));
}

std::string folderName(const std::string& folder) {
  const std::string_view path = withoutTrailingSeparators(folder);
  if (isRoot(path)) return {};
  const std::size_t cut = path.find_last_of(kSep);
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::vector<std::string> workFolderNames(bool plain) {
  std::vector<std::string> names;
  for (int n = 1; n <= kMostWorkFolders; ++n) {
    names.push_back(numbered(plain ? kPlainWorkFolderName : kWorkFolderName, n));
  }
  return names;
}

bool isWorkFolderName(std::string_view name) {
  for (const bool plain : {false, true}) {
    const std::vector<std::string> names = workFolderNames(plain);
    if (std::find(names.begin(), names.end(), name) != names.end()) return true;
  }
  return false;
}

std::string listText(const WorkList& list) {
  std::string text;
  text.append(kListTitle).append("\r\n");
  text.append(kListFolder).append(list.folder).append("\r\n");
  text.append(kListRows).append("\r\n");
  for (const std::string& row : list.rows) text.append(row).append("\r\n");
  return text;
}

std::optional<WorkList> parseList(std::string_view text) {
  // An editor may have saved it with a byte-order mark.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  // An editor may have added empty lines anywhere; a name is never empty.
  std::erase_if(lines, [](std::string_view line) { return line.empty(); });
  if (lines.size() < 3 || lines[0] != kListTitle) return std::nullopt;
  if (lines[1].substr(0, kListFolder.size()) != kListFolder || lines[2] != kListRows) {
    return std::nullopt;
  }
  WorkList list;
  list.folder = std::string(lines[1].substr(kListFolder.size()));
  for (std::size_t i = 3; i < lines.size(); ++i) list.rows.emplace_back(lines[i]);
  return list;
}

std::optional<PendingWork> findPendingWork(const std::string& folder, platform::CopyOps& ops) {
  const std::string place = workPlace(folder);
  const std::string name = folderName(folder);
  // Only the names a run gives its work folder are looked at, each by
  // itself: this runs after every listing, and listing the place would cost
  // as much as the place holds.
  for (const bool plain : {false, true}) {
    for (const std::string& candidate : workFolderNames(plain)) {
      const std::string work = platform::joinPath(place, candidate);
      if (ops.stat(work).kind != platform::EntryKind::Folder) continue;
      std::string bytes;
      const bool read = ops.readWholeFile(platform::joinPath(work, kListFileName), bytes) == 0;
      std::optional<WorkList> list = read ? parseList(bytes) : std::nullopt;
      // Whose it is cannot be told: said rather than passed over in silence.
      if (!list) return PendingWork{work, {}, {}, false};
      if (list->folder != name) continue;
      PendingWork pending{work, std::move(*list), {}, true};
      std::vector<platform::FolderItem> inside;
      if (ops.listNames(work, inside) != 0) continue;
      for (platform::FolderItem& entry : inside) {
        if (entry.name != kListFileName) pending.waiting.push_back(std::move(entry.name));
      }
      return pending;
    }
  }
  return std::nullopt;
}

}  // namespace cardorder
