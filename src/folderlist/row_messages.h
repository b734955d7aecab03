#pragma once

// What every command that works on the rows says of a row that is no longer
// there: the stamping run, the copy and the in-place order check for it first.

#include <string>
#include <string_view>

#include "folderlist/list_entry.h"
#include "platform/text_concat.h"

namespace folderlist {

inline constexpr std::string_view kMissingFile = "見当たらないファイルがあります \r\n\r\n";
inline constexpr std::string_view kMissingFolder = "見当たらないフォルダがあります \r\n\r\n";

// The message, then the row's name.
inline std::string missingRowMessage(const ListEntry& row) {
  return platform::concat(row.isFile() ? kMissingFile : kMissingFolder, row.name);
}

}  // namespace folderlist
