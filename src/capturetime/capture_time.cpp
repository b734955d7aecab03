#include "capturetime/capture_time.h"

#include <tuple>

#include "platform/calendar.h"
#include "platform/date_time_text.h"

namespace capturetime {

CaptureTime CaptureTime::wallTime(const platform::LocalDateTime& wall, std::uint32_t subSecondTicks,
                                  std::optional<std::int32_t> offsetSeconds) {
  CaptureTime time;
  time.kind = Kind::WallTime;
  time.wall = wall;
  time.subSecondTicks = subSecondTicks;
  time.offsetSeconds = offsetSeconds;
  return time;
}

CaptureTime CaptureTime::instant(platform::FileTime utc) {
  CaptureTime time;
  time.kind = Kind::Instant;
  time.utc = utc;
  return time;
}

std::optional<ShownCaptureTime> shownCaptureTime(const CaptureTime& time, const ToLocal& toLocal) {
  switch (time.kind) {
    case CaptureTime::Kind::WallTime:
      return ShownCaptureTime{time.wall, time.subSecondTicks, time.offsetSeconds};
    case CaptureTime::Kind::Instant: {
      const std::optional<platform::LocalDateTime> local = toLocal(time.utc);
      if (!local) return std::nullopt;
      const std::int64_t utcSeconds =
          static_cast<std::int64_t>(time.utc / platform::kTicksPerSecond);
      return ShownCaptureTime{
          *local, static_cast<std::uint32_t>(time.utc % platform::kTicksPerSecond),
          static_cast<std::int32_t>(platform::secondsFrom1601(*local) - utcSeconds)};
    }
    case CaptureTime::Kind::None:
      break;
  }
  return std::nullopt;
}

std::string captureTimeText(const std::optional<ShownCaptureTime>& shown,
                            const platform::DateTimeSeparators& separators) {
  std::string text;
  if (!shown) return text;
  platform::appendDateTimeText(text, shown->local, separators);
  return text;
}

int compareCaptureTimes(const std::optional<ShownCaptureTime>& a,
                        const std::optional<ShownCaptureTime>& b, bool descending) {
  // Missing times stand last whatever the direction: decided before the
  // direction is applied.
  if (!a || !b) return (a ? 0 : 1) - (b ? 0 : 1);
  // Of equal shown times the larger offset east came first; those without
  // one follow, among themselves in their order.
  const auto key = [](const ShownCaptureTime& s) {
    const platform::LocalDateTime& t = s.local;
    return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute, t.second, s.subSecondTicks,
                           !s.offsetSeconds.has_value(), -s.offsetSeconds.value_or(0));
  };
  const int order = key(*a) < key(*b) ? -1 : key(*b) < key(*a) ? 1 : 0;
  return descending ? -order : order;
}

}  // namespace capturetime
