#pragma once

// The time a photo or a video was taken, as the file states it, and as the
// list shows and sorts it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/file_time.h"
#include "platform/time_zone.h"

namespace capturetime {

// As read from the file: nothing, a wall-clock time of the place it was
// taken (EXIF, Apple's and Android's creation dates), with the offset from
// UTC there when the file writes one, or an instant (a movie header's UTC).
struct CaptureTime {
  enum class Kind : std::uint8_t { None, WallTime, Instant };
  Kind kind = Kind::None;
  platform::LocalDateTime wall;               // WallTime: the time as written, whole seconds
  platform::FileTime utc = 0;                 // Instant: to the 100-ns tick, sub-seconds included
  std::uint32_t subSecondTicks = 0;           // WallTime: 100-ns ticks past wall's second
  std::optional<std::int32_t> offsetSeconds;  // WallTime: east of UTC, when written

  bool present() const { return kind != Kind::None; }

  static CaptureTime wallTime(const platform::LocalDateTime& wall, std::uint32_t subSecondTicks = 0,
                              std::optional<std::int32_t> offsetSeconds = std::nullopt);
  static CaptureTime instant(platform::FileTime utc);

  friend bool operator==(const CaptureTime&, const CaptureTime&) = default;
};

// A capture time as the list shows it: the date and time, whole seconds,
// and what only the order sees: the 100-ns ticks past that second, and the
// shown time's offset from UTC where it is known.
struct ShownCaptureTime {
  platform::LocalDateTime local;
  std::uint32_t subSecondTicks = 0;
  std::optional<std::int32_t> offsetSeconds;
  friend bool operator==(const ShownCaptureTime&, const ShownCaptureTime&) = default;
};

// UTC to the PC's local time by the rules of that date (platform::utcToLocal,
// or a folderlist::LocalTimeCache over it).
using ToLocal = std::function<std::optional<platform::LocalDateTime>(platform::FileTime)>;

// A wall time is shown as it is written, the wall clock where it was taken,
// whatever its offset (as Explorer's 撮影日時 shows it); an instant in the
// PC's zone, with that zone's offset then. Nothing for no time, or an
// instant the zone rules cannot convert.
std::optional<ShownCaptureTime> shownCaptureTime(const CaptureTime& time, const ToLocal& toLocal);

// "yyyy/mm/dd hh:nn:ss" with the user's separators for "/" and ":", as the
// time column writes it; empty for nothing.
std::string captureTimeText(const std::optional<ShownCaptureTime>& shown,
                            const platform::DateTimeSeparators& separators);

// The order of the capture time column for one direction: negative, 0 or
// positive as a goes before, with or after b. Rows without a time go after
// every row with one, ascending and descending alike; sub-seconds break ties
// of the shown second, then the offsets of equal shown times: the one taken
// further east was taken first, and one without an offset goes after those
// with one.
int compareCaptureTimes(const std::optional<ShownCaptureTime>& a,
                        const std::optional<ShownCaptureTime>& b, bool descending);

}  // namespace capturetime
