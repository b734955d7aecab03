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
// taken (EXIF without an offset), or an instant (EXIF with an offset, a
// video's UTC).
struct CaptureTime {
  enum class Kind : std::uint8_t { None, WallTime, Instant };
  Kind kind = Kind::None;
  platform::LocalDateTime wall;      // WallTime: the time as written, whole seconds
  platform::FileTime utc = 0;        // Instant: to the 100-ns tick, sub-seconds included
  std::uint32_t subSecondTicks = 0;  // WallTime: 100-ns ticks past wall's second

  bool present() const { return kind != Kind::None; }

  static CaptureTime wallTime(const platform::LocalDateTime& wall,
                              std::uint32_t subSecondTicks = 0);
  static CaptureTime instant(platform::FileTime utc);

  friend bool operator==(const CaptureTime&, const CaptureTime&) = default;
};

// A capture time as the list shows it: the local date and time, whole
// seconds, and the 100-ns ticks past that second that only the order sees.
struct ShownCaptureTime {
  platform::LocalDateTime local;
  std::uint32_t subSecondTicks = 0;
  friend bool operator==(const ShownCaptureTime&, const ShownCaptureTime&) = default;
};

// UTC to the PC's local time by the rules of that date (platform::utcToLocal,
// or a folderlist::LocalTimeCache over it).
using ToLocal = std::function<std::optional<platform::LocalDateTime>(platform::FileTime)>;

// A wall time is shown as it is; an instant in the PC's zone. Nothing for no
// time, or an instant the zone rules cannot convert.
std::optional<ShownCaptureTime> shownCaptureTime(const CaptureTime& time, const ToLocal& toLocal);

// "yyyy/mm/dd hh:nn:ss" with the user's separators for "/" and ":", as the
// time column writes it; empty for nothing.
std::string captureTimeText(const std::optional<ShownCaptureTime>& shown,
                            const platform::DateTimeSeparators& separators);

// The order of the capture time column for one direction: negative, 0 or
// positive as a goes before, with or after b. Rows without a time go after
// every row with one, ascending and descending alike; sub-seconds break ties
// of the shown second.
int compareCaptureTimes(const std::optional<ShownCaptureTime>& a,
                        const std::optional<ShownCaptureTime>& b, bool descending);

}  // namespace capturetime
