// The capture time as a value: the texts of EXIF and QuickTime read into it,
// its text in the column, and the column's order.

#include "capturetime/capture_time.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capturetime/exif.h"
#include "capturetime/iso_formats.h"
#include "fakes/capture_time_print.h"

namespace {

using namespace std::string_view_literals;
using capturetime::CaptureTime;
using capturetime::ShownCaptureTime;
using platform::FileTime;
using platform::LocalDateTime;

// Ticks since 1601 of UTC dates, worked out by hand: 2021-03-04 is day
// 153,464 (134,774 days to 1970, then 18,628 to 2021-01-01 and 62 more).
constexpr FileTime kDay = 86'400ull * 10'000'000ull;
constexpr FileTime k20210304 = 153'464ull * kDay;
constexpr FileTime kHour = 3'600ull * 10'000'000ull;
constexpr FileTime kSecond = 10'000'000ull;

TEST(CaptureTimeTexts, ExifDateTimes) {
  const struct {
    std::string_view text;
    std::optional<LocalDateTime> expected;
  } cases[] = {
      {"2021:03:04 05:06:07", LocalDateTime{2021, 3, 4, 5, 6, 7}},
      {"2021:03:04 05:06:07\0"sv, LocalDateTime{2021, 3, 4, 5, 6, 7}},
      {"  2021:03:04 05:06:07  ", LocalDateTime{2021, 3, 4, 5, 6, 7}},
      {"2020:02:29 23:59:59", LocalDateTime{2020, 2, 29, 23, 59, 59}},
      {"2021-03-04T05:06:07", LocalDateTime{2021, 3, 4, 5, 6, 7}},
      // Blank and zero fields, as cameras without a clock write them.
      {"    :  :     :  :  ", std::nullopt},
      {"0000:00:00 00:00:00", std::nullopt},
      {"", std::nullopt},
      {"2021:03:04 05:06", std::nullopt},
      {"2021:02:29 05:06:07", std::nullopt},
      {"2021:13:04 05:06:07", std::nullopt},
      {"2021:03:04 24:00:00", std::nullopt},
      {"2021:03:04 05:06:60", std::nullopt},
      {"2021:03:04 05:0x:07", std::nullopt},
      {"20210:3:04 05:06:07", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(capturetime::parseExifDateTime(c.text), c.expected) << c.text;
  }
}

TEST(CaptureTimeTexts, UtcOffsets) {
  const struct {
    std::string_view text;
    std::optional<std::int32_t> seconds;
  } cases[] = {
      {"+09:00", 32'400},
      {"-05:30", -19'800},
      {"+00:00", 0},
      {"-12:00", -43'200},
      {"+14:00", 50'400},
      {"+0545", 20'700},
      {"Z", 0},
      {"+05:45\0"sv, 20'700},
      {"   :  ", std::nullopt},
      {"", std::nullopt},
      {"09:00", std::nullopt},
      {"+15:00", std::nullopt},
      {"+09:60", std::nullopt},
      {"+9:00", std::nullopt},
      {"+09-00", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(capturetime::parseUtcOffset(c.text), c.seconds) << c.text;
  }
}

TEST(CaptureTimeTexts, SubSecondsInTicks) {
  const struct {
    const char* text;
    std::uint32_t ticks;
  } cases[] = {
      {"5", 5'000'000},
      {"50", 5'000'000},
      {"123", 1'230'000},
      {"004", 40'000},
      {"9999999", 9'999'999},
      {"0123456789", 123'456},
      {" 25 ", 2'500'000},
      {"", 0},
      {"x1", 0},
      {"12x", 1'200'000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(capturetime::parseSubSeconds(c.text), c.ticks) << c.text;
  }
}

TEST(CaptureTimeTexts, ExifWithAnOffsetIsItsWallTimeWithTheOffset) {
  EXPECT_EQ(capturetime::captureTimeOf({2021, 3, 4, 5, 6, 7}, 9 * 3600, 1'230'000),
            CaptureTime::wallTime({2021, 3, 4, 5, 6, 7}, 1'230'000, 32'400));
  EXPECT_EQ(capturetime::captureTimeOf({2021, 3, 4, 5, 6, 7}, std::nullopt, 7),
            CaptureTime::wallTime({2021, 3, 4, 5, 6, 7}, 7));
}

TEST(CaptureTimeTexts, AppleCreationDates) {
  const LocalDateTime at050607{2021, 3, 4, 5, 6, 7};
  const auto east = [](int hours) { return std::optional<std::int32_t>(hours * 3600); };
  const struct {
    std::string_view text;
    CaptureTime expected;
  } cases[] = {
      {"2021-03-04T05:06:07+0900", CaptureTime::wallTime(at050607, 0, east(9))},
      {"2021-03-04T05:06:07+09:00", CaptureTime::wallTime(at050607, 0, east(9))},
      {"2021-03-04T05:06:07-0700", CaptureTime::wallTime(at050607, 0, east(-7))},
      {"2021-03-04T05:06:07Z", CaptureTime::wallTime(at050607, 0, east(0))},
      {"2021-03-04T05:06:07.25+0900", CaptureTime::wallTime(at050607, 2'500'000, east(9))},
      {"2021-03-04T05:06:07", CaptureTime::wallTime({2021, 3, 4, 5, 6, 7})},
      {"2021-03-04T05:06:07.5", CaptureTime::wallTime({2021, 3, 4, 5, 6, 7}, 5'000'000)},
      {"2021-03-04 05:06:07+0900", CaptureTime::wallTime(at050607, 0, east(9))},
      {"2021:03:04 05:06:07+0900", CaptureTime{}},
      {"2021-03-04T05:06:07+09", CaptureTime::wallTime(at050607, 0, east(9))},
      // Padded to the data box's size with NULs or blanks, as writers leave it.
      {"2021-03-04T05:06:07\0"sv, CaptureTime::wallTime({2021, 3, 4, 5, 6, 7})},
      {"2021-03-04T05:06:07.5 \0 "sv, CaptureTime::wallTime({2021, 3, 4, 5, 6, 7}, 5'000'000)},
      {"2021-03-04T05:06:07+0900\0\0"sv, CaptureTime::wallTime(at050607, 0, east(9))},
      {"2021-03-04T05:06:07  ", CaptureTime::wallTime({2021, 3, 4, 5, 6, 7})},
      {"2021-03-04T05:06:07 junk", CaptureTime{}},
      {"2021-03-04", CaptureTime{}},
      {"", CaptureTime{}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(capturetime::parseIsoDateTime(c.text), c.expected) << c.text;
  }
}

TEST(CaptureTimeTexts, MovieHeaderSecondsSince1904) {
  // 1904-01-01 is 110,667 days after 1601-01-01, 1970-01-01 134,774 days;
  // 2021-03-04 is 3,700,000,000 seconds minus 27 days and 20:46:40 after
  // 1904, and 1,614,816,000 seconds after 1970; 2027-01-01 is 1,798,761,600
  // seconds after 1970.
  constexpr FileTime k1904 = 110'667ull * kDay;
  constexpr FileTime k1970 = 134'774ull * kDay;
  const struct {
    std::uint64_t seconds;
    int presentYear;
    CaptureTime expected;
  } cases[] = {
      {1, 2025, CaptureTime::instant(k1904 + kSecond)},
      {3'700'000'000, 2025,
       CaptureTime::instant(k20210304 + 27 * kDay + 1 * kHour + 46 * 60 * kSecond + 40 * kSecond)},
      {0, 2025, CaptureTime{}},
      {0xFFFF'FFFF'FFFF'FFFFull, 2025, CaptureTime{}},
      // Seconds since 1970, as some encoders write them: from 1990 to the
      // year after the present one they are read so.
      {1'614'834'367, 2025,
       CaptureTime::instant(k20210304 + 5 * kHour + 6 * 60 * kSecond + 7 * kSecond)},
      {631'152'000, 2025, CaptureTime::instant(k1970 + 631'152'000ull * kSecond)},
      {631'151'999, 2025, CaptureTime::instant(k1904 + 631'151'999ull * kSecond)},
      {1'798'761'599, 2025, CaptureTime::instant(k1970 + 1'798'761'599ull * kSecond)},
      {1'798'761'600, 2025, CaptureTime::instant(k1904 + 1'798'761'600ull * kSecond)},
      {1'798'761'600, 2026, CaptureTime::instant(k1970 + 1'798'761'600ull * kSecond)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(capturetime::movieHeaderTime(c.seconds, c.presentYear), c.expected)
        << c.seconds << " in " << c.presentYear;
  }
}

// A zone nine hours east of UTC, as a stand-in for the PC's.
std::optional<LocalDateTime> ninehoursEast(FileTime utc) {
  if (utc < k20210304 || utc >= k20210304 + kDay) return std::nullopt;
  const FileTime local = utc - k20210304 + 9 * kHour;
  const int seconds = static_cast<int>(local / kSecond);
  return LocalDateTime{2021,        3, 4 + seconds / 86'400, seconds / 3600 % 24, seconds / 60 % 60,
                       seconds % 60};
}

TEST(CaptureTimeShown, AWallTimeAsItIsAnInstantInThePcsZone) {
  const platform::DateTimeSeparators japanese{"/", ":"};
  const struct {
    CaptureTime time;
    const char* text;
    std::uint32_t subSecondTicks;
    std::optional<std::int32_t> offset;  // kept for the order only
  } cases[] = {
      {CaptureTime::wallTime({2009, 4, 1, 13, 5, 8}, 42), "2009/04/01 13:05:08", 42, {}},
      // Written with an offset, in another zone than the PC's: as written.
      {CaptureTime::wallTime({2021, 3, 4, 5, 6, 7}, 5, -5 * 3600), "2021/03/04 05:06:07", 5,
       -18'000},
      {CaptureTime::wallTime({2021, 3, 4, 5, 6, 7}, 0, 14 * 3600), "2021/03/04 05:06:07", 0,
       50'400},
      {CaptureTime::instant(k20210304 + 5 * kHour + 59 * kSecond + 1'234'567),
       "2021/03/04 14:00:59", 1'234'567, 32'400},
      {CaptureTime::instant(k20210304 + 20 * kHour), "2021/03/05 05:00:00", 0, 32'400},
      // The zone rules cannot convert it: nothing.
      {CaptureTime::instant(k20210304 + 2 * kDay), "", 0, {}},
      {CaptureTime{}, "", 0, {}},
  };
  for (const auto& c : cases) {
    const std::optional<ShownCaptureTime> shown =
        capturetime::shownCaptureTime(c.time, ninehoursEast);
    EXPECT_EQ(capturetime::captureTimeText(shown, japanese), c.text);
    if (shown) {
      EXPECT_EQ(shown->subSecondTicks, c.subSecondTicks) << c.text;
      EXPECT_EQ(shown->offsetSeconds, c.offset) << c.text;
    }
  }
  const std::optional<ShownCaptureTime> shown =
      capturetime::shownCaptureTime(CaptureTime::wallTime({2009, 4, 1, 13, 5, 8}), ninehoursEast);
  EXPECT_EQ(capturetime::captureTimeText(shown, {"-", "."}), "2009-04-01 13.05.08");
  EXPECT_EQ(capturetime::captureTimeText(shown, {"", ""}), "20090401 130508");
}

// The column's order over rows with and without a time, in both directions:
// missing times last, sub-seconds deciding within a second, then offsets
// within equal times (the one further east taken first, one without an
// offset after those with one), equal rows in their order (a stable sort
// with the comparison).
TEST(CaptureTimeOrder, MissingLastInEitherDirectionSubSecondsBreakTies) {
  const auto at = [](int day, int second, std::uint32_t ticks,
                     std::optional<std::int32_t> offset = std::nullopt) {
    return std::optional<ShownCaptureTime>(
        ShownCaptureTime{{2021, 3, day, 0, 0, second}, ticks, offset});
  };
  struct Row {
    char name;
    std::optional<ShownCaptureTime> time;
  };
  const std::vector<Row> rows = {
      {'a', std::nullopt},
      {'b', at(5, 0, 0)},
      {'c', at(4, 59, 5)},
      {'d', std::nullopt},
      {'e', at(4, 59, 0)},
      {'f', at(5, 0, 0)},
      {'g', at(4, 59, 5)},
      {'h', at(3, 1, 9'999'999)},
      // The same wall time in London and in Tokyo: Tokyo's came first.
      {'i', at(5, 0, 0, 0)},
      {'j', at(5, 0, 0, 32'400)},
      // A later wall time west of an earlier one east: the wall times decide.
      {'k', at(4, 59, 5, -28'800)},
  };
  const auto sorted = [&rows](bool descending) {
    std::vector<Row> copy = rows;
    std::stable_sort(copy.begin(), copy.end(), [descending](const Row& x, const Row& y) {
      return capturetime::compareCaptureTimes(x.time, y.time, descending) < 0;
    });
    std::string names;
    for (const Row& row : copy) names.push_back(row.name);
    return names;
  };
  EXPECT_EQ(sorted(false), "hekcgjibfad");
  EXPECT_EQ(sorted(true), "bfijcgkehad");
  EXPECT_EQ(capturetime::compareCaptureTimes(std::nullopt, std::nullopt, false), 0);
  EXPECT_EQ(capturetime::compareCaptureTimes(std::nullopt, std::nullopt, true), 0);
  EXPECT_GT(capturetime::compareCaptureTimes(std::nullopt, at(1, 0, 0), true), 0);
  EXPECT_LT(capturetime::compareCaptureTimes(at(1, 0, 0), std::nullopt, true), 0);
}

}  // namespace
