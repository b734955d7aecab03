#pragma once

#include <optional>
#include <string>

#include "platform/file_time.h"

namespace platform {

// Conversions between UTC file times and local wall-clock times. Both use the
// time-zone rules in force on the date being converted (daylight saving of
// that date, not of today), so a time stamped from a local time lists back
// as the same local time.
std::optional<LocalDateTime> utcToLocal(FileTime utc);
std::optional<FileTime> localToUtc(const LocalDateTime& local);

// The present local date and time of day.
LocalDateTime localNow();

// The user's regional date and time separators ("/" and ":" under Japanese
// settings).
struct DateTimeSeparators {
  std::string date = "/";
  std::string time = ":";
};
DateTimeSeparators userDateTimeSeparators();

}  // namespace platform
