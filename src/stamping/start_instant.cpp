#include "stamping/start_instant.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "stamping/date_time.h"

namespace stamping {

namespace {

using platform::FileTime;
using platform::LocalDateTime;

constexpr std::int64_t kTicks = static_cast<std::int64_t>(platform::kTicksPerSecond);
constexpr std::int64_t kDay = 86'400;

// Instants as whole seconds since 1601 (a file time in seconds) and wall
// times as seconds on the same scale, so that their difference is the zone's
// offset from UTC at that instant.
std::int64_t wallSeconds(const LocalDateTime& t) {
  return (daysFromCivil(t.year, t.month, t.day) - daysFromCivil(1601, 1, 1)) * kDay +
         t.hour * 3'600 + t.minute * 60 + t.second;
}

class Zone {
 public:
  Zone(const LocalToFileTime& toUtc, const FileTimeToLocal& toLocal)
      : toUtc_(toUtc), toLocal_(toLocal) {}

  // The wall time an instant shows, in seconds; nullopt outside the range.
  std::optional<std::int64_t> wallAt(std::int64_t instant) const {
    if (instant < 0) return std::nullopt;
    const auto local = toLocal_(static_cast<FileTime>(instant * kTicks));
    if (!local) return std::nullopt;
    return wallSeconds(*local);
  }

  std::optional<std::int64_t> instantOf(const LocalDateTime& local) const {
    const auto utc = toUtc_(local);
    if (!utc) return std::nullopt;
    return static_cast<std::int64_t>(*utc / platform::kTicksPerSecond);
  }

 private:
  const LocalToFileTime& toUtc_;
  const FileTimeToLocal& toLocal_;
};

}  // namespace

std::optional<FileTime> startInstant(const LocalDateTime& local, const LocalToFileTime& toUtc,
                                     const FileTimeToLocal& toLocal) {
  const Zone zone(toUtc, toLocal);
  const auto converted = zone.instantOf(local);
  if (!converted) return std::nullopt;
  const std::int64_t wall = wallSeconds(local);

  // The offsets in force around the converted instant: a change of the
  // clock lies at most a few hours from the time typed, and two changes are
  // never within a day of each other.
  std::vector<std::int64_t> offsets;
  for (const std::int64_t probe : {*converted, *converted - kDay, *converted + kDay}) {
    if (const auto shown = zone.wallAt(probe)) offsets.push_back(*shown - probe);
  }
  if (offsets.empty()) return std::nullopt;
  std::sort(offsets.begin(), offsets.end());
  offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());

  // Each offset gives a candidate; those that show the typed time are its
  // instants, the earliest of which is taken.
  std::optional<std::int64_t> earliest;
  for (const std::int64_t offset : offsets) {
    const std::int64_t candidate = wall - offset;
    if (zone.wallAt(candidate) == wall && (!earliest || candidate < *earliest)) {
      earliest = candidate;
    }
  }
  if (earliest) return static_cast<FileTime>(*earliest * kTicks);

  // No instant shows it: the clock skipped it. The instants between the two
  // candidates show times rising across the gap; the first whose time is at
  // or past the typed one is the first instant after the gap.
  std::int64_t low = wall - offsets.back();    // shows a time before the gap
  std::int64_t high = wall - offsets.front();  // shows a time after it
  const auto highWall = zone.wallAt(high);
  if (!highWall || *highWall < wall) return std::nullopt;
  while (high - low > 1) {
    const std::int64_t middle = low + (high - low) / 2;
    const auto shown = zone.wallAt(middle);
    if (!shown) return std::nullopt;
    (*shown >= wall ? high : low) = middle;
  }
  return static_cast<FileTime>(high * kTicks);
}

}  // namespace stamping
