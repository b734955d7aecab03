#include "folderlist/local_time_cache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/stamp_oracle.h"

namespace {

using platform::FileTime;
using platform::LocalDateTime;
namespace chr = std::chrono;

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 86'400;

// Seconds since 1970 UTC of a calendar date and time, by the standard
// library's calendar.
std::int64_t unixOf(int y, unsigned m, unsigned d, int hour = 0, int minute = 0, int second = 0) {
  const chr::sys_days day{chr::year{y} / chr::month{m} / chr::day{d}};
  return day.time_since_epoch().count() * kDay + hour * kHour + minute * 60 + second;
}

FileTime fileTimeOf(std::int64_t unixSeconds) {
  return static_cast<FileTime>(unixSeconds + 11'644'473'600LL) * platform::kTicksPerSecond;
}

LocalDateTime civilOf(std::int64_t unixSeconds) {
  return oracle::fromSys(chr::sys_seconds{chr::seconds{unixSeconds}});
}

// A made-up zone: an offset from UTC that changes at the given instants, and
// optionally a stretch of time its rules cannot convert.
struct FakeZone {
  std::string name;
  std::int64_t firstOffset = 0;
  std::vector<std::pair<std::int64_t, std::int64_t>> changes;  // from (Unix seconds), offset
  std::int64_t failFrom = 0, failTo = 0;                       // [from, to) fails
};

const FakeZone* activeZone = nullptr;
int conversions = 0;

std::optional<LocalDateTime> fakeRules(FileTime utc) {
  ++conversions;
  const std::int64_t unix =
      static_cast<std::int64_t>(utc / platform::kTicksPerSecond) - 11'644'473'600LL;
  if (unix >= activeZone->failFrom && unix < activeZone->failTo) return std::nullopt;
  std::int64_t offset = activeZone->firstOffset;
  for (const auto& [from, to] : activeZone->changes) {
    if (unix >= from) offset = to;
  }
  return civilOf(unix + offset);
}

void PrintTo(const LocalDateTime& t, std::ostream* os) {
  *os << t.year << '/' << t.month << '/' << t.day << ' ' << t.hour << ':' << t.minute << ':'
      << t.second;
}

struct ZoneCase {
  FakeZone zone;
  std::vector<std::int64_t> around;  // instants to sweep two days either side of
};

class LocalTimeCacheTest : public ::testing::TestWithParam<ZoneCase> {};

// Every instant of a sweep across each change, every 7 min 13 s, and a
// spread over four centuries converts as the rules themselves convert it.
TEST_P(LocalTimeCacheTest, GivesWhatTheZoneRulesGive) {
  activeZone = &GetParam().zone;
  folderlist::LocalTimeCache cache(fakeRules);
  std::vector<std::int64_t> instants;
  for (const std::int64_t at : GetParam().around) {
    for (std::int64_t t = at - 2 * kDay; t <= at + 2 * kDay; t += 433) instants.push_back(t);
    for (std::int64_t d = -1; d <= 1; ++d) instants.push_back(at + d);
  }
  for (std::int64_t t = unixOf(1601, 1, 1); t < unixOf(2200, 1, 1); t += 86'399 * 97) {
    instants.push_back(t);
  }
  instants.push_back(unixOf(1601, 1, 1));
  instants.push_back(unixOf(2000, 2, 29, 23, 59, 59));
  instants.push_back(unixOf(2100, 3, 1, 0, 0, 1));
  for (const std::int64_t t : instants) {
    SCOPED_TRACE(t);
    EXPECT_EQ(cache.toLocal(fileTimeOf(t)), fakeRules(fileTimeOf(t)));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Zones, LocalTimeCacheTest,
    ::testing::Values(
        // Central Europe in 2009: summer time from 01:00 UTC on 29 March to
        // 01:00 UTC on 25 October.
        ZoneCase{{"Europe",
                  kHour,
                  {{unixOf(2009, 3, 29, 1), 2 * kHour}, {unixOf(2009, 10, 25, 1), kHour}}},
                 {unixOf(2009, 3, 29, 1), unixOf(2009, 10, 25, 1)}},
        // Half an hour forward, at 15:30 UTC (02:00 local).
        ZoneCase{{"HalfHour", 10 * kHour + 1800, {{unixOf(2009, 10, 3, 15, 30), 11 * kHour}}},
                 {unixOf(2009, 10, 3, 15, 30)}},
        // A change exactly at a UTC midnight, west of Greenwich.
        ZoneCase{{"AtMidnight", -(3 * kHour + 1800), {{unixOf(2010, 1, 1), -(2 * kHour + 1800)}}},
                 {unixOf(2010, 1, 1)}},
        // No change at all, an offset of minutes, and a day the rules fail.
        ZoneCase{{"NoChange", 5 * kHour + 45 * 60, {}, unixOf(2012, 6, 1), unixOf(2012, 6, 2)},
                 {unixOf(2012, 6, 1), unixOf(2012, 6, 2)}},
        // West of Greenwich on the first day of file times: the local date
        // is in 1600.
        ZoneCase{{"West", -8 * kHour, {}}, {unixOf(1601, 1, 3)}}),
    [](const auto& info) { return info.param.zone.name; });

// Hand-written wall times either side of the European changes of 2009.
TEST(LocalTimeCacheTable, WallTimesAcrossAClockChange) {
  const FakeZone europe{
      "Europe", kHour, {{unixOf(2009, 3, 29, 1), 2 * kHour}, {unixOf(2009, 10, 25, 1), kHour}}};
  activeZone = &europe;
  folderlist::LocalTimeCache cache(fakeRules);
  struct Row {
    std::int64_t utc;
    LocalDateTime local;
  };
  const Row rows[] = {
      {unixOf(2009, 3, 29, 0, 59, 59), {2009, 3, 29, 1, 59, 59}},
      {unixOf(2009, 3, 29, 1, 0, 0), {2009, 3, 29, 3, 0, 0}},
      {unixOf(2009, 3, 28, 23, 0, 0), {2009, 3, 29, 0, 0, 0}},
      {unixOf(2009, 10, 25, 0, 59, 58), {2009, 10, 25, 2, 59, 58}},
      {unixOf(2009, 10, 25, 1, 0, 0), {2009, 10, 25, 2, 0, 0}},
      {unixOf(2009, 12, 31, 23, 30, 0), {2010, 1, 1, 0, 30, 0}},
      {unixOf(2008, 2, 28, 23, 0, 0), {2008, 2, 29, 0, 0, 0}},
  };
  for (const Row& row : rows) EXPECT_EQ(cache.toLocal(fileTimeOf(row.utc)), row.local) << row.utc;
}

// A folder whose times fall on a few days asks the zone rules about those
// days, not about every entry.
TEST(LocalTimeCacheTable, AsksTheRulesOncePerDayNotPerEntry) {
  const FakeZone tokyo{"Tokyo", 9 * kHour, {}};
  activeZone = &tokyo;
  folderlist::LocalTimeCache cache(fakeRules);
  conversions = 0;
  for (int i = 0; i < 3000; ++i) cache.toLocal(fileTimeOf(unixOf(2009, 3, 5) + i * 60));
  EXPECT_LE(conversions, 4);  // three days touched, four day starts
  EXPECT_EQ(cache.toLocal(fileTimeOf(unixOf(2009, 3, 5, 14, 59, 59))),
            (LocalDateTime{2009, 3, 5, 23, 59, 59}));
  EXPECT_EQ(cache.toLocal(fileTimeOf(unixOf(2009, 3, 5, 15))),
            (LocalDateTime{2009, 3, 6, 0, 0, 0}));
}

// A folder listed in no order of time, its entries over twenty years, asks
// about each day once: at most the 7,306 day starts of those years.
TEST(LocalTimeCacheTable, AsksOncePerDayInWhateverOrderTheEntriesCome) {
  const FakeZone tokyo{"Tokyo", 9 * kHour, {}};
  activeZone = &tokyo;
  folderlist::LocalTimeCache cache(fakeRules);
  conversions = 0;
  constexpr std::int64_t kCount = 100'000;
  const std::int64_t base = unixOf(2000, 1, 1);
  for (std::int64_t i = 0; i < kCount; ++i) {
    const std::int64_t shuffled = i * 7919 % kCount;  // 7919 is prime to 100,000
    cache.toLocal(fileTimeOf(base + shuffled * 6311));
  }
  EXPECT_LE(conversions, 7306);
}

}  // namespace
