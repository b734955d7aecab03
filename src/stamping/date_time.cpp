#include "stamping/date_time.h"

namespace stamping {

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;

// Floor division, so that times before 1970 split into a day and a
// non-negative second of that day.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

struct CivilDate {
  int year;
  int month;
  int day;
};

// The inverse of daysFromCivil (eras of 400 years, March-based years, so
// that the leap day comes last).
CivilDate civilFromDays(std::int64_t days) {
  const std::int64_t z = days + 719'468;
  const std::int64_t era = floorDiv(z, 146'097);
  const std::int64_t dayOfEra = z - era * 146'097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1'460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t marchMonth = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * marchMonth + 2) / 5 + 1);
  const int month = static_cast<int>(marchMonth < 10 ? marchMonth + 3 : marchMonth - 9);
  const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

}  // namespace

bool isLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int daysInMonth(int year, int month) {
  switch (month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
      return 31;
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    case 2:
      return isLeapYear(year) ? 29 : 28;
    default:
      return 0;
  }
}

std::int64_t daysFromCivil(int year, int month, int day) {
  const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
  const std::int64_t era = floorDiv(y, 400);
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t marchMonth = month > 2 ? month - 3 : month + 9;
  const std::int64_t dayOfYear = (153 * marchMonth + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146'097 + dayOfEra - 719'468;
}

platform::LocalDateTime addSeconds(const platform::LocalDateTime& t, std::int64_t seconds) {
  const std::int64_t total = daysFromCivil(t.year, t.month, t.day) * kSecondsPerDay +
                             t.hour * 3'600 + t.minute * 60 + t.second + seconds;
  const std::int64_t days = floorDiv(total, kSecondsPerDay);
  const std::int64_t secondOfDay = total - days * kSecondsPerDay;
  const CivilDate date = civilFromDays(days);
  return {date.year,
          date.month,
          date.day,
          static_cast<int>(secondOfDay / 3'600),
          static_cast<int>(secondOfDay / 60 % 60),
          static_cast<int>(secondOfDay % 60)};
}

}  // namespace stamping
