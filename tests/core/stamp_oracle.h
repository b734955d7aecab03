#pragma once

// The reference the stamping tests hold the run against: the standard
// library's calendar and a plain printf, independent of the run's own
// calendar code and of the listing's time text.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/file_time.h"

namespace oracle {

inline std::chrono::sys_seconds toSys(const platform::LocalDateTime& t) {
  namespace chr = std::chrono;
  const chr::sys_days day{chr::year{t.year} / chr::month{static_cast<unsigned>(t.month)} /
                          chr::day{static_cast<unsigned>(t.day)}};
  return day + chr::hours{t.hour} + chr::minutes{t.minute} + chr::seconds{t.second};
}

inline platform::LocalDateTime fromSys(std::chrono::sys_seconds s) {
  namespace chr = std::chrono;
  const chr::sys_days day = chr::floor<chr::days>(s);
  const chr::year_month_day ymd{day};
  const chr::hh_mm_ss hms{s - day};
  return {static_cast<int>(ymd.year()),
          static_cast<int>(static_cast<unsigned>(ymd.month())),
          static_cast<int>(static_cast<unsigned>(ymd.day())),
          static_cast<int>(hms.hours().count()),
          static_cast<int>(hms.minutes().count()),
          static_cast<int>(hms.seconds().count())};
}

// The start time plus k steps of the given number of seconds.
inline platform::LocalDateTime nth(const platform::LocalDateTime& start, std::int64_t k,
                                   std::int64_t stepSeconds) {
  return fromSys(toSys(start) + std::chrono::seconds{k * stepSeconds});
}

inline std::string text(const platform::LocalDateTime& t, const char* dateSep = "/",
                        const char* timeSep = ":") {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d%s%02d%s%02d %02d%s%02d%s%02d", t.year, dateSep,
                t.month, dateSep, t.day, t.hour, timeSep, t.minute, timeSep, t.second);
  return buffer;
}

// A UTC date and time as a file time.
inline platform::FileTime utcFileTime(const platform::LocalDateTime& utc) {
  return static_cast<platform::FileTime>(toSys(utc).time_since_epoch().count() *
                                             static_cast<std::int64_t>(platform::kTicksPerSecond) +
                                         static_cast<std::int64_t>(platform::kUnixEpochTicks));
}

// A fixed-offset conversion (UTC+9, no daylight saving) for runs over the
// in-memory file system, where no real zone is involved.
inline platform::FileTime fixedZoneFileTime(const platform::LocalDateTime& t) {
  const std::int64_t unixSeconds = toSys(t).time_since_epoch().count() - 9 * 3600;
  return static_cast<platform::FileTime>(unixSeconds *
                                             static_cast<std::int64_t>(platform::kTicksPerSecond) +
                                         static_cast<std::int64_t>(platform::kUnixEpochTicks));
}

// Its inverse, for the run's local texts over the in-memory file system.
inline platform::LocalDateTime fixedZoneLocal(platform::FileTime t) {
  const std::int64_t unixSeconds =
      (static_cast<std::int64_t>(t) - static_cast<std::int64_t>(platform::kUnixEpochTicks)) /
      static_cast<std::int64_t>(platform::kTicksPerSecond);
  return fromSys(std::chrono::sys_seconds{std::chrono::seconds{unixSeconds + 9 * 3600}});
}

// A name with a number in it; built by appending, which GCC 12's -Wrestrict
// does not misread as the literal-plus-string form.
inline std::string numbered(std::string_view prefix, int i, std::string_view suffix = {}) {
  std::string name(prefix);
  name += std::to_string(i);
  name += suffix;
  return name;
}

}  // namespace oracle
