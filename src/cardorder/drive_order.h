#pragma once

#include <string>
#include <string_view>

#include "platform/copy_ops.h"

namespace cardorder {

// Whether a drive lists a folder's entries in the order they were written.
enum class DriveOrder {
  Kept,     // FAT12/16/32, exFAT: the order of writing is the order read
  NotKept,  // NTFS, ReFS: names are kept sorted
  Unknown,  // the system could not tell (Wine on a FUSE mount) or a name unknown here
};

DriveOrder driveOrderOf(std::string_view fileSystem);

struct DriveFacts {
  DriveOrder order = DriveOrder::Unknown;
  bool readOnly = false;  // only when the system said so
  std::string fileSystem;
};

// What the folder's volume tells of itself.
DriveFacts driveFactsOf(const std::string& folder, platform::CopyOps& ops);

}  // namespace cardorder
