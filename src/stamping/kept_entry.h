#pragma once

#include <string>
#include <vector>

#include "folderlist/short_text.h"
#include "platform/file_ops.h"

namespace stamping {

// What a stamping run keeps of one entry before it changes it, so that the
// change can be taken back: the row as it was and the entry's three times
// as the file system had them.
struct KeptEntry {
  std::string name;
  std::string kindText;
  folderlist::ShortText timeText;
  platform::EntryTimes times;
  // Which of the two optional times the run changed; undo gives back only
  // those and the last-write time, and leaves the others as they are now.
  bool creationChanged = false;
  bool lastAccessChanged = false;
};

// In the order the run changed them, top row first.
using KeptEntries = std::vector<KeptEntry>;

}  // namespace stamping
