#include "folderlist/local_time_cache.h"

namespace folderlist {

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr std::int64_t kTicksPerSecond = static_cast<std::int64_t>(platform::kTicksPerSecond);

// Days from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kDays1601To1970 = 134'774;

// Days from 1601-01-01 to a date of the proleptic Gregorian calendar, by
// 400-year eras counted from 1 March, so that the leap day ends each year
// (Howard Hinnant's days_from_civil, shifted to 1601).
std::int64_t daysFrom1601(int year, int month, int day) {
  const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146'097 + dayOfEra - 719'468 + kDays1601To1970;
}

// The calendar date and time of day of a count of seconds from 1601-01-01
// (civil_from_days, the inverse of the above).
platform::LocalDateTime dateTimeOf(std::int64_t secondsFrom1601) {
  std::int64_t days = secondsFrom1601 / kSecondsPerDay;
  std::int64_t second = secondsFrom1601 % kSecondsPerDay;
  if (second < 0) {
    second += kSecondsPerDay;
    --days;
  }
  const std::int64_t z = days - kDays1601To1970 + 719'468;
  const std::int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
  const std::int64_t dayOfEra = z - era * 146'097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t mp = (5 * dayOfYear + 2) / 153;
  platform::LocalDateTime t;
  t.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
  t.hour = static_cast<int>(second / 3600);
  t.minute = static_cast<int>(second / 60 % 60);
  t.second = static_cast<int>(second % 60);
  return t;
}

std::int64_t secondsFrom1601(const platform::LocalDateTime& t) {
  return daysFrom1601(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 +
         t.second;
}

constexpr std::size_t kDaySlots = 16'384;

}  // namespace

LocalTimeCache::LocalTimeCache(Convert convert) : convert_(convert), days_(kDaySlots) {}

LocalTimeCache::Day& LocalTimeCache::dayWithStart(std::int32_t day) {
  Day& slot = days_[static_cast<std::size_t>(day) % kDaySlots];
  if (slot.dayPlusOne == day + 1) return slot;
  slot.dayPlusOne = day + 1;
  slot.startOffset = kNoOffset;
  slot.wholeDayOffset = kNotAsked;
  const auto ticks =
      static_cast<platform::FileTime>(static_cast<std::int64_t>(day) * kSecondsPerDay) *
      platform::kTicksPerSecond;
  if (const auto local = convert_(ticks)) {
    const std::int64_t offset = secondsFrom1601(*local) - day * kSecondsPerDay;
    // More than a day either way is no zone offset: left to the rules.
    if (offset > -kSecondsPerDay && offset < kSecondsPerDay) {
      slot.startOffset = static_cast<std::int32_t>(offset);
    }
  }
  return slot;
}

std::optional<platform::LocalDateTime> LocalTimeCache::toLocal(platform::FileTime utc) {
  const auto seconds = static_cast<std::int64_t>(utc / platform::kTicksPerSecond);
  const std::int64_t day = seconds / kSecondsPerDay;
  // The last whole day of the file-time range has no next day to ask about.
  constexpr std::int64_t kLastDay = static_cast<std::int64_t>(
      0x7FFF'FFFF'FFFF'FFFFull / platform::kTicksPerSecond / kSecondsPerDay);
  if (utc <= 0x7FFF'FFFF'FFFF'FFFFull && day < kLastDay - 1) {
    const auto thisDay = static_cast<std::int32_t>(day);
    Day* slot = &dayWithStart(thisDay);
    if (slot->wholeDayOffset == kNotAsked) {
      const std::int32_t start = slot->startOffset;
      const std::int32_t next = dayWithStart(thisDay + 1).startOffset;  // another slot
      slot->wholeDayOffset = start != kNoOffset && start == next ? start : kNoOffset;
    }
    if (slot->wholeDayOffset != kNoOffset) return dateTimeOf(seconds + slot->wholeDayOffset);
  }
  return convert_(utc);
}

}  // namespace folderlist
