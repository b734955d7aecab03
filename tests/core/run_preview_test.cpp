// The preview line of the time dialog: its text from hand-written cases, and
// that its last time is what the run writes on the last row, in a zone whose
// clock changes between the two and in the dialog as the user sees it.

#include "stamping/run_preview.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/stamp_oracle.h"
#include "fakes/fake_app.h"
#include "fakes/temp_folder.h"
#include "platform/path.h"

namespace {

using platform::FileTime;
using platform::LocalDateTime;
using stamping::Step;

const platform::DateTimeSeparators kSeparators{"/", ":"};

// A zone an hour ahead of UTC that puts its clock forward by an hour at
// 2021-03-28 02:00 local time (01:00 UTC), as central Europe does.
const std::chrono::sys_seconds kChange = oracle::toSys(LocalDateTime{2021, 3, 28, 1, 0, 0});  // UTC

FileTime fileTimeOf(std::chrono::sys_seconds s) {
  return platform::kUnixEpochTicks +
         static_cast<FileTime>(s.time_since_epoch().count()) * platform::kTicksPerSecond;
}
std::chrono::sys_seconds sysOf(FileTime t) {
  return std::chrono::sys_seconds{std::chrono::seconds{
      static_cast<std::int64_t>((t - platform::kUnixEpochTicks) / platform::kTicksPerSecond)}};
}
std::optional<LocalDateTime> zoneLocal(FileTime utc) {
  const auto s = sysOf(utc);
  return oracle::fromSys(s + std::chrono::hours(s < kChange ? 1 : 2));
}
std::optional<FileTime> zoneUtc(const LocalDateTime& local) {
  const auto l = oracle::toSys(local);
  // After the change the offset is two hours; in the gap the earlier rule.
  const auto summer = l - std::chrono::hours(2);
  return fileTimeOf(summer >= kChange ? summer : l - std::chrono::hours(1));
}

struct PreviewCase {
  stamping::TimeFieldTexts fields;
  Step step;
  int rows;
  const char* expected;
};

const PreviewCase kCases[] = {
    {{"2009", "3", "5", "12", "30", "0"},
     Step::OneMinute,
     3,
     "1 行目 2009/03/05 12:30:00 ～ 3 行目 2009/03/05 12:32:00"},
    {{"2009", "12", "31", "23", "59", "58"},
     Step::TwoSeconds,
     2,
     "1 行目 2009/12/31 23:59:58 ～ 2 行目 2010/01/01 00:00:00"},
    {{"2009", "3", "5", "12", "30", "0"},
     Step::OneMinute,
     1,
     "1 行目 2009/03/05 12:30:00 ～ 1 行目 2009/03/05 12:30:00"},
    {{"2000", "2", "29", "23", "0", "0"},
     Step::OneMinute,
     1441,
     "1 行目 2000/02/29 23:00:00 ～ 1441 行目 2000/03/01 23:00:00"},
    // Across the clock change: 01:59 plus one minute is 03:00.
    {{"2021", "3", "28", "1", "59", "0"},
     Step::OneMinute,
     2,
     "1 行目 2021/03/28 01:59:00 ～ 2 行目 2021/03/28 03:00:00"},
    // A field that is not valid: no line, and no message either.
    {{"20a9", "3", "5", "12", "30", "0"}, Step::OneMinute, 3, ""},
    {{"2009", "13", "5", "12", "30", "0"}, Step::OneMinute, 3, ""},
    {{"2009", "4", "31", "12", "30", "0"}, Step::OneMinute, 3, ""},
    {{"2009", "3", "5", "", "30", "0"}, Step::OneMinute, 3, ""},
    {{"2009", "3", "5", "12", "30", "60"}, Step::OneMinute, 3, ""},
    {{"2027", "3", "5", "12", "30", "0"}, Step::OneMinute, 3, ""},  // after the current year
    // No rows: nothing to show.
    {{"2009", "3", "5", "12", "30", "0"}, Step::OneMinute, 0, ""},
};

TEST(RunPreview, ShowsTheFirstAndTheLastRowsTimes) {
  for (const PreviewCase& c : kCases) {
    EXPECT_EQ(
        stamping::previewLine(c.fields, 2026, c.step, c.rows, kSeparators, zoneUtc, zoneLocal),
        c.expected)
        << c.fields[0] << "/" << c.fields[1] << "/" << c.fields[2] << " " << c.fields[3] << ":"
        << c.fields[4] << ":" << c.fields[5] << ", " << c.rows << " rows";
  }
}

TEST(RunPreview, UsesTheRegionalSeparators) {
  EXPECT_EQ(stamping::previewLine({"2009", "3", "5", "12", "30", "0"}, 2026, Step::OneMinute, 2,
                                  platform::DateTimeSeparators{"-", "."}, zoneUtc, zoneLocal),
            "1 行目 2009-03-05 12.30.00 ～ 2 行目 2009-03-05 12.31.00");
}

// The text after "N 行目 " at the end of a preview line.
std::string lastTime(const std::string& line) {
  const std::size_t at = line.rfind("行目 ");
  return at == std::string::npos ? "" : line.substr(at + std::string("行目 ").size());
}

// The run over rows in memory, across the clock change, with the same zone.
TEST(RunPreview, TheLastTimeIsWhatTheRunWritesOnTheLastRow) {
  for (const Step step : {Step::OneMinute, Step::TwoSeconds}) {
    for (const int count : {1, 2, 61, 200}) {
      fakes::MemoryFileOps files;
      folderlist::EntryRows rows;
      for (int i = 0; i < count; ++i) {
        std::string name = std::to_string(i);
        name.insert(0, 1, 'f');
        rows.push_back({name, "", "old"});
        files.entries[platform::joinPath("/dir", name)] = {};
      }
      const stamping::TimeFieldTexts fields{"2021", "3", "28", "1", "58", "30"};
      const std::string line =
          stamping::previewLine(fields, 2026, step, count, kSeparators, zoneUtc, zoneLocal);
      const stamping::StampOptions options{LocalDateTime{2021, 3, 28, 1, 58, 30}, step};
      const stamping::RunResult result =
          stamping::runStamping(rows, "/dir", files, options, kSeparators, zoneUtc, zoneLocal);
      ASSERT_EQ(result.outcome, stamping::RunResult::Outcome::Completed);
      EXPECT_EQ(lastTime(line), rows.back().timeText.str()) << count << " rows";
      EXPECT_TRUE(line.starts_with("1 行目 " + rows.front().timeText.str() + " ～ " +
                                   std::to_string(count) + " 行目 "))
          << line;
    }
  }
}

// The dialog: the line follows the fields and the step, and after OK the
// last row carries the time it showed.
TEST(RunPreview, TheDialogShowsWhatItsOkThenWrites) {
  testsupport::TempFolder folder;
  fakes::FakeApp app;
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    const std::string path = folder.createFile(name, "x");
    app.memoryFiles.entries[path] = {};
  }
  app.tree.path = folder.path();
  app.event([&] { app.listing->listSelectedFolder(); });
  ASSERT_EQ(app.folder().rowCount(), 3);
  app.event([&] { app.commands->showTimeDialog(); });
  EXPECT_EQ(app.preview.text(), "1 行目 2026/12/08 00:00:00 ～ 3 行目 2026/12/08 00:02:00")
      << "filled with today and 0:00:00";

  app.setFieldTexts({"2009", "12", "31", "23", "59", "1x"});
  app.event([&] { app.timeEntry->fieldsChanged(); });
  EXPECT_EQ(app.preview.text(), "");
  EXPECT_FALSE(app.messageWindow.isVisible()) << "no message while typing";
  app.setFieldTexts({"2009", "12", "31", "23", "59", "58"});
  app.event([&] { app.timeEntry->fieldsChanged(); });
  EXPECT_EQ(app.preview.text(), "1 行目 2009/12/31 23:59:58 ～ 3 行目 2010/01/01 00:01:58");
  app.minuteStep.setChecked(false);
  app.twoSecondStep.setChecked(true);
  app.event([&] { app.timeEntry->fieldsChanged(); });
  const std::string shown = app.preview.text();
  EXPECT_EQ(shown, "1 行目 2009/12/31 23:59:58 ～ 3 行目 2010/01/01 00:00:02");

  app.event([&] { app.timeEntry->confirm(); });
  ASSERT_EQ(app.label.text(), "変更しました");
  EXPECT_EQ(lastTime(shown), app.folder().rows().back().timeText.str());
}

}  // namespace
