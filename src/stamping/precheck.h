#pragma once

#include <string>

#include "folderlist/list_entry.h"
#include "platform/file_ops.h"

namespace stamping {

// The check of one row before anything changes: the message for the message
// window, or empty when the row passes. Both tests run; a missing entry's
// message replaces the read-only one, since an attribute read of a missing
// path also reports the read-only bit.
std::string precheckMessage(const folderlist::ListEntry& row, const std::string& path,
                            platform::FileOps& fs);

}  // namespace stamping
