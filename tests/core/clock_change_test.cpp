// Runs across the clock's changes in zones with daylight saving, on real
// folders with the real zone conversions. The expected instants and texts come
// from a table of each change written by hand (the UTC instant of the change
// and the offsets on either side), never from the program's conversions.
//
// Natively each case switches the process's zone itself. Under Wine a process
// keeps the zone it started with, so a case runs only in a process started
// with its zone (CHRONOSEQ_TZ, which the Wine scripts hand on as TZ); ctest
// starts one for each zone.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/stamp_oracle.h"
#include "fakes/temp_folder.h"
#include "folderlist/listing.h"
#include "platform/file_ops.h"
#include "platform/time_zone.h"
#include "stamping/stamping_run.h"

#ifndef _WIN32
#include <ctime>
#endif

namespace {

using platform::FileTime;
using platform::LocalDateTime;
using stamping::Step;

// One change of the clock: before the UTC instant `at` local time is UTC plus
// `before` minutes, from it on UTC plus `after` minutes.
struct Change {
  LocalDateTime at;  // UTC
  int before;
  int after;
};

struct ClockCase {
  const char* name;  // test name: zone with '_' for '/', and the season
  const char* zone;
  Change change;
  LocalDateTime typed;     // the start time as typed
  LocalDateTime firstUtc;  // the instant the first row must get, by hand
  Step step;
  int rows;
};

// Changes of 2009 (tz database, cross-checked with the host's zoneinfo).
constexpr Change kBerlinSpring{{2009, 3, 29, 1, 0, 0}, 60, 120};
constexpr Change kBerlinAutumn{{2009, 10, 25, 1, 0, 0}, 120, 60};
constexpr Change kNewYorkSpring{{2009, 3, 8, 7, 0, 0}, -300, -240};
constexpr Change kNewYorkAutumn{{2009, 11, 1, 6, 0, 0}, -240, -300};
constexpr Change kSydneyAutumn{{2009, 4, 4, 16, 0, 0}, 660, 600};
constexpr Change kSydneySpring{{2009, 10, 3, 16, 0, 0}, 600, 660};
constexpr Change kLordHoweAutumn{{2009, 4, 4, 15, 0, 0}, 660, 630};
constexpr Change kLordHoweSpring{{2009, 10, 3, 15, 30, 0}, 630, 660};

const ClockCase kCases[] = {
    // 02:00-02:59 does not exist that night; 120 minutes from 01:30.
    {"Europe_Berlin_Spring",
     "Europe/Berlin",
     kBerlinSpring,
     {2009, 3, 29, 1, 30, 0},
     {2009, 3, 29, 0, 30, 0},
     Step::OneMinute,
     120},
    // Typed inside the gap: the first instant after it, 03:00 CEST.
    {"Europe_Berlin_SpringGap",
     "Europe/Berlin",
     kBerlinSpring,
     {2009, 3, 29, 2, 30, 0},
     {2009, 3, 29, 1, 0, 0},
     Step::TwoSeconds,
     40},
    {"Europe_Berlin_Autumn",
     "Europe/Berlin",
     kBerlinAutumn,
     {2009, 10, 25, 1, 30, 0},
     {2009, 10, 24, 23, 30, 0},
     Step::OneMinute,
     150},
    // Typed in the hour shown twice: its first showing, still summer time.
    {"Europe_Berlin_AutumnTwice",
     "Europe/Berlin",
     kBerlinAutumn,
     {2009, 10, 25, 2, 30, 0},
     {2009, 10, 25, 0, 30, 0},
     Step::OneMinute,
     90},
    {"America_New_York_Spring",
     "America/New_York",
     kNewYorkSpring,
     {2009, 3, 8, 1, 30, 0},
     {2009, 3, 8, 6, 30, 0},
     Step::OneMinute,
     120},
    {"America_New_York_SpringGap",
     "America/New_York",
     kNewYorkSpring,
     {2009, 3, 8, 2, 0, 0},
     {2009, 3, 8, 7, 0, 0},
     Step::OneMinute,
     10},
    {"America_New_York_Autumn",
     "America/New_York",
     kNewYorkAutumn,
     {2009, 11, 1, 0, 30, 0},
     {2009, 11, 1, 4, 30, 0},
     Step::OneMinute,
     150},
    {"Australia_Sydney_Autumn",
     "Australia/Sydney",
     kSydneyAutumn,
     {2009, 4, 5, 1, 30, 0},
     {2009, 4, 4, 14, 30, 0},
     Step::OneMinute,
     120},
    {"Australia_Sydney_Spring",
     "Australia/Sydney",
     kSydneySpring,
     {2009, 10, 4, 1, 59, 0},
     {2009, 10, 3, 15, 59, 0},
     Step::TwoSeconds,
     60},
    // A change of half an hour: 02:00-02:29 skipped, 01:30-01:59 twice.
    {"Australia_Lord_Howe_Spring",
     "Australia/Lord_Howe",
     kLordHoweSpring,
     {2009, 10, 4, 1, 45, 0},
     {2009, 10, 3, 15, 15, 0},
     Step::OneMinute,
     60},
    {"Australia_Lord_Howe_SpringGap",
     "Australia/Lord_Howe",
     kLordHoweSpring,
     {2009, 10, 4, 2, 10, 0},
     {2009, 10, 3, 15, 30, 0},
     Step::OneMinute,
     5},
    {"Australia_Lord_Howe_Autumn",
     "Australia/Lord_Howe",
     kLordHoweAutumn,
     {2009, 4, 5, 1, 15, 0},
     {2009, 4, 4, 14, 15, 0},
     Step::OneMinute,
     90},
};

// Failure messages name the case, not its bytes.
void PrintTo(const ClockCase& c, std::ostream* out) { *out << c.name; }

std::int64_t unixSeconds(const LocalDateTime& utc) {
  return oracle::toSys(utc).time_since_epoch().count();
}

FileTime fileTimeOf(std::int64_t unix) {
  return static_cast<FileTime>(unix * static_cast<std::int64_t>(platform::kTicksPerSecond) +
                               static_cast<std::int64_t>(platform::kUnixEpochTicks));
}

// The local time the hand-written change gives an instant.
LocalDateTime expectedLocal(const Change& change, std::int64_t unix) {
  const int offset = unix < unixSeconds(change.at) ? change.before : change.after;
  return oracle::fromSys(std::chrono::sys_seconds{std::chrono::seconds{unix + offset * 60}});
}

// The process in the case's zone for the scope of the test, or a reason why
// it cannot be.
class InZone {
 public:
  explicit InZone(const char* zone) {
#ifdef _WIN32
    const char* given = std::getenv("CHRONOSEQ_TZ");
    if (!given || std::string(given) != zone) {
      skip_ = std::string(
                  "a Wine process keeps its zone; ctest runs this case in a process "
                  "started with CHRONOSEQ_TZ=") +
              zone;
    }
#else
    const char* old = std::getenv("TZ");
    if (old) saved_ = old;
    hadOld_ = old != nullptr;
    ::setenv("TZ", zone, 1);
    ::tzset();
#endif
  }
  ~InZone() {
#ifndef _WIN32
    if (hadOld_) {
      ::setenv("TZ", saved_.c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
#endif
  }
  const std::string& skipReason() const { return skip_; }

 private:
  std::string skip_;
  std::string saved_;
  bool hadOld_ = false;
};

class ClockChange : public testing::TestWithParam<ClockCase> {};

TEST_P(ClockChange, EveryRowLaterThanTheOneAboveAndListedAsWritten) {
  const ClockCase& c = GetParam();
  const InZone zone(c.zone);
  if (!zone.skipReason().empty()) GTEST_SKIP() << zone.skipReason();

  // The zone really changes its clock here, by the OS's own conversion; a
  // host without that zone's rules would otherwise pass vacuously.
  const std::int64_t changeAt = unixSeconds(c.change.at);
  const bool hostAgrees =
      testsupport::osLocalTime(fileTimeOf(changeAt - 1)) == expectedLocal(c.change, changeAt - 1) &&
      testsupport::osLocalTime(fileTimeOf(changeAt)) == expectedLocal(c.change, changeAt);
  // Wine 8 gives every zone a daylight bias of a whole hour, so its Lord Howe
  // summer time is UTC+11:30. There, and only there, the instants and texts
  // can only be held against Wine's own view of the zone; the order must
  // hold all the same. Any other zone that differs from the table fails.
  const bool wineView = !hostAgrees && testsupport::runningUnderWine() &&
                        std::string_view(c.zone) == "Australia/Lord_Howe";
  if (!hostAgrees && !wineView) {
    FAIL() << "the host's " << c.zone << " differs from the hand-written change";
  }
  if (wineView) {
    std::printf(
        "note: Wine has no half-hour daylight bias, so its %s differs from the tz database; "
        "checking the order, the steps and the listing only\n",
        c.zone);
  }

  testsupport::TempFolder dir;
  folderlist::EntryRows rows;
  for (int k = 0; k < c.rows; ++k) {
    // Zero-padded, so that names sort like rows.
    std::string name = oracle::numbered("r", 1000 + k);
    dir.createFile(name);
    rows.push_back({name, "", "2001/02/03 04:05:06"});
  }
  stamping::StampOptions options;
  options.start = c.typed;
  options.step = c.step;
  const stamping::RunResult r =
      stamping::runStamping(rows, dir.path(), platform::systemFileOps(), options, {"/", ":"},
                            platform::localToUtc, platform::utcToLocal);
  ASSERT_EQ(r.outcome, stamping::RunResult::Outcome::Completed) << r.text();

  // Listed afterwards, as the user would see the folder.
  std::map<std::string, std::string> listed;
  for (const auto& entry : folderlist::listFolder(dir.path(), {"/", ":"})) {
    listed[entry.name] = entry.timeText;
  }

  const std::int64_t step = stamping::stepSeconds(c.step);
  const FileTime firstWritten = testsupport::readTimes(dir.pathOf(rows[0].name)).lastWrite;
  const std::int64_t first = wineView ? (static_cast<std::int64_t>(firstWritten) -
                                         static_cast<std::int64_t>(platform::kUnixEpochTicks)) /
                                            static_cast<std::int64_t>(platform::kTicksPerSecond)
                                      : unixSeconds(c.firstUtc);
  FileTime previous = 0;
  bool crossed = false;
  for (int k = 0; k < c.rows; ++k) {
    const auto& row = rows[static_cast<std::size_t>(k)];
    SCOPED_TRACE("row " + std::to_string(k));
    const std::int64_t expected = first + k * step;
    crossed = crossed || expected >= changeAt;
    const FileTime written = testsupport::readTimes(dir.pathOf(row.name)).lastWrite;
    EXPECT_EQ(written, fileTimeOf(expected));
    EXPECT_GT(written, previous);
    previous = written;
    EXPECT_EQ(listed[row.name], row.timeText);
    if (!wineView) {
      EXPECT_EQ(row.timeText, oracle::text(expectedLocal(c.change, expected)));
    }
  }
  EXPECT_TRUE(crossed) << "the case must cross the change";
  // The first row lands on the typed wall time, unless the clock skipped it.
  const bool typedExists =
      expectedLocal(c.change, unixSeconds(c.typed) - c.change.before * 60) == c.typed ||
      expectedLocal(c.change, unixSeconds(c.typed) - c.change.after * 60) == c.typed;
  if (typedExists) {
    EXPECT_EQ(rows[0].timeText, oracle::text(c.typed));
  }
}

INSTANTIATE_TEST_SUITE_P(Zones, ClockChange, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ClockCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
