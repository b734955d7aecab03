// The stamping run over an in-memory file system that fails chosen
// operations: every operation failing at every row.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/stamp_oracle.h"
#include "fakes/fault_file_ops.h"
#include "folderlist/list_entry.h"
#include "platform/path.h"
#include "stamping/stamping_run.h"

namespace {

using fakes::FaultFileOps;
using platform::FileTime;
using platform::LocalDateTime;
using stamping::RunResult;
using stamping::StampOptions;
using Op = FaultFileOps::Op;
using Outcome = RunResult::Outcome;

const std::string kFolder = platform::joinPath("", "fake");
const platform::DateTimeSeparators kSeparators{"/", ":"};
const LocalDateTime kStart{2009, 12, 31, 23, 58, 30};
constexpr const char* kOldText = "2001/01/01 00:00:00";

folderlist::ListEntry fileRow(std::string name) { return {std::move(name), "", kOldText}; }
folderlist::ListEntry folderRow(std::string name) {
  return {std::move(name), std::string(folderlist::kFolderKind), kOldText};
}

// Old times distinct per entry, so that any change is seen.
FaultFileOps::Times oldTimes(int index) {
  const FileTime base = 120'000'000'000'000'000ULL + static_cast<FileTime>(index) * 1'000'000'000;
  return {base + 1, base + 2, base + 3};
}

struct Scene {
  folderlist::EntryRows rows;
  FaultFileOps fs;
};

// A file, a folder, a file, a folder, a file.
void fillMixed(Scene& s) {
  s.rows = {fileRow("a.txt"), folderRow("sub"), fileRow("b.txt"), folderRow("sub2"),
            fileRow("c.dat")};
  for (std::size_t i = 0; i < s.rows.size(); ++i) {
    const std::string path = platform::joinPath(kFolder, s.rows[i].name);
    if (s.rows[i].isFolder()) {
      s.fs.addFolder(path, oldTimes(static_cast<int>(i)));
    } else {
      s.fs.addFile(path, oldTimes(static_cast<int>(i)));
    }
  }
}

struct RunRecord {
  RunResult result;
  std::vector<std::array<int, 3>> progress;  // done, total, stamped
};

RunRecord run(Scene& s, const StampOptions& options,
              const std::optional<LocalDateTime>& unconvertible = std::nullopt) {
  RunRecord record;
  const stamping::LocalToFileTime convert = [&](const LocalDateTime& t) -> std::optional<FileTime> {
    if (unconvertible && t == *unconvertible) return std::nullopt;
    return oracle::fixedZoneFileTime(t);
  };
  const stamping::FileTimeToLocal back = [&](FileTime t) -> std::optional<LocalDateTime> {
    const LocalDateTime local = oracle::fixedZoneLocal(t);
    if (unconvertible && local == *unconvertible) return std::nullopt;
    return local;
  };
  record.result = stamping::runStamping(s.rows, kFolder, s.fs, options, kSeparators, convert, back,
                                        [&](int done, int total, int stamped) {
                                          record.progress.push_back({done, total, stamped});
                                        });
  return record;
}

// What the run reports against what the fake saw: a row shows a new time
// exactly when its entry got that time, and nothing but the rows above the
// failure was touched.
void expectReportMatchesDisk(const Scene& s, const StampOptions& options, const RunResult& result) {
  const std::int64_t step = stamping::stepSeconds(options.step);
  for (std::size_t k = 0; k < s.rows.size(); ++k) {
    SCOPED_TRACE("row " + std::to_string(k));
    const folderlist::ListEntry& row = s.rows[k];
    const FaultFileOps::Entry* entry = s.fs.find(platform::joinPath(kFolder, row.name));
    ASSERT_NE(entry, nullptr);
    const bool stamped = static_cast<int>(k) < result.changed;
    EXPECT_EQ(entry->timeChanges, stamped ? 1 : 0);
    if (stamped) {
      const LocalDateTime when = oracle::nth(options.start, static_cast<std::int64_t>(k), step);
      EXPECT_EQ(row.timeText, oracle::text(when));
      const FileTime utc = oracle::fixedZoneFileTime(when);
      const FaultFileOps::Times old = oldTimes(static_cast<int>(k));
      EXPECT_EQ(entry->times.lastWrite, utc);
      EXPECT_EQ(entry->times.creation, options.setCreation ? utc : old.creation);
      EXPECT_EQ(entry->times.lastAccess, options.setLastAccess ? utc : old.lastAccess);
    } else {
      EXPECT_EQ(row.timeText, kOldText);
      EXPECT_EQ(entry->times, oldTimes(static_cast<int>(k)));
    }
  }
  EXPECT_EQ(s.fs.openEntries(), 0) << "every opened entry is closed again";
}

struct FaultCase {
  std::optional<Op> op;  // nullopt: the conversion of the row's time fails
  int row;
  bool setCreation;
  bool setLastAccess;
};

std::string opName(const std::optional<Op>& op) {
  return op ? FaultFileOps::opName(*op) : "Convert";
}

class EveryFaultAtEveryRow : public testing::TestWithParam<FaultCase> {};

TEST_P(EveryFaultAtEveryRow, NeverReportsAStampThatDidNotHappen) {
  const FaultCase& c = GetParam();
  Scene s;
  fillMixed(s);
  StampOptions options;
  options.start = kStart;
  options.step = stamping::Step::OneMinute;
  options.setCreation = c.setCreation;
  options.setLastAccess = c.setLastAccess;

  const folderlist::ListEntry& target = s.rows[static_cast<std::size_t>(c.row)];
  const std::string path = platform::joinPath(kFolder, target.name);
  const platform::OsErrorCode code = 0x1234 + static_cast<platform::OsErrorCode>(c.row);
  std::optional<LocalDateTime> unconvertible;
  if (c.op) {
    s.fs.injectFault(*c.op, path, code);
  } else {
    unconvertible = oracle::nth(kStart, c.row, 60);
  }
  const std::string rowName = target.name;
  const bool isFile = target.isFile();

  const RunRecord record = run(s, options, unconvertible);
  const RunResult& r = record.result;
  expectReportMatchesDisk(s, options, r);

  const bool hit = c.op ? s.fs.faultFired() : true;
  if (!hit) {
    // The operation does not apply to this row's kind.
    EXPECT_EQ(r.outcome, Outcome::Completed);
    EXPECT_EQ(r.text(), "変更しました");
    EXPECT_EQ(r.changed, 5);
    EXPECT_EQ(r.failure.row, -1);
    return;
  }
  ASSERT_NE(r.outcome, Outcome::Completed) << "a failure must never end as completed";
  EXPECT_EQ(r.failure.row, c.row);

  const bool inPrecheck =
      c.op && (*c.op == Op::ReadAttributes || *c.op == Op::FileExists || *c.op == Op::FolderExists);
  if (inPrecheck) {
    EXPECT_EQ(r.outcome, Outcome::PrecheckFailed);
    EXPECT_EQ(r.changed, 0);
    EXPECT_EQ(s.fs.callCount(Op::OpenFile) + s.fs.callCount(Op::OpenFolder), 0);
    // Progress told of the rows checked before the failing one, none stamped.
    ASSERT_EQ(record.progress.size(), static_cast<std::size_t>(c.row));
    for (int i = 0; i < c.row; ++i) {
      EXPECT_EQ(record.progress[static_cast<std::size_t>(i)], (std::array<int, 3>{i + 1, 10, 0}));
    }
    const std::string kind = isFile ? "ファイル" : "フォルダ";
    const std::string expected =
        *c.op == Op::ReadAttributes
            ? "リードオンリー属性の\r\n" + kind + "があります\r\n\r\n" + rowName
            : "見当たらない" + kind + "があります \r\n\r\n" + rowName;
    EXPECT_EQ(r.text(), expected);
    EXPECT_EQ(r.failure.osError, 0u) << "the check's own refusal has no system reason";
  } else {
    EXPECT_EQ(r.outcome, Outcome::Stopped);
    EXPECT_EQ(r.changed, c.row);
    const std::string kind = isFile ? "ファイル " : "フォルダ ";
    const bool atOpen = c.op && (*c.op == Op::OpenFile || *c.op == Op::OpenFolder);
    EXPECT_EQ(r.failure.message,
              kind + path + (atOpen ? " は開けません" : " の日時を変更できません"));
    EXPECT_EQ(r.failure.osError, c.op ? code : 0u);
    // The system's reason follows on its own line: a code the system has no
    // words for is shown by its number.
    EXPECT_EQ(r.text(), r.failure.message + (c.op ? "\r\nエラー " + std::to_string(code) : ""));
    // Progress told of all five rows checked, then of exactly the rows
    // that were stamped.
    ASSERT_EQ(record.progress.size(), static_cast<std::size_t>(5 + c.row));
    for (int i = 0; i < 5 + c.row; ++i) {
      EXPECT_EQ(record.progress[static_cast<std::size_t>(i)],
                (std::array<int, 3>{i + 1, 10, std::max(0, i - 4)}));
    }
  }
}

std::vector<FaultCase> allFaultCases() {
  const std::optional<Op> ops[] = {Op::ReadAttributes, Op::FileExists, Op::FolderExists,
                                   Op::OpenFile,       Op::OpenFolder, Op::SetTimes,
                                   std::nullopt};
  std::vector<FaultCase> cases;
  for (const auto& op : ops) {
    for (int row = 0; row < 5; ++row) {
      for (int flags = 0; flags < 4; ++flags) {
        cases.push_back({op, row, (flags & 1) != 0, (flags & 2) != 0});
      }
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(AllOperations, EveryFaultAtEveryRow, testing::ValuesIn(allFaultCases()),
                         [](const testing::TestParamInfo<FaultCase>& info) {
                           const FaultCase& c = info.param;
                           return opName(c.op) + "_Row" + std::to_string(c.row) +
                                  (c.setCreation ? "_Creation" : "") +
                                  (c.setLastAccess ? "_Access" : "");
                         });

TEST(StampingPrecheck, RunsBothTestsOfEveryRowBeforeAnyOpen) {
  Scene s;
  fillMixed(s);
  StampOptions options;
  options.start = kStart;
  const RunRecord record = run(s, options);
  ASSERT_EQ(record.result.outcome, Outcome::Completed);
  // Five reads, then an existence test per row, all before the first open.
  std::vector<FaultFileOps::Call> precheck(s.fs.calls().begin(), s.fs.calls().begin() + 10);
  for (std::size_t k = 0; k < 5; ++k) {
    const std::string path = platform::joinPath(kFolder, s.rows[k].name);
    EXPECT_EQ(precheck[2 * k].op, Op::ReadAttributes);
    EXPECT_EQ(precheck[2 * k].path, path);
    EXPECT_EQ(precheck[2 * k + 1].op, s.rows[k].isFile() ? Op::FileExists : Op::FolderExists);
    EXPECT_EQ(precheck[2 * k + 1].path, path);
  }
}

TEST(StampingPrecheck, NamesTheFirstFailingRowAndChangesNothing) {
  Scene s;
  for (int i = 0; i < 10; ++i) {
    const std::string name = oracle::numbered("f", i, ".txt");
    s.rows.push_back(fileRow(name));
    s.fs.addFile(platform::joinPath(kFolder, name), oldTimes(i),
                 platform::kAttrArchive | (i == 5 ? platform::kAttrReadOnly : 0));
  }
  s.fs.remove(platform::joinPath(kFolder, "f8.txt"));  // a later failure stays unnamed
  StampOptions options;
  options.start = kStart;
  const RunRecord record = run(s, options);
  EXPECT_EQ(record.result.outcome, Outcome::PrecheckFailed);
  EXPECT_EQ(record.result.text(), "リードオンリー属性の\r\nファイルがあります\r\n\r\nf5.txt");
  EXPECT_EQ(record.result.failure.row, 5);
  EXPECT_EQ(s.fs.callCount(Op::OpenFile), 0);
  EXPECT_EQ(s.fs.callCount(Op::ReadAttributes), 6) << "the pass stops after the failing row";
  for (const auto& row : s.rows) EXPECT_EQ(row.timeText, kOldText);
}

TEST(StampingPrecheck, MissingEntryGetsTheMissingMessageNotTheReadOnlyOne) {
  struct Case {
    folderlist::ListEntry row;
    bool addAsFolder;  // what the path now is; nullopt-like: absent
    bool absent;
    std::string expected;
  };
  const Case cases[] = {
      {fileRow("gone.txt"), false, true, "見当たらないファイルがあります \r\n\r\ngone.txt"},
      {folderRow("gone"), false, true, "見当たらないフォルダがあります \r\n\r\ngone"},
      {folderRow("nowfile"), false, false, "見当たらないフォルダがあります \r\n\r\nnowfile"},
      {fileRow("nowfolder"), true, false, "見当たらないファイルがあります \r\n\r\nnowfolder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row.name);
    Scene s;
    s.rows = {fileRow("first.txt"), c.row};
    s.fs.addFile(platform::joinPath(kFolder, "first.txt"), oldTimes(0));
    const std::string path = platform::joinPath(kFolder, c.row.name);
    if (!c.absent) {
      if (c.addAsFolder) {
        s.fs.addFolder(path, oldTimes(1));
      } else {
        s.fs.addFile(path, oldTimes(1));
      }
    }
    StampOptions options;
    options.start = kStart;
    const RunRecord record = run(s, options);
    EXPECT_EQ(record.result.outcome, Outcome::PrecheckFailed);
    EXPECT_EQ(record.result.text(), c.expected);
    EXPECT_EQ(s.fs.find(platform::joinPath(kFolder, "first.txt"))->timeChanges, 0);
  }
}

TEST(StampingPrecheck, ReadOnlyFolderIsRefused) {
  Scene s;
  s.rows = {fileRow("a.txt"), folderRow("locked")};
  s.fs.addFile(platform::joinPath(kFolder, "a.txt"), oldTimes(0));
  s.fs.addFolder(platform::joinPath(kFolder, "locked"), oldTimes(1),
                 platform::kAttrDirectory | platform::kAttrReadOnly);
  StampOptions options;
  options.start = kStart;
  const RunRecord record = run(s, options);
  EXPECT_EQ(record.result.outcome, Outcome::PrecheckFailed);
  EXPECT_EQ(record.result.text(), "リードオンリー属性の\r\nフォルダがあります\r\n\r\nlocked");
}

TEST(StampingRun, StepsAreExactOverLongLists) {
  for (const stamping::Step step : {stamping::Step::OneMinute, stamping::Step::TwoSeconds}) {
    Scene s;
    constexpr int kRows = 5000;
    for (int i = 0; i < kRows; ++i) {
      const std::string name = oracle::numbered("n", i);
      s.rows.push_back(fileRow(name));
      s.fs.addFile(platform::joinPath(kFolder, name), oldTimes(i));
    }
    StampOptions options;
    options.start = {2012, 2, 28, 23, 59, 58};
    options.step = step;
    const RunRecord record = run(s, options);
    ASSERT_EQ(record.result.outcome, Outcome::Completed);
    expectReportMatchesDisk(s, options, record.result);
    const FileTime first = s.fs.find(platform::joinPath(kFolder, "n0"))->times.lastWrite;
    const FileTime last =
        s.fs.find(platform::joinPath(kFolder, oracle::numbered("n", kRows - 1)))->times.lastWrite;
    EXPECT_EQ(last - first, static_cast<FileTime>(kRows - 1) *
                                static_cast<FileTime>(stamping::stepSeconds(step)) *
                                platform::kTicksPerSecond);
  }
}

TEST(StampingRun, TwoSecondStepCrossesTheYearEnd) {
  Scene s;
  s.rows = {fileRow("a"), folderRow("b"), fileRow("c")};
  s.fs.addFile(platform::joinPath(kFolder, "a"), oldTimes(0));
  s.fs.addFolder(platform::joinPath(kFolder, "b"), oldTimes(1));
  s.fs.addFile(platform::joinPath(kFolder, "c"), oldTimes(2));
  StampOptions options;
  options.start = {2009, 12, 31, 23, 59, 58};
  options.step = stamping::Step::TwoSeconds;
  ASSERT_EQ(run(s, options).result.outcome, Outcome::Completed);
  EXPECT_EQ(s.rows[0].timeText, "2009/12/31 23:59:58");
  EXPECT_EQ(s.rows[1].timeText, "2010/01/01 00:00:00");
  EXPECT_EQ(s.rows[2].timeText, "2010/01/01 00:00:02");
}

TEST(StampingRun, TimeTextsUseTheGivenSeparators) {
  Scene s;
  s.rows = {fileRow("a")};
  s.fs.addFile(platform::joinPath(kFolder, "a"), oldTimes(0));
  StampOptions options;
  options.start = {2009, 3, 5, 12, 30, 0};
  const RunResult r = stamping::runStamping(s.rows, kFolder, s.fs, options, {"-", "."},
                                            oracle::fixedZoneFileTime, oracle::fixedZoneLocal);
  ASSERT_EQ(r.outcome, Outcome::Completed);
  EXPECT_EQ(s.rows[0].timeText, "2009-03-05 12.30.00");
}

TEST(StampingRun, RowOfAnotherKindIsNeitherCheckedNorOpened) {
  Scene s;
  s.rows = {fileRow("a"), {"odd", "<Other>", kOldText}};
  s.fs.addFile(platform::joinPath(kFolder, "a"), oldTimes(0));
  StampOptions options;
  options.start = {2009, 3, 5, 12, 30, 0};
  const RunRecord record = run(s, options);
  ASSERT_EQ(record.result.outcome, Outcome::Completed);
  for (const auto& call : s.fs.calls()) EXPECT_NE(call.path, platform::joinPath(kFolder, "odd"));
  EXPECT_EQ(s.rows[1].timeText, "2009/03/05 12:31:00");
}

}  // namespace
