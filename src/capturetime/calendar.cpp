#include "capturetime/calendar.h"

namespace capturetime {

namespace {

constexpr std::int64_t kDays1601To1970 = 134'774;

bool leapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && leapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::int64_t daysFrom1601(int year, int month, int day) {
  const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146'097 + dayOfEra - 719'468 + kDays1601To1970;
}

bool validDateTime(const platform::LocalDateTime& t) {
  return t.year >= 1601 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= daysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
         t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

std::int64_t secondsFrom1601(const platform::LocalDateTime& t) {
  return daysFrom1601(t.year, t.month, t.day) * 86'400 + t.hour * 3600 + t.minute * 60 + t.second;
}

std::optional<platform::FileTime> fileTimeOfSeconds(std::int64_t seconds) {
  constexpr std::int64_t kLastSecond =
      static_cast<std::int64_t>(0x7FFF'FFFF'FFFF'FFFFull / platform::kTicksPerSecond) - 1;
  if (seconds < 0 || seconds > kLastSecond) return std::nullopt;
  return static_cast<platform::FileTime>(seconds) * platform::kTicksPerSecond;
}

}  // namespace capturetime
