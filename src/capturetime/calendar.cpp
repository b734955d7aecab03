#include "capturetime/calendar.h"

namespace capturetime {

namespace {

bool leapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && leapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

bool validDateTime(const platform::LocalDateTime& t) {
  return t.year >= 1601 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= daysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
         t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

std::optional<platform::FileTime> fileTimeOfSeconds(std::int64_t seconds) {
  constexpr std::int64_t kLastSecond =
      static_cast<std::int64_t>(0x7FFF'FFFF'FFFF'FFFFull / platform::kTicksPerSecond) - 1;
  if (seconds < 0 || seconds > kLastSecond) return std::nullopt;
  return static_cast<platform::FileTime>(seconds) * platform::kTicksPerSecond;
}

}  // namespace capturetime
