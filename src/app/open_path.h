#pragma once

// A folder or file handed to the program from outside (the first argument,
// Explorer's "送る", a drop onto the exe's icon or onto the main window): the
// folder to open and the entry to select in it.

#include <optional>
#include <string>
#include <string_view>

#include "folderlist/list_entry.h"
#include "platform/file_ops.h"

namespace app {

struct OpenTarget {
  std::string folder;  // the folder to list
  std::string entry;   // the row to select in it; empty for a folder itself
  friend bool operator==(const OpenTarget&, const OpenTarget&) = default;
};

// What an absolute path names: a folder opens itself, a file opens its
// folder with its row selected. Separators at the end are dropped, but for a
// root's own. Nothing when the path names neither.
std::optional<OpenTarget> openTargetOf(std::string_view path, platform::FileOps& files);

// The row of the entry named name: the one spelt exactly so, else the first
// whose name differs from it only in case, which Windows' file systems
// ignore in every script (by the system's case mapping). -1 when none.
int rowNamed(const folderlist::EntryRows& rows, std::string_view name);

// A path as the command line hands it on, with its quotes taken off. A
// quoted path that ends in a backslash arrives with a stray quote at its end
// (the backslash escapes it): "C:\My Dir\" becomes C:\My Dir", and "D:\"
// becomes D:", which without the quote would mean drive D's current
// directory: a drive followed by that quote is the drive's root.
std::string unquotedPath(std::string_view path);

// "フォルダ %s を開けません" with the path.
std::string cannotOpenFolderMessage(std::string_view path);

}  // namespace app
