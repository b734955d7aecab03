#pragma once

#include <cstdint>
#include <string>

#include "platform/time_zone.h"
#include "stamping/stamping_run.h"
#include "stamping/validation.h"

namespace stamping {

// The line under the time dialog's fields: where a run started now would put
// the first and the last of rowCount rows, as time texts:
// "1 行目 yyyy/mm/dd hh:nn:ss ～ N 行目 yyyy/mm/dd hh:nn:ss". The times come
// from the run's own arithmetic (the start instant plus k steps, shown in
// local time), so they are what the run writes, clock changes included.
// Empty while a field is not valid (no message: those are OK's), with no
// rows, or when a time cannot be converted.
std::string previewLine(const TimeFieldTexts& fields, std::uint16_t currentYear, Step step,
                        int rowCount, const platform::DateTimeSeparators& separators,
                        const LocalToFileTime& toFileTime, const FileTimeToLocal& toLocal);

}  // namespace stamping
