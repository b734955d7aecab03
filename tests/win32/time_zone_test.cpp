// Local time on Windows: conversions by the rules of the date converted,
// the present local time and the user's separators.
#include "platform/time_zone.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/utf.h"

namespace {

using platform::FileTime;
using platform::LocalDateTime;

std::int64_t toUnixSeconds(FileTime t) {
  return (static_cast<std::int64_t>(t) - static_cast<std::int64_t>(platform::kUnixEpochTicks)) /
         static_cast<std::int64_t>(platform::kTicksPerSecond);
}

// Seconds of a local time counted as if it were UTC.
std::int64_t wallSeconds(const LocalDateTime& t) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  return toUnixSeconds((static_cast<FileTime>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

TEST(Win32TimeZone, RoundTripsEveryMonth) {
  for (int year : {1980, 2009, 2024, 2038, 2100}) {
    for (int month = 1; month <= 12; ++month) {
      const LocalDateTime t{year, month, 15, 12, 34, 56};
      const auto utc = platform::localToUtc(t);
      ASSERT_TRUE(utc.has_value());
      EXPECT_EQ(*utc % platform::kTicksPerSecond, 0u);
      EXPECT_EQ(platform::utcToLocal(*utc), t) << year << "-" << month;
    }
  }
}

// Each date gets the offset its own season has, whatever today's season is:
// January and July differ by the daylight bias exactly when the zone keeps
// daylight saving time.
TEST(Win32TimeZone, OffsetIsThatOfTheDate) {
  TIME_ZONE_INFORMATION zone;
  ASSERT_NE(GetTimeZoneInformation(&zone), TIME_ZONE_ID_INVALID);
  const std::int64_t standard = -(zone.Bias + zone.StandardBias) * 60;
  const std::int64_t daylight = -(zone.Bias + zone.DaylightBias) * 60;
  const bool hasDaylight = zone.DaylightDate.wMonth != 0 && zone.DaylightBias != 0;

  const LocalDateTime january{2009, 1, 15, 12, 0, 0};
  const LocalDateTime july{2009, 7, 15, 12, 0, 0};
  const std::int64_t januaryOffset =
      wallSeconds(january) - toUnixSeconds(*platform::localToUtc(january));
  const std::int64_t julyOffset = wallSeconds(july) - toUnixSeconds(*platform::localToUtc(july));
  EXPECT_TRUE(januaryOffset == standard || januaryOffset == daylight) << januaryOffset;
  EXPECT_TRUE(julyOffset == standard || julyOffset == daylight) << julyOffset;
  if (hasDaylight) {
    EXPECT_NE(januaryOffset, julyOffset);
  } else {
    EXPECT_EQ(januaryOffset, standard);
    EXPECT_EQ(julyOffset, standard);
  }
}

// Known pairs of local time and UTC in the zone the process runs in, written
// by hand from the tz database and checked against Python's zoneinfo
// (CHRONOSEQ_TZ names the zone, Asia/Tokyo when unset, as the Wine scripts
// hand it on). Each pair holds both ways. Years on both sides of a change of
// a zone's rules take the rules of their own year: the US in 2007, New South
// Wales in 2008.
struct KnownPair {
  LocalDateTime local;
  LocalDateTime utc;
  // Lord Howe's daylight time is half an hour ahead of its standard time;
  // Wine 8 gives every zone a whole hour, so such a pair holds only where
  // the system's rules say half an hour.
  bool halfHourDaylight = false;
};

struct KnownZone {
  const char* zone;
  std::vector<KnownPair> pairs;
};

const std::vector<KnownZone>& knownZones() {
  static const std::vector<KnownZone> zones = {
      {"Asia/Tokyo",
       {{{2009, 1, 15, 12, 0, 0}, {2009, 1, 15, 3, 0, 0}},
        {{2009, 7, 15, 12, 0, 0}, {2009, 7, 15, 3, 0, 0}},
        {{2009, 3, 29, 2, 30, 0}, {2009, 3, 28, 17, 30, 0}},
        {{2006, 10, 30, 12, 0, 0}, {2006, 10, 30, 3, 0, 0}}}},
      {"Europe/Berlin",
       {{{2009, 1, 15, 12, 0, 0}, {2009, 1, 15, 11, 0, 0}},
        {{2009, 7, 15, 12, 0, 0}, {2009, 7, 15, 10, 0, 0}},
        {{2009, 3, 29, 1, 59, 59}, {2009, 3, 29, 0, 59, 59}},  // the last second of winter time
        {{2009, 3, 29, 3, 0, 0}, {2009, 3, 29, 1, 0, 0}},      // the first of summer time
        {{2009, 10, 25, 3, 0, 0}, {2009, 10, 25, 2, 0, 0}},
        {{2024, 3, 31, 3, 0, 0}, {2024, 3, 31, 1, 0, 0}},
        {{1996, 10, 20, 12, 0, 0}, {1996, 10, 20, 10, 0, 0}}}},
      {"America/New_York",
       {{{2009, 1, 15, 12, 0, 0}, {2009, 1, 15, 17, 0, 0}},
        {{2009, 7, 15, 12, 0, 0}, {2009, 7, 15, 16, 0, 0}},
        {{2009, 3, 8, 1, 59, 59}, {2009, 3, 8, 6, 59, 59}},
        {{2009, 3, 8, 3, 0, 0}, {2009, 3, 8, 7, 0, 0}},
        {{2009, 11, 1, 2, 0, 0}, {2009, 11, 1, 7, 0, 0}},
        // 2006, the old rules: April's first Sunday to October's last.
        {{2006, 3, 20, 12, 0, 0}, {2006, 3, 20, 17, 0, 0}},
        {{2006, 4, 2, 1, 59, 59}, {2006, 4, 2, 6, 59, 59}},
        {{2006, 4, 2, 3, 0, 0}, {2006, 4, 2, 7, 0, 0}},
        {{2006, 7, 15, 12, 0, 0}, {2006, 7, 15, 16, 0, 0}},
        {{2006, 10, 30, 12, 0, 0}, {2006, 10, 30, 17, 0, 0}},
        // 2008, the new ones: March's second Sunday to November's first.
        {{2008, 3, 9, 3, 0, 0}, {2008, 3, 9, 7, 0, 0}},
        {{2008, 3, 20, 12, 0, 0}, {2008, 3, 20, 16, 0, 0}},
        {{2008, 10, 30, 12, 0, 0}, {2008, 10, 30, 16, 0, 0}},
        {{2008, 11, 2, 2, 0, 0}, {2008, 11, 2, 7, 0, 0}}}},
      {"Australia/Sydney",
       {{{2009, 1, 15, 12, 0, 0}, {2009, 1, 15, 1, 0, 0}},
        {{2009, 7, 15, 12, 0, 0}, {2009, 7, 15, 2, 0, 0}},
        {{2009, 10, 4, 1, 59, 59}, {2009, 10, 3, 15, 59, 59}},
        {{2009, 10, 4, 3, 0, 0}, {2009, 10, 3, 16, 0, 0}},
        {{2007, 3, 30, 12, 0, 0}, {2007, 3, 30, 2, 0, 0}},  // ended in March then
        {{2008, 3, 30, 12, 0, 0}, {2008, 3, 30, 1, 0, 0}},  // in April since
        {{2008, 4, 10, 12, 0, 0}, {2008, 4, 10, 2, 0, 0}}}},
      {"Australia/Lord_Howe",
       {{{2009, 7, 15, 12, 0, 0}, {2009, 7, 15, 1, 30, 0}},
        {{2009, 10, 4, 1, 59, 59}, {2009, 10, 3, 15, 29, 59}},
        {{2009, 1, 15, 12, 0, 0}, {2009, 1, 15, 1, 0, 0}, true},
        {{2009, 10, 4, 2, 30, 0}, {2009, 10, 3, 15, 30, 0}, true}}},
  };
  return zones;
}

TEST(Win32TimeZone, KnownInstantsOfTheZone) {
  wchar_t given[64] = {};
  const std::string zone = GetEnvironmentVariableW(L"CHRONOSEQ_TZ", given, 64) > 0
                               ? platform::narrow(given)
                               : std::string("Asia/Tokyo");
  const auto known = std::find_if(knownZones().begin(), knownZones().end(),
                                  [&](const KnownZone& z) { return zone == z.zone; });
  if (known == knownZones().end()) GTEST_SKIP() << "no table for " << zone;
  TIME_ZONE_INFORMATION rules;
  ASSERT_NE(GetTimeZoneInformation(&rules), TIME_ZONE_ID_INVALID);
  for (const KnownPair& pair : known->pairs) {
    if (pair.halfHourDaylight && rules.DaylightBias != -30) {
      std::printf("not checked here (a daylight bias of %ld minutes, not -30): %d-%d-%d %d:%02d\n",
                  rules.DaylightBias, pair.local.year, pair.local.month, pair.local.day,
                  pair.local.hour, pair.local.minute);
      continue;
    }
    const FileTime utc = static_cast<FileTime>(
        wallSeconds(pair.utc) * static_cast<std::int64_t>(platform::kTicksPerSecond) +
        static_cast<std::int64_t>(platform::kUnixEpochTicks));
    EXPECT_EQ(platform::localToUtc(pair.local), utc)
        << zone << " " << pair.local.year << "-" << pair.local.month << "-" << pair.local.day << " "
        << pair.local.hour << ":" << pair.local.minute << ":" << pair.local.second;
    EXPECT_EQ(platform::utcToLocal(utc), pair.local)
        << zone << " UTC " << pair.utc.year << "-" << pair.utc.month << "-" << pair.utc.day << " "
        << pair.utc.hour << ":" << pair.utc.minute;
  }
}

TEST(Win32TimeZone, RefusesWhatAFileTimeCannotHold) {
  EXPECT_FALSE(platform::localToUtc({1600, 12, 31, 0, 0, 0}).has_value());
  EXPECT_FALSE(platform::localToUtc({30828, 1, 1, 0, 0, 0}).has_value());
  EXPECT_FALSE(platform::localToUtc({2009, 13, 1, 0, 0, 0}).has_value());
  EXPECT_FALSE(platform::utcToLocal(0xFFFF'FFFF'FFFF'FFFFULL).has_value());
}

TEST(Win32TimeZone, LocalNowIsThePresent) {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  const FileTime utc = (static_cast<FileTime>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  const LocalDateTime now = platform::localNow();
  const auto expected = platform::utcToLocal(utc);
  ASSERT_TRUE(expected.has_value());
  EXPECT_LE(std::abs(wallSeconds(now) - wallSeconds(*expected)), 2);
}

TEST(Win32TimeZone, JapaneseSeparators) {
  if (PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) != LANG_JAPANESE) {
    GTEST_SKIP() << "the user locale is not Japanese";
  }
  const platform::DateTimeSeparators s = platform::userDateTimeSeparators();
  EXPECT_EQ(s.date, "/");
  EXPECT_EQ(s.time, ":");
}

}  // namespace
