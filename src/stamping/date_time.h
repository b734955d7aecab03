#pragma once

#include <cstdint>

#include "platform/file_time.h"

namespace stamping {

// Gregorian calendar arithmetic on local wall-clock times, in whole seconds
// and integers only, so that the k-th step lands exactly on start + k steps.

// Divisible by 4 and either not by 100 or by 400 (1900 is not, 2000 is).
bool isLeapYear(int year);

// 28 to 31; 0 for a month outside 1..12.
int daysInMonth(int year, int month);

// Days from 1970-01-01 to the given date (negative before it), proleptic
// Gregorian calendar. The date must be valid.
std::int64_t daysFromCivil(int year, int month, int day);

// The time plus a number of seconds (negative goes back), carried across
// minutes, hours, days, month ends and year ends.
platform::LocalDateTime addSeconds(const platform::LocalDateTime& t, std::int64_t seconds);

}  // namespace stamping
