#include "capturetime/capture_time.h"

#include <tuple>

#include "platform/date_time_text.h"

namespace capturetime {

CaptureTime CaptureTime::wallTime(const platform::LocalDateTime& wall,
                                  std::uint32_t subSecondTicks) {
  CaptureTime time;
  time.kind = Kind::WallTime;
  time.wall = wall;
  time.subSecondTicks = subSecondTicks;
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
      return ShownCaptureTime{time.wall, time.subSecondTicks};
    case CaptureTime::Kind::Instant: {
      const std::optional<platform::LocalDateTime> local = toLocal(time.utc);
      if (!local) return std::nullopt;
      return ShownCaptureTime{*local,
                              static_cast<std::uint32_t>(time.utc % platform::kTicksPerSecond)};
    }
    case CaptureTime::Kind::None:
      break;
  }
  return std::nullopt;
}

namespace {}  // namespace

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
  const auto key = [](const ShownCaptureTime& s) {
    const platform::LocalDateTime& t = s.local;
    return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second, s.subSecondTicks);
  };
  const int order = key(*a) < key(*b) ? -1 : key(*b) < key(*a) ? 1 : 0;
  return descending ? -order : order;
}

}  // namespace capturetime
