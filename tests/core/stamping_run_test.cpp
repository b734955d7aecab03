// The stamping run on real folders through the operating system's file
// system, with the times read back by the OS's own calls.
#include "stamping/stamping_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/stamp_oracle.h"
#include "fakes/temp_folder.h"
#include "folderlist/list_entry.h"
#include "platform/file_ops.h"
#include "platform/path.h"
#include "platform/time_zone.h"

namespace {

using platform::FileTime;
using platform::LocalDateTime;
using stamping::RunResult;
using stamping::StampOptions;
using testsupport::EntryTimes;
using Outcome = RunResult::Outcome;

constexpr const char* kOldText = "2001/02/03 04:05:06";
const platform::DateTimeSeparators kSeparators{"/", ":"};

// Old times, whole seconds in 2001, distinct for each entry and each time.
EntryTimes oldTimes(int index) {
  const FileTime base =
      126'300'000'000'000'000ULL + static_cast<FileTime>(index) * 7'000'000'000ULL;
  return {base, base + 30'000'000, base + 60'000'000};
}

// Rows listed from a temporary folder, with known old times on disk.
class StampingOnDisk : public testing::Test {
 protected:
  void addFile(const std::string& name) { add(name, false); }
  void addFolder(const std::string& name) { add(name, true); }

  // A file, or a folder with a file in it, with the next old times.
  void add(const std::string& name, bool folder) {
    const std::string path = folder ? dir_.createFolder(name) : dir_.createFile(name, "chronoseq");
    if (folder) dir_.createFile(platform::joinPath(name, "inner.txt"), "inner");
    testsupport::setTimes(path, oldTimes(static_cast<int>(rows_.size())));
    rows_.push_back({name, folder ? std::string(folderlist::kFolderKind) : "", kOldText});
    before_.push_back(testsupport::readTimes(path));
  }

  RunResult run(const StampOptions& options) {
    return stamping::runStamping(rows_, dir_.path(), platform::systemFileOps(), options,
                                 kSeparators, platform::localToUtc, platform::utcToLocal);
  }

  std::string pathOf(std::size_t row) const { return dir_.pathOf(rows_[row].name); }
  EntryTimes now(std::size_t row) const { return testsupport::readTimes(pathOf(row)); }

  // Row k shows and carries start + k steps in local time, in whole seconds;
  // the times not asked for are as they were.
  void expectStamped(std::size_t row, const StampOptions& options) {
    SCOPED_TRACE("row " + std::to_string(row) + " " + rows_[row].name);
    const LocalDateTime when = oracle::nth(options.start, static_cast<std::int64_t>(row),
                                           stamping::stepSeconds(options.step));
    EXPECT_EQ(rows_[row].timeText, oracle::text(when));
    const EntryTimes after = now(row);
    EXPECT_EQ(after.lastWrite % platform::kTicksPerSecond, 0u);
    EXPECT_EQ(testsupport::osLocalTime(after.lastWrite), when);
    if (options.setLastAccess) {
      EXPECT_EQ(after.lastAccess, after.lastWrite);
    } else {
      EXPECT_EQ(after.lastAccess, before_[row].lastAccess);
    }
    if (!testsupport::creationTimeUnsupported()) {
      if (options.setCreation) {
        EXPECT_EQ(after.creation, after.lastWrite);
      } else {
        EXPECT_EQ(after.creation, before_[row].creation);
      }
    }
  }

  void expectUntouched(std::size_t row) {
    SCOPED_TRACE("row " + std::to_string(row) + " " + rows_[row].name);
    EXPECT_EQ(rows_[row].timeText, kOldText);
    const EntryTimes after = now(row);
    EXPECT_EQ(after.lastWrite, before_[row].lastWrite);
    EXPECT_EQ(after.lastAccess, before_[row].lastAccess);
  }

  testsupport::TempFolder dir_;
  folderlist::EntryRows rows_;
  std::vector<EntryTimes> before_;
};

StampOptions minuteSteps(LocalDateTime start) {
  StampOptions options;
  options.start = start;
  options.step = stamping::Step::OneMinute;
  return options;
}

TEST_F(StampingOnDisk, FileFolderFileByTheMinute) {
  addFile("first.txt");
  addFolder("folder");
  addFile("third.txt");
  const StampOptions options = minuteSteps({2009, 3, 5, 12, 30, 0});
  const RunResult r = run(options);
  ASSERT_EQ(r.outcome, Outcome::Completed) << r.text();
  EXPECT_EQ(r.text(), "変更しました");
  EXPECT_EQ(rows_[0].timeText, "2009/03/05 12:30:00");
  EXPECT_EQ(rows_[1].timeText, "2009/03/05 12:31:00");
  EXPECT_EQ(rows_[2].timeText, "2009/03/05 12:32:00");
  for (std::size_t k = 0; k < 3; ++k) expectStamped(k, options);
  if (const auto reason = testsupport::creationTimeUnsupported()) {
    GTEST_SKIP() << "creation times unchecked: " << *reason;
  }
}

TEST_F(StampingOnDisk, TwoSecondStepOverTheYearEnd) {
  addFile("a");
  addFolder("b");
  addFile("c");
  StampOptions options = minuteSteps({2009, 12, 31, 23, 59, 58});
  options.step = stamping::Step::TwoSeconds;
  ASSERT_EQ(run(options).outcome, Outcome::Completed);
  EXPECT_EQ(rows_[1].timeText, "2010/01/01 00:00:00");
  EXPECT_EQ(testsupport::osLocalTime(now(1).lastWrite), (LocalDateTime{2010, 1, 1, 0, 0, 0}));
  for (std::size_t k = 0; k < 3; ++k) expectStamped(k, options);
}

TEST_F(StampingOnDisk, OneRowGetsTheStartTime) {
  addFile("only.txt");
  const StampOptions options = minuteSteps({2010, 7, 1, 0, 0, 0});
  ASSERT_EQ(run(options).outcome, Outcome::Completed);
  EXPECT_EQ(rows_[0].timeText, "2010/07/01 00:00:00");
  expectStamped(0, options);
}

TEST_F(StampingOnDisk, ReadOnlySixthOfTenChangesNothing) {
  for (int i = 0; i < 10; ++i) addFile(oracle::numbered("file", i, ".txt"));
  testsupport::setReadOnly(pathOf(5), true);
  const RunResult r = run(minuteSteps({2009, 3, 5, 12, 30, 0}));
  EXPECT_EQ(r.outcome, Outcome::PrecheckFailed);
  EXPECT_EQ(r.text(), "リードオンリー属性の\r\nファイルがあります\r\n\r\nfile5.txt");
  for (std::size_t k = 0; k < 10; ++k) expectUntouched(k);
}

// A row whose entry went away or changed kind after the listing: the
// precheck names it and nothing is stamped.
enum class Replacement { none, file, folder };

struct VanishedCase {
  const char* label;
  bool keptIsFolder;     // the first row, which stays as listed
  bool changedIsFolder;  // the second row as listed
  Replacement now;       // what stands under its name at the run
  const char* message;
};

class StampingVanishedOnDisk : public StampingOnDisk,
                               public testing::WithParamInterface<VanishedCase> {};

TEST_P(StampingVanishedOnDisk, PrecheckNamesTheRowAndChangesNothing) {
  const VanishedCase& c = GetParam();
  c.keptIsFolder ? addFolder("kept") : addFile("kept.txt");
  c.changedIsFolder ? addFolder("changed") : addFile("changed");
  testsupport::removeEntry(pathOf(1));
  if (c.now == Replacement::file) dir_.createFile("changed");
  if (c.now == Replacement::folder) dir_.createFolder("changed");
  const RunResult r = run(minuteSteps({2009, 3, 5, 12, 30, 0}));
  EXPECT_EQ(r.outcome, Outcome::PrecheckFailed);
  EXPECT_EQ(r.text(), c.message);
  expectUntouched(0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, StampingVanishedOnDisk,
    testing::Values(VanishedCase{"FileDeletedAfterTheListing", false, false, Replacement::none,
                                 "見当たらないファイルがあります \r\n\r\nchanged"},
                    VanishedCase{"FolderRowThatIsNowAFile", false, true, Replacement::file,
                                 "見当たらないフォルダがあります \r\n\r\nchanged"},
                    VanishedCase{"FileRowThatIsNowAFolder", true, false, Replacement::folder,
                                 "見当たらないファイルがあります \r\n\r\nchanged"}),
    [](const testing::TestParamInfo<VanishedCase>& info) { return info.param.label; });

struct OptionCase {
  bool setCreation;
  bool setLastAccess;
};

class StampingOptionsOnDisk : public StampingOnDisk,
                              public testing::WithParamInterface<OptionCase> {};

TEST_P(StampingOptionsOnDisk, SetsExactlyTheChosenTimes) {
  addFile("file.txt");
  addFolder("folder");
  StampOptions options = minuteSteps({2009, 3, 5, 12, 30, 0});
  options.setCreation = GetParam().setCreation;
  options.setLastAccess = GetParam().setLastAccess;
  ASSERT_EQ(run(options).outcome, Outcome::Completed);
  expectStamped(0, options);
  expectStamped(1, options);
  if (const auto reason = testsupport::creationTimeUnsupported(); reason && options.setCreation) {
    GTEST_SKIP() << "creation times unchecked: " << *reason;
  }
}

INSTANTIATE_TEST_SUITE_P(BothCheckBoxes, StampingOptionsOnDisk,
                         testing::Values(OptionCase{false, false}, OptionCase{true, false},
                                         OptionCase{false, true}, OptionCase{true, true}),
                         [](const testing::TestParamInfo<OptionCase>& info) {
                           return std::string(info.param.setCreation ? "Creation" : "NoCreation") +
                                  (info.param.setLastAccess ? "_Access" : "_NoAccess");
                         });

TEST_F(StampingOnDisk, FileHeldOpenWithoutSharingStopsTheRun) {
  addFile("before.txt");
  addFile("held.txt");
  addFile("after.txt");
  const auto hold = testsupport::holdExclusively(pathOf(1));
  if (!hold) GTEST_SKIP() << "POSIX has no share modes: another open never blocks this one";
  const RunResult r = run(minuteSteps({2009, 3, 5, 12, 30, 0}));
  EXPECT_EQ(r.outcome, Outcome::Stopped);
  EXPECT_EQ(r.failure.message,
            "ファイル " + platform::joinPath(dir_.path(), "held.txt") + " は開けません");
  EXPECT_EQ(r.failure.osError, platform::kErrorSharingViolation);
  EXPECT_EQ(r.changed, 1);
  expectStamped(0, minuteSteps({2009, 3, 5, 12, 30, 0}));
  expectUntouched(1);
  expectUntouched(2);
}

TEST_F(StampingOnDisk, NamesInOtherScripts) {
  addFile("文件.txt");
  addFile("Ελληνικά.txt");
  addFile("\xF0\x9F\x98\x80.txt");  // an emoji outside the BMP
  addFolder("Кириллица");
  addFile("한국어 파일.txt");
  const StampOptions options = minuteSteps({2009, 3, 5, 12, 30, 0});
  ASSERT_EQ(run(options).outcome, Outcome::Completed);
  for (std::size_t k = 0; k < rows_.size(); ++k) expectStamped(k, options);
}

TEST_F(StampingOnDisk, LinkIsStampedItselfAndItsTargetKeepsItsTimes) {
  testsupport::TempFolder elsewhere;
  const std::string targetFile = elsewhere.createFile("target.txt");
  const std::string targetFolder = elsewhere.createFolder("targetdir");
  testsupport::setTimes(targetFile, oldTimes(50));
  testsupport::setTimes(targetFolder, oldTimes(51));
  const EntryTimes fileBefore = testsupport::readTimes(targetFile);
  const EntryTimes folderBefore = testsupport::readTimes(targetFolder);

  addFile("plain.txt");
  if (!testsupport::makeSymlink(targetFile, dir_.pathOf("filelink"), false) ||
      !testsupport::makeSymlink(targetFolder, dir_.pathOf("folderlink"), true)) {
    GTEST_SKIP() << "symbolic links cannot be made here (Wine 8's CreateSymbolicLinkW reports "
                    "success and makes no link)";
  }
  rows_.push_back({"filelink", "", kOldText});
  before_.push_back(testsupport::readTimes(dir_.pathOf("filelink")));
  rows_.push_back({"folderlink", std::string(folderlist::kFolderKind), kOldText});
  before_.push_back(testsupport::readTimes(dir_.pathOf("folderlink")));

  StampOptions options = minuteSteps({2009, 3, 5, 12, 30, 0});
  options.setLastAccess = true;
  const RunResult r = run(options);
  ASSERT_EQ(r.outcome, Outcome::Completed) << r.text();
  for (std::size_t k = 0; k < rows_.size(); ++k) expectStamped(k, options);
  const EntryTimes fileAfter = testsupport::readTimes(targetFile);
  const EntryTimes folderAfter = testsupport::readTimes(targetFolder);
  EXPECT_EQ(fileAfter.lastWrite, fileBefore.lastWrite);
  EXPECT_EQ(fileAfter.lastAccess, fileBefore.lastAccess);
  EXPECT_EQ(folderAfter.lastWrite, folderBefore.lastWrite);
  EXPECT_EQ(folderAfter.lastAccess, folderBefore.lastAccess);
}

TEST_F(StampingOnDisk, LongListLandsOnWholeMinutes) {
  // Past a day's, a month's and a year's turn. Few files: Wine looks every
  // new name up through the whole folder, time that grows with the square
  // of the count.
  constexpr int kRows = 200;
  for (int i = 0; i < kRows; ++i) {
    const std::string name = oracle::numbered("n", i);
    dir_.createFile(name);
    rows_.push_back({name, "", kOldText});
  }
  // New Year: no daylight-saving change within these hours in common zones.
  const StampOptions options = minuteSteps({2010, 12, 31, 23, 0, 0});
  int progressCalls = 0;
  const RunResult r = stamping::runStamping(rows_, dir_.path(), platform::systemFileOps(), options,
                                            kSeparators, platform::localToUtc, platform::utcToLocal,
                                            [&](int done, int total, int stamped) {
                                              // Every row checked, then every row stamped.
                                              ++progressCalls;
                                              EXPECT_EQ(done, progressCalls);
                                              EXPECT_EQ(total, 2 * kRows);
                                              EXPECT_EQ(stamped, std::max(0, done - kRows));
                                            });
  ASSERT_EQ(r.outcome, Outcome::Completed);
  EXPECT_EQ(progressCalls, 2 * kRows);
  for (int k = 0; k < kRows; ++k) {
    const LocalDateTime when = oracle::nth(options.start, k, 60);
    const EntryTimes t = testsupport::readTimes(pathOf(static_cast<std::size_t>(k)));
    ASSERT_EQ(t.lastWrite % platform::kTicksPerSecond, 0u) << k;
    ASSERT_EQ(testsupport::osLocalTime(t.lastWrite), when) << k;
    ASSERT_EQ(rows_[static_cast<std::size_t>(k)].timeText, oracle::text(when)) << k;
  }
  EXPECT_EQ(rows_.back().timeText, "2011/01/01 02:19:00");
}

}  // namespace
