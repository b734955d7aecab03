// The instant a typed start time stands for, over a zone of the test's own
// (Berlin's 2009 rules, written out by hand) whose local-to-UTC conversion
// resolves skipped and doubled times either way, as real systems differ in
// doing: the answer must not depend on that choice.
#include "stamping/start_instant.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>

#include "core/stamp_oracle.h"

namespace {

using platform::FileTime;
using platform::LocalDateTime;

constexpr std::int64_t kSpring = 1'238'288'400;  // 2009-03-29 01:00:00 UTC: 02:00 CET -> 03:00 CEST
constexpr std::int64_t kAutumn = 1'256'432'400;  // 2009-10-25 01:00:00 UTC: 03:00 CEST -> 02:00 CET

std::int64_t offsetAt(std::int64_t unix) {
  return (unix >= kSpring && unix < kAutumn) ? 7200 : 3600;
}

std::int64_t unixOf(FileTime t) {
  return (static_cast<std::int64_t>(t) - static_cast<std::int64_t>(platform::kUnixEpochTicks)) /
         static_cast<std::int64_t>(platform::kTicksPerSecond);
}

LocalDateTime toLocal(std::int64_t unix) {
  return oracle::fromSys(std::chrono::sys_seconds{std::chrono::seconds{unix + offsetAt(unix)}});
}

enum class Pick { Earlier, Later };

// Local to UTC: of the instants that show the time, the earlier or the later;
// for a time no instant shows, the reading by the earlier or later offset.
stamping::LocalToFileTime converter(Pick pick) {
  return [pick](const LocalDateTime& local) -> std::optional<FileTime> {
    const std::int64_t wall = oracle::toSys(local).time_since_epoch().count();
    std::optional<std::int64_t> earlier, later;
    for (const std::int64_t offset : {7200, 3600}) {  // earlier instant first
      const std::int64_t candidate = wall - offset;
      if (toLocal(candidate) == local) (earlier ? later : earlier) = candidate;
    }
    if (!later) later = earlier;
    if (!earlier) {  // skipped: read by one offset or the other
      earlier = wall - 3600;
      later = wall - 7200;
    }
    const std::int64_t chosen = pick == Pick::Earlier ? *earlier : *later;
    return oracle::utcFileTime(
        oracle::fromSys(std::chrono::sys_seconds{std::chrono::seconds{chosen}}));
  };
}

const stamping::FileTimeToLocal kToLocal = [](FileTime t) -> std::optional<LocalDateTime> {
  return toLocal(unixOf(t));
};

struct StartCase {
  const char* what;
  LocalDateTime typed;
  LocalDateTime expectedUtc;  // by hand
};

const StartCase kStarts[] = {
    {"winter", {2009, 1, 15, 12, 0, 0}, {2009, 1, 15, 11, 0, 0}},
    {"the last minute before the gap", {2009, 3, 29, 1, 59, 0}, {2009, 3, 29, 0, 59, 0}},
    {"the first second of the gap", {2009, 3, 29, 2, 0, 0}, {2009, 3, 29, 1, 0, 0}},
    {"inside the gap", {2009, 3, 29, 2, 30, 0}, {2009, 3, 29, 1, 0, 0}},
    {"the last second of the gap", {2009, 3, 29, 2, 59, 59}, {2009, 3, 29, 1, 0, 0}},
    {"the first time after the gap", {2009, 3, 29, 3, 0, 0}, {2009, 3, 29, 1, 0, 0}},
    {"before the doubled hour", {2009, 10, 25, 1, 59, 59}, {2009, 10, 24, 23, 59, 59}},
    {"the doubled hour's start", {2009, 10, 25, 2, 0, 0}, {2009, 10, 25, 0, 0, 0}},
    {"inside the doubled hour", {2009, 10, 25, 2, 30, 0}, {2009, 10, 25, 0, 30, 0}},
    {"after the doubled hour", {2009, 10, 25, 3, 0, 0}, {2009, 10, 25, 2, 0, 0}},
};

TEST(StartInstant, TheSameInstantHoweverTheConversionResolvesAChange) {
  for (const Pick pick : {Pick::Earlier, Pick::Later}) {
    for (const StartCase& c : kStarts) {
      EXPECT_EQ(stamping::startInstant(c.typed, converter(pick), kToLocal),
                oracle::utcFileTime(c.expectedUtc))
          << c.what << (pick == Pick::Earlier ? " (earlier)" : " (later)");
    }
  }
}

TEST(StartInstant, NothingWhenTheTimeCannotBeConverted) {
  const stamping::LocalToFileTime refuses = [](const LocalDateTime&) -> std::optional<FileTime> {
    return std::nullopt;
  };
  EXPECT_EQ(stamping::startInstant({2009, 3, 5, 12, 30, 0}, refuses, kToLocal), std::nullopt);
  const stamping::FileTimeToLocal neverBack = [](FileTime) -> std::optional<LocalDateTime> {
    return std::nullopt;
  };
  EXPECT_EQ(stamping::startInstant({2009, 3, 5, 12, 30, 0}, converter(Pick::Earlier), neverBack),
            std::nullopt);
}

}  // namespace
