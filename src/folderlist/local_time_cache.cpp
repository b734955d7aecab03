#include "folderlist/local_time_cache.h"

#include "platform/calendar.h"

namespace folderlist {

using platform::kDays1601To1970;
using platform::secondsFrom1601;

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr std::int64_t kTicksPerSecond = static_cast<std::int64_t>(platform::kTicksPerSecond);

// The calendar date and time of day of a count of seconds from 1601-01-01
// (civil_from_days, the inverse of platform::daysFrom1601).
platform::LocalDateTime dateTimeOf(std::int64_t seconds) {
  std::int64_t days = seconds / kSecondsPerDay;
  std::int64_t second = seconds % kSecondsPerDay;
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
