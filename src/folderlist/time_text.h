#pragma once

#include <string>

#include "platform/file_time.h"
#include "platform/time_zone.h"

namespace folderlist {

// "yyyy/mm/dd hh:nn:ss", zero-padded, with the given date and time separators
// standing for "/" and ":".
std::string formatTimeText(const platform::LocalDateTime& t,
                           const platform::DateTimeSeparators& separators);

}  // namespace folderlist
