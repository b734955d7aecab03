// The instant a typed start time stands for, over zones of the test's own
// (rules written out by hand, checked with the system's zone data) whose
// local-to-UTC conversion resolves skipped and doubled times either way, as
// real systems differ in doing: the answer must not depend on that choice.
#include "stamping/start_instant.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/stamp_oracle.h"

namespace {

using platform::FileTime;
using platform::LocalDateTime;

// A zone around one year: the shifted offset holds from `from` (inclusive)
// to `until` (exclusive), the base offset outside; seconds since 1970 UTC.
struct HandZone {
  std::int64_t base;
  std::int64_t shifted;
  std::int64_t from;
  std::int64_t until;
  std::int64_t offsetAt(std::int64_t unix) const {
    return unix >= from && unix < until ? shifted : base;
  }
  LocalDateTime toLocal(std::int64_t unix) const {
    return oracle::fromSys(std::chrono::sys_seconds{std::chrono::seconds{unix + offsetAt(unix)}});
  }
};

// Berlin 2009: 02:00 CET -> 03:00 CEST on 29 March, 03:00 CEST -> 02:00 CET
// on 25 October, both at 01:00 UTC.
constexpr HandZone kBerlin{3600, 7200, 1'238'288'400, 1'256'432'400};
// Troll 2009: the clock goes two hours, 01:00 +00 -> 03:00 +02 and
// 03:00 +02 -> 01:00 +00, at the same instants.
constexpr HandZone kTroll{0, 7200, 1'238'288'400, 1'256'432'400};
// Apia: 2011-12-29 23:59:59 -10 is followed by 2011-12-31 00:00:00 +14
// (2011-12-30 10:00 UTC); 30 December never shows.
constexpr HandZone kApia{-36000, 50400, 1'325'239'200, std::numeric_limits<std::int64_t>::max()};

std::int64_t unixOf(FileTime t) {
  return (static_cast<std::int64_t>(t) - static_cast<std::int64_t>(platform::kUnixEpochTicks)) /
         static_cast<std::int64_t>(platform::kTicksPerSecond);
}

enum class Pick { Earlier, Later };

// Local to UTC: of the instants that show the time, the earlier or the later;
// for a time no instant shows, the reading by one offset or the other.
stamping::LocalToFileTime converter(const HandZone& zone, Pick pick) {
  return [zone, pick](const LocalDateTime& local) -> std::optional<FileTime> {
    const std::int64_t wall = oracle::toSys(local).time_since_epoch().count();
    const std::int64_t large = std::max(zone.base, zone.shifted);
    const std::int64_t small = std::min(zone.base, zone.shifted);
    std::optional<std::int64_t> earlier, later;
    for (const std::int64_t offset : {large, small}) {  // earlier instant first
      const std::int64_t candidate = wall - offset;
      if (zone.toLocal(candidate) == local) (earlier ? later : earlier) = candidate;
    }
    if (!later) later = earlier;
    if (!earlier) {  // skipped: read by one offset or the other
      earlier = wall - small;
      later = wall - large;
    }
    const std::int64_t chosen = pick == Pick::Earlier ? *earlier : *later;
    return oracle::utcFileTime(
        oracle::fromSys(std::chrono::sys_seconds{std::chrono::seconds{chosen}}));
  };
}

stamping::FileTimeToLocal toLocal(const HandZone& zone) {
  return [zone](FileTime t) -> std::optional<LocalDateTime> { return zone.toLocal(unixOf(t)); };
}

struct StartCase {
  const char* what;
  const HandZone* zone;
  LocalDateTime typed;
  LocalDateTime expectedUtc;  // by hand
};

const StartCase kStarts[] = {
    {"winter", &kBerlin, {2009, 1, 15, 12, 0, 0}, {2009, 1, 15, 11, 0, 0}},
    {"the last minute before the gap", &kBerlin, {2009, 3, 29, 1, 59, 0}, {2009, 3, 29, 0, 59, 0}},
    {"the first second of the gap", &kBerlin, {2009, 3, 29, 2, 0, 0}, {2009, 3, 29, 1, 0, 0}},
    {"inside the gap", &kBerlin, {2009, 3, 29, 2, 30, 0}, {2009, 3, 29, 1, 0, 0}},
    {"the last second of the gap", &kBerlin, {2009, 3, 29, 2, 59, 59}, {2009, 3, 29, 1, 0, 0}},
    {"the first time after the gap", &kBerlin, {2009, 3, 29, 3, 0, 0}, {2009, 3, 29, 1, 0, 0}},
    {"before the doubled hour", &kBerlin, {2009, 10, 25, 1, 59, 59}, {2009, 10, 24, 23, 59, 59}},
    {"the doubled hour's start", &kBerlin, {2009, 10, 25, 2, 0, 0}, {2009, 10, 25, 0, 0, 0}},
    {"inside the doubled hour", &kBerlin, {2009, 10, 25, 2, 30, 0}, {2009, 10, 25, 0, 30, 0}},
    {"after the doubled hour", &kBerlin, {2009, 10, 25, 3, 0, 0}, {2009, 10, 25, 2, 0, 0}},
    {"Troll: the last second before the two-hour gap",
     &kTroll,
     {2009, 3, 29, 0, 59, 59},
     {2009, 3, 29, 0, 59, 59}},
    {"Troll: inside the two-hour gap", &kTroll, {2009, 3, 29, 2, 30, 0}, {2009, 3, 29, 1, 0, 0}},
    {"Troll: the first time after the gap",
     &kTroll,
     {2009, 3, 29, 3, 0, 0},
     {2009, 3, 29, 1, 0, 0}},
    {"Troll: early in the doubled two hours",
     &kTroll,
     {2009, 10, 25, 1, 15, 0},
     {2009, 10, 24, 23, 15, 0}},
    {"Troll: late in the doubled two hours",
     &kTroll,
     {2009, 10, 25, 2, 45, 0},
     {2009, 10, 25, 0, 45, 0}},
    {"Apia: the last second before the skipped day",
     &kApia,
     {2011, 12, 29, 23, 59, 59},
     {2011, 12, 30, 9, 59, 59}},
    {"Apia: the start of the skipped day",
     &kApia,
     {2011, 12, 30, 0, 0, 0},
     {2011, 12, 30, 10, 0, 0}},
    {"Apia: noon of the skipped day", &kApia, {2011, 12, 30, 12, 0, 0}, {2011, 12, 30, 10, 0, 0}},
    {"Apia: the last second of the skipped day",
     &kApia,
     {2011, 12, 30, 23, 59, 59},
     {2011, 12, 30, 10, 0, 0}},
    {"Apia: the first time after it", &kApia, {2011, 12, 31, 0, 0, 0}, {2011, 12, 30, 10, 0, 0}},
};

TEST(StartInstant, TheSameInstantHoweverTheConversionResolvesAChange) {
  for (const Pick pick : {Pick::Earlier, Pick::Later}) {
    for (const StartCase& c : kStarts) {
      EXPECT_EQ(stamping::startInstant(c.typed, converter(*c.zone, pick), toLocal(*c.zone)),
                oracle::utcFileTime(c.expectedUtc))
          << c.what << (pick == Pick::Earlier ? " (earlier)" : " (later)");
    }
  }
}

TEST(StartInstant, NothingWhenTheTimeCannotBeConverted) {
  const stamping::LocalToFileTime refuses = [](const LocalDateTime&) -> std::optional<FileTime> {
    return std::nullopt;
  };
  EXPECT_EQ(stamping::startInstant({2009, 3, 5, 12, 30, 0}, refuses, toLocal(kBerlin)),
            std::nullopt);
  const stamping::FileTimeToLocal neverBack = [](FileTime) -> std::optional<LocalDateTime> {
    return std::nullopt;
  };
  EXPECT_EQ(
      stamping::startInstant({2009, 3, 5, 12, 30, 0}, converter(kBerlin, Pick::Earlier), neverBack),
      std::nullopt);
}

}  // namespace
