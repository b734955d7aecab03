#pragma once

// Calendar arithmetic of the proleptic Gregorian calendar: dates as counts of
// days and seconds since 1601-01-01, where file times begin.

#include <cstdint>

#include "platform/file_time.h"

namespace platform {

// Days from 1601-01-01 to 1970-01-01.
inline constexpr std::int64_t kDays1601To1970 = 134'774;

// Days from 1601-01-01 to a date, by 400-year eras counted from 1 March, so
// that the leap day ends each year (Howard Hinnant's days_from_civil,
// shifted to 1601).
constexpr std::int64_t daysFrom1601(int year, int month, int day) {
  const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146'097 + dayOfEra - 719'468 + kDays1601To1970;
}

// The seconds since 1601-01-01 of a date and time of day, its fields as they
// stand.
constexpr std::int64_t secondsFrom1601(const LocalDateTime& t) {
  return daysFrom1601(t.year, t.month, t.day) * 86'400 + t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace platform
