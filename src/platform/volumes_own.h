#pragma once

// The volume's own entries in a folder: hidden and system both, as the
// System Volume Information Windows puts on every card's root. Explorer does
// not show them and no user may move them, so they take part in no order:
// the copy and the in-place order leave them where they stand and read the
// order back without them.

#include <algorithm>
#include <string>
#include <vector>

#include "platform/copy_ops.h"

namespace platform {

inline bool isVolumesOwn(const FolderItem& item) { return item.hiddenSystem; }

// Takes them out of a listing; returns their names.
inline std::vector<std::string> takeOutVolumesOwn(std::vector<FolderItem>& items) {
  std::vector<std::string> taken;
  std::erase_if(items, [&taken](FolderItem& item) {
    if (!isVolumesOwn(item)) return false;
    taken.push_back(std::move(item.name));
    return true;
  });
  return taken;
}

// The names of a folder in the file system's own order, without them.
inline OsErrorCode listOrderedNames(CopyOps& ops, const std::string& path,
                                    std::vector<std::string>& names) {
  std::vector<FolderItem> items;
  names.clear();
  if (const OsErrorCode error = ops.listNames(path, items)) return error;
  takeOutVolumesOwn(items);
  names.reserve(items.size());
  for (FolderItem& item : items) names.push_back(std::move(item.name));
  return 0;
}

}  // namespace platform
