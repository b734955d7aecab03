#pragma once

// One folder has several routes: a link, a junction, a mapped drive, a
// short name, the Desktop shown at the top of the shell's namespace and again
// under the user's folder. What the file system says a path really is, what
// a shortcut points to, and the comparisons built on that.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class FolderRoutes {
 public:
  virtual ~FolderRoutes() = default;
  // The path the file system itself gives an existing folder or file:
  // links and junctions followed, short names made long. Empty when the
  // path cannot be opened.
  // Windows: GetFinalPathNameByHandleW on a handle opened with
  // FILE_FLAG_BACKUP_SEMANTICS, else GetLongPathNameW. POSIX: realpath.
  virtual std::string canonicalPath(const std::string& path) = 0;
  // What a shortcut file points to, resolved without any window and
  // without writing the shortcut back; nothing when it is broken or names
  // no file-system item.
  // Windows: IShellLinkW, IPersistFile::Load, Resolve(SLR_NO_UI), GetPath.
  // POSIX has no shortcut files: always nothing.
  virtual std::optional<std::string> shortcutTarget(const std::string& path) = 0;
  // The folder the Desktop, the shell's top node, shows.
  // Windows: SHGetKnownFolderPath(FOLDERID_Desktop). POSIX: empty.
  virtual std::string desktopFolder() = 0;
};

FolderRoutes& systemFolderRoutes();

// Whether a path's name ends in ".lnk", in any case: a shell shortcut.
bool isShortcutName(std::string_view path);

// Whether two paths name one folder: their canonical paths (or the path as
// given where it cannot be opened), separators at the end left out,
// compared case-blind by the system's case mapping, as Windows' file
// systems compare names.
bool sameFolder(FolderRoutes& routes, const std::string& a, const std::string& b);

// The names that lead from the folder top down to path, by their canonical
// paths; empty when path is top itself, nothing when it lies elsewhere.
std::optional<std::vector<std::string>> namesBelow(FolderRoutes& routes, const std::string& top,
                                                   const std::string& path);

}  // namespace platform
