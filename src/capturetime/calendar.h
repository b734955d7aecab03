#pragma once

// Calendar arithmetic of the proleptic Gregorian calendar, for times the
// files state as dates: to and from counts of seconds since 1601-01-01.

#include <cstdint>
#include <optional>

#include "platform/calendar.h"
#include "platform/file_time.h"

namespace capturetime {

// Whether the fields form a real date and time of day (leap years counted,
// second 60 refused) with a year from 1601 to 9999.
bool validDateTime(const platform::LocalDateTime& t);

// The seconds since 1601-01-01 of a valid date and time taken as UTC.
using platform::secondsFrom1601;

// A count of seconds since 1601-01-01 as a file time; nothing outside the
// range a file time holds.
std::optional<platform::FileTime> fileTimeOfSeconds(std::int64_t seconds);

}  // namespace capturetime
