#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "folderlist/short_text.h"

namespace folderlist {

// The kind text of a folder row; a file row has an empty kind text.
inline constexpr std::string_view kFolderKind = "<Folder>";

// One row of the entry list. The rows are the program's only copy of the
// listed entries; sorting and dragging move whole entries between positions.
struct ListEntry {
  std::string name;      // as the enumeration delivers it, no folder part
  std::string kindText;  // kFolderKind or empty
  ShortText timeText;    // "yyyy/mm/dd hh:nn:ss" with the user's separators, inline

  bool isFile() const { return kindText.empty(); }
  bool isFolder() const { return kindText == kFolderKind; }
  friend bool operator==(const ListEntry&, const ListEntry&) = default;
};

using EntryRows = std::vector<ListEntry>;

}  // namespace folderlist
