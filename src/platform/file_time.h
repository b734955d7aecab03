#pragma once

#include <cstdint>

namespace platform {

// A Windows FILETIME as one number: 100-nanosecond ticks since 1601-01-01 UTC.
using FileTime = std::uint64_t;

inline constexpr FileTime kTicksPerSecond = 10'000'000;

// Ticks from 1601-01-01 to 1970-01-01, for converting to and from Unix time.
inline constexpr FileTime kUnixEpochTicks = 116'444'736'000'000'000ULL;

// A calendar date and time of day in local time, whole seconds.
struct LocalDateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;

  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

}  // namespace platform
