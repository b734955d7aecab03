#pragma once

#include <string>

#include "platform/file_time.h"
#include "platform/time_zone.h"

namespace folderlist {

// "yyyy/mm/dd hh:nn:ss", zero-padded, with the given date and time separators
// standing for "/" and ":".
std::string formatTimeText(const platform::LocalDateTime& t,
                           const platform::DateTimeSeparators& separators);

// The same, written over `out` (whose storage is reused).
void formatTimeTextInto(std::string& out, const platform::LocalDateTime& t,
                        const platform::DateTimeSeparators& separators);

}  // namespace folderlist
