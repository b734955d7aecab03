#pragma once

// The texts a stamping run and an undo show: the pre-check's, the error
// box's for an entry that fails, and the completions.

#include <string>
#include <string_view>

#include "folderlist/list_entry.h"

namespace stamping {

inline constexpr std::string_view kStampCompleted = "変更しました";
inline constexpr std::string_view kUndoCompleted = "元に戻しました";

// The pre-check's text of a row that is read-only (a missing one's is
// folderlist::missingRowMessage).
std::string readOnlyMessage(const folderlist::ListEntry& row);

// The error-box texts of an entry that cannot be opened, whose times cannot
// be read, or whose times cannot be changed.
std::string cannotOpenMessage(const folderlist::ListEntry& row, const std::string& path);
std::string cannotReadMessage(const folderlist::ListEntry& row, const std::string& path);
std::string cannotChangeMessage(const folderlist::ListEntry& row, const std::string& path);

}  // namespace stamping
