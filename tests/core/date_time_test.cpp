#include "stamping/date_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "core/stamp_oracle.h"

namespace {

using platform::LocalDateTime;
namespace chr = std::chrono;

// The standard library's calendar as the reference.
using oracle::fromSys;
using oracle::toSys;

TEST(DateTime, LeapYearsMatchTheGregorianRule) {
  for (int y = 1600; y <= 2500; ++y) {
    EXPECT_EQ(stamping::isLeapYear(y), chr::year{y}.is_leap()) << y;
  }
}

TEST(DateTime, DaysInMonth) {
  for (int y = 1896; y <= 2104; ++y) {
    for (int m = 1; m <= 12; ++m) {
      const auto last =
          chr::year_month_day_last{chr::year{y} / chr::month{static_cast<unsigned>(m)} / chr::last};
      EXPECT_EQ(stamping::daysInMonth(y, m), static_cast<int>(static_cast<unsigned>(last.day())))
          << y << "-" << m;
    }
  }
  EXPECT_EQ(stamping::daysInMonth(2009, 0), 0);
  EXPECT_EQ(stamping::daysInMonth(2009, 13), 0);
}

TEST(DateTime, DaysFromCivilCountsFrom1970) {
  for (int y = 1601; y <= 2401; y += 7) {
    for (int m = 1; m <= 12; ++m) {
      for (int d : {1, 15, stamping::daysInMonth(y, m)}) {
        const chr::sys_days day{chr::year{y} / chr::month{static_cast<unsigned>(m)} /
                                chr::day{static_cast<unsigned>(d)}};
        EXPECT_EQ(stamping::daysFromCivil(y, m, d), day.time_since_epoch().count())
            << y << "-" << m << "-" << d;
      }
    }
  }
}

TEST(DateTime, AddSecondsCrossesMidnightMonthAndYearEnds) {
  struct Case {
    LocalDateTime start;
    std::int64_t seconds;
    LocalDateTime expected;
  };
  const Case cases[] = {
      {{2009, 12, 31, 23, 59, 58}, 2, {2010, 1, 1, 0, 0, 0}},
      {{2009, 12, 31, 23, 59, 0}, 60, {2010, 1, 1, 0, 0, 0}},
      {{2000, 2, 28, 23, 59, 59}, 1, {2000, 2, 29, 0, 0, 0}},
      {{1900, 2, 28, 23, 59, 59}, 1, {1900, 3, 1, 0, 0, 0}},
      {{2009, 3, 5, 12, 30, 0}, 2 * 60, {2009, 3, 5, 12, 32, 0}},
      {{2010, 1, 1, 0, 0, 0}, -2, {2009, 12, 31, 23, 59, 58}},
      {{2009, 4, 30, 23, 0, 0}, 3600, {2009, 5, 1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(stamping::addSeconds(c.start, c.seconds), c.expected) << c.seconds;
  }
}

TEST(DateTime, AddSecondsAgreesWithTheStandardCalendar) {
  // Starts spread over four centuries, offsets from one second to centuries.
  const std::int64_t offsets[] = {
      0,      1,         2,          59,         60,         3599,        86'399,
      86'400, 2 * 2'999, 60 * 2'999, 60 * 9'999, 31'622'400, 126'230'400, 3'155'760'000LL,
      -1,     -86'401,   -31'536'000};
  for (int y = 1900; y <= 2300; y += 13) {
    for (int m = 1; m <= 12; m += 5) {
      const LocalDateTime start{y, m, stamping::daysInMonth(y, m), 23, 59, 58};
      for (std::int64_t s : offsets) {
        EXPECT_EQ(stamping::addSeconds(start, s), fromSys(toSys(start) + chr::seconds{s}))
            << y << "-" << m << " + " << s;
      }
    }
  }
}

}  // namespace
