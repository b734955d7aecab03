#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "folderlist/list_entry.h"
#include "platform/folder_search.h"
#include "platform/time_zone.h"

namespace folderlist {

using SearchOpener = std::function<std::unique_ptr<platform::FolderSearch>(std::string_view)>;

// Reads one folder into rows, in the order the file system delivers them,
// skipping "." and "..". An unreadable folder gives no rows; a failure in the
// middle keeps the rows read so far. Times are local, at two-second resolution.
EntryRows listFolder(std::string_view folderPath, const platform::DateTimeSeparators& separators,
                     const SearchOpener& open = platform::openFolderSearch);

// The same into rows, emptied first. Their storage is kept, so listing again
// (another folder, F5) reuses memory instead of faulting in fresh pages.
void listFolderInto(EntryRows& rows, std::string_view folderPath,
                    const platform::DateTimeSeparators& separators,
                    const SearchOpener& open = platform::openFolderSearch);

}  // namespace folderlist
