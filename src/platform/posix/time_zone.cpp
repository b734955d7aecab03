#include "platform/time_zone.h"

#include <cerrno>
#include <cstdint>
#include <ctime>

namespace platform {

namespace {

LocalDateTime fromTm(const std::tm& tm) {
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace

std::optional<LocalDateTime> utcToLocal(FileTime utc) {
  // Whole seconds, rounded toward the past like the Windows conversion.
  const auto ticks = static_cast<std::int64_t>(utc) - static_cast<std::int64_t>(kUnixEpochTicks);
  std::int64_t seconds = ticks / static_cast<std::int64_t>(kTicksPerSecond);
  if (ticks < 0 && ticks % static_cast<std::int64_t>(kTicksPerSecond) != 0) --seconds;
  const auto t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return std::nullopt;
  return fromTm(tm);
}

std::optional<FileTime> localToUtc(const LocalDateTime& local) {
  std::tm tm{};
  tm.tm_year = local.year - 1900;
  tm.tm_mon = local.month - 1;
  tm.tm_mday = local.day;
  tm.tm_hour = local.hour;
  tm.tm_min = local.minute;
  tm.tm_sec = local.second;
  tm.tm_isdst = -1;  // the rules of that date decide
  errno = 0;
  const std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1) && errno != 0) return std::nullopt;
  const std::int64_t ticks = static_cast<std::int64_t>(t) * static_cast<std::int64_t>(kTicksPerSecond) +
                             static_cast<std::int64_t>(kUnixEpochTicks);
  if (ticks < 0) return std::nullopt;
  return static_cast<FileTime>(ticks);
}

LocalDateTime localNow() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return fromTm(tm);
}

DateTimeSeparators userDateTimeSeparators() { return {}; }

}  // namespace platform
