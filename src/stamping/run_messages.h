#pragma once

// The texts a stamping run and an undo show: the pre-check's, the error
// box's for an entry that fails, and the completions.

#include <string>
#include <string_view>

#include "folderlist/list_entry.h"
#include "platform/file_ops.h"

namespace stamping {

inline constexpr std::string_view kStampCompleted = "変更しました";
inline constexpr std::string_view kUndoCompleted = "元に戻しました";

// The check of one row before anything changes: the message for the message
// window, or empty when the row passes. Both tests run; a missing entry's
// message replaces the read-only one, since an attribute read of a missing
// path also reports the read-only bit.
std::string precheckMessage(const folderlist::ListEntry& row, const std::string& path,
                            platform::FileOps& fs);

// The error-box texts of an entry that cannot be opened, whose times cannot
// be read, or whose times cannot be changed.
std::string cannotOpenMessage(const folderlist::ListEntry& row, const std::string& path);
std::string cannotReadMessage(const folderlist::ListEntry& row, const std::string& path);
std::string cannotChangeMessage(const folderlist::ListEntry& row, const std::string& path);

}  // namespace stamping
