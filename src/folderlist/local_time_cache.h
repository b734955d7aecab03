#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/file_time.h"

namespace folderlist {

// UTC file times to local wall-clock times for one listing, asking the zone
// rules once per day rather than once per row.
//
// For the UTC day an instant falls in, the offset from UTC at the start of
// that day and at the start of the next are asked for (and kept). Where the
// two agree, the day holds no clock change and the local time is the instant
// plus that offset, by calendar arithmetic. Where they differ, or the zone
// rules cannot convert either, the instant itself is converted, so a day with
// a clock change gives exactly what the zone rules give. Zone rules change the
// offset at most once on any day and never there and back within one day.
class LocalTimeCache {
 public:
  using Convert = std::optional<platform::LocalDateTime> (*)(platform::FileTime);

  explicit LocalTimeCache(Convert convert);

  // What convert(utc) gives, whole seconds.
  std::optional<platform::LocalDateTime> toLocal(platform::FileTime utc);

 private:
  struct Day {
    std::int32_t dayPlusOne = 0;      // days since 1601-01-01 UTC, plus one; 0: empty slot
    std::int32_t startOffset = 0;     // at the day's start, or kNoOffset
    std::int32_t wholeDayOffset = 0;  // the same at its end too, else kNoOffset; or kNotAsked
  };
  // The rules cannot convert the day's start, or the offset changes that day.
  static constexpr std::int32_t kNoOffset = INT32_MIN;
  static constexpr std::int32_t kNotAsked = INT32_MIN + 1;

  // The slot of a day, holding at least its start offset.
  Day& dayWithStart(std::int32_t day);

  Convert convert_;
  // Direct-mapped by day: any 44 years of days have a slot each, whatever
  // order the entries come in.
  std::vector<Day> days_;
};

}  // namespace folderlist
