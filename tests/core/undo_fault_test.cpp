// Taking back a stamping run over an in-memory file system that fails chosen
// operations: after a completed run, after a run that stopped part way, and
// with every operation failing at every entry of the undo itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/stamp_oracle.h"
#include "fakes/fault_file_ops.h"
#include "folderlist/list_entry.h"
#include "platform/path.h"
#include "stamping/stamping_run.h"
#include "stamping/undo.h"

namespace {

using fakes::FaultFileOps;
using platform::FileTime;
using Op = FaultFileOps::Op;
using UndoOutcome = stamping::RunResult::Outcome;
using StampOutcome = stamping::RunResult::Outcome;

const std::string kFolder = platform::joinPath("", "fake");
const platform::DateTimeSeparators kSeparators{"/", ":"};
const platform::LocalDateTime kStart{2009, 3, 5, 12, 30, 0};

// Odd old times per entry, down to the single 100-ns tick, all three apart.
FaultFileOps::Times oldTimes(int index) {
  const FileTime base = 128'000'000'000'000'000ULL + static_cast<FileTime>(index) * 987'654'321;
  return {base + 1, base + 12'345, base + 6'789'013};
}

std::string oldText(int index) { return "2003/04/0" + std::to_string(index + 1) + " 10:11:12"; }

struct Scene {
  folderlist::EntryRows rows;
  FaultFileOps fs;
  std::string pathOf(const std::string& name) const { return platform::joinPath(kFolder, name); }
  std::string pathOf(int row) const { return pathOf(rows[static_cast<std::size_t>(row)].name); }
};

// A file, a folder, a file, a folder, a file.
Scene mixed() {
  Scene s;
  const char* names[] = {"a.txt", "sub", "b.txt", "sub2", "c.dat"};
  for (int i = 0; i < 5; ++i) {
    const bool folder = i % 2 == 1;
    s.rows.push_back(
        {names[i], folder ? std::string(folderlist::kFolderKind) : std::string(), oldText(i)});
    if (folder) {
      s.fs.addFolder(s.pathOf(names[i]), oldTimes(i));
    } else {
      s.fs.addFile(s.pathOf(names[i]), oldTimes(i));
    }
  }
  return s;
}

stamping::RunResult stampAll(Scene& s, stamping::UndoRecord& record, bool creation = true,
                             bool access = true) {
  stamping::StampOptions options;
  options.start = kStart;
  options.setCreation = creation;
  options.setLastAccess = access;
  options.keep = &record.entries;
  record.folderPath = kFolder;
  return stamping::runStamping(
      s.rows, kFolder, s.fs, options, kSeparators,
      [](const platform::LocalDateTime& t) {
        return std::optional<FileTime>(oracle::fixedZoneFileTime(t));
      },
      [](FileTime t) { return std::optional<platform::LocalDateTime>(oracle::fixedZoneLocal(t)); });
}

// Row k as stamped from kStart by the minute, all three times set.
FaultFileOps::Times stampedTimes(int k) {
  const FileTime t = oracle::fixedZoneFileTime(oracle::nth(kStart, k, 60));
  return {t, t, t};
}
std::string stampedText(int k) { return oracle::text(oracle::nth(kStart, k, 60)); }

// Every row tells the truth: it shows its old text exactly when its entry has
// its old times again, and the stamped text exactly when it has the stamp.
void expectRowsMatchEntries(const Scene& s, int restoredBelow, int stampedBelow) {
  for (int k = 0; k < static_cast<int>(s.rows.size()); ++k) {
    SCOPED_TRACE("row " + std::to_string(k));
    const FaultFileOps::Entry* entry = s.fs.find(s.pathOf(k));
    ASSERT_NE(entry, nullptr);
    const std::string text = s.rows[static_cast<std::size_t>(k)].timeText.str();
    if (k < restoredBelow || k >= stampedBelow) {
      EXPECT_EQ(entry->times, oldTimes(k));
      EXPECT_EQ(text, oldText(k));
    } else {
      EXPECT_EQ(entry->times, stampedTimes(k));
      EXPECT_EQ(text, stampedText(k));
    }
  }
  EXPECT_EQ(s.fs.openEntries(), 0) << "every opened entry is closed again";
}

TEST(Undo, AfterACompletedRunGivesBackEveryTimeAndText) {
  const struct {
    bool creation;
    bool access;
  } options[] = {{false, false}, {true, false}, {false, true}, {true, true}};
  for (const auto& o : options) {
    SCOPED_TRACE(std::to_string(o.creation) + std::to_string(o.access));
    Scene s = mixed();
    stamping::UndoRecord record;
    ASSERT_EQ(stampAll(s, record, o.creation, o.access).outcome, StampOutcome::Completed);
    ASSERT_EQ(record.entries.size(), 5u);

    std::vector<std::pair<int, int>> progress;
    const stamping::RunResult r = stamping::runUndo(
        record, s.rows, s.fs, [&](int done, int total) { progress.emplace_back(done, total); });
    EXPECT_EQ(r.outcome, UndoOutcome::Completed);
    EXPECT_EQ(r.text(), "元に戻しました");
    EXPECT_EQ(r.changed, 5);
    EXPECT_TRUE(record.entries.empty()) << "one level: nothing is left to take back";
    expectRowsMatchEntries(s, 5, 5);
    EXPECT_EQ(progress.back(), std::make_pair(5, 5));
    EXPECT_EQ(progress.size(), 5u);
  }
}

TEST(Undo, AfterARunStoppedAtRowKGivesBackTheRowsAbove) {
  for (int k = 0; k < 5; ++k) {
    SCOPED_TRACE("stopped at row " + std::to_string(k));
    Scene s = mixed();
    s.fs.injectFault(k % 2 == 1 ? Op::OpenFolder : Op::OpenFile, s.pathOf(k));
    stamping::UndoRecord record;
    const stamping::RunResult run = stampAll(s, record);
    ASSERT_EQ(run.outcome, StampOutcome::Stopped);
    ASSERT_EQ(record.entries.size(), static_cast<std::size_t>(k));
    s.fs.clearFaults();

    const stamping::RunResult r = stamping::runUndo(record, s.rows, s.fs);
    EXPECT_EQ(r.outcome, UndoOutcome::Completed);
    EXPECT_EQ(r.changed, k);
    expectRowsMatchEntries(s, 5, 5);
  }
}

TEST(Undo, EntriesWhoseTimesCannotBeReadAreNotChanged) {
  for (int k = 0; k < 5; ++k) {
    SCOPED_TRACE("row " + std::to_string(k));
    Scene s = mixed();
    s.fs.injectFault(Op::ReadTimes, s.pathOf(k), 0x4321);
    stamping::UndoRecord record;
    const stamping::RunResult run = stampAll(s, record);
    EXPECT_EQ(run.outcome, StampOutcome::Stopped);
    EXPECT_EQ(run.changed, k);
    EXPECT_EQ(run.failure.osError, 0x4321u);
    const std::string kind = k % 2 == 1 ? "フォルダ " : "ファイル ";
    EXPECT_EQ(run.text(), kind + s.pathOf(k) + " の日時を読み取れません\r\nエラー 17185");
    EXPECT_EQ(record.entries.size(), static_cast<std::size_t>(k));
    expectRowsMatchEntries(s, 0, k);
  }
}

TEST(Undo, FindsRowsByNameAfterTheListWasReordered) {
  Scene s = mixed();
  stamping::UndoRecord record;
  ASSERT_EQ(stampAll(s, record).outcome, StampOutcome::Completed);
  std::reverse(s.rows.begin(), s.rows.end());
  ASSERT_EQ(stamping::runUndo(record, s.rows, s.fs).outcome, UndoOutcome::Completed);
  const char* expected[] = {"2003/04/05 10:11:12", "2003/04/04 10:11:12", "2003/04/03 10:11:12",
                            "2003/04/02 10:11:12", "2003/04/01 10:11:12"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(s.rows[static_cast<std::size_t>(i)].timeText, expected[i]);
}

TEST(Undo, PrecheckUsesTheRunsMessagesAndChangesNothing) {
  struct Case {
    const char* what;
    int row;
    bool remove;  // else made read-only
    const char* message;
  };
  const Case cases[] = {
      {"missing file", 2, true, "見当たらないファイルがあります \r\n\r\nb.txt"},
      {"missing folder", 3, true, "見当たらないフォルダがあります \r\n\r\nsub2"},
      {"read-only file", 4, false, "リードオンリー属性の\r\nファイルがあります\r\n\r\nc.dat"},
      {"read-only folder", 1, false, "リードオンリー属性の\r\nフォルダがあります\r\n\r\nsub"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scene s = mixed();
    stamping::UndoRecord record;
    ASSERT_EQ(stampAll(s, record).outcome, StampOutcome::Completed);
    if (c.remove) {
      s.fs.remove(s.pathOf(c.row));
    } else {
      s.fs.setAttributes(s.pathOf(c.row), platform::kAttrReadOnly);
    }
    const stamping::RunResult r = stamping::runUndo(record, s.rows, s.fs);
    EXPECT_EQ(r.outcome, UndoOutcome::PrecheckFailed);
    EXPECT_EQ(r.text(), c.message);
    EXPECT_EQ(r.changed, 0);
    EXPECT_EQ(record.entries.size(), 5u) << "all is kept for another try";
    EXPECT_EQ(s.fs.callCount(Op::OpenFile) + s.fs.callCount(Op::OpenFolder), 5)
        << "the run's five opens and none of the undo's";
    for (int k = 0; k < 5; ++k) {
      if (k == c.row && c.remove) continue;
      EXPECT_EQ(s.fs.find(s.pathOf(k))->times, stampedTimes(k)) << "row " << k;
      EXPECT_EQ(s.rows[static_cast<std::size_t>(k)].timeText, stampedText(k));
    }
  }
}

struct UndoFault {
  Op op;
  int row;
};

class UndoEveryFaultAtEveryRow : public testing::TestWithParam<UndoFault> {};

TEST_P(UndoEveryFaultAtEveryRow, StopsThereAndALaterUndoFinishes) {
  const UndoFault& c = GetParam();
  Scene s = mixed();
  stamping::UndoRecord record;
  ASSERT_EQ(stampAll(s, record).outcome, StampOutcome::Completed);
  const std::string path = s.pathOf(c.row);
  const bool isFile = c.row % 2 == 0;
  s.fs.injectFault(c.op, path, 0x2000 + static_cast<platform::OsErrorCode>(c.row));

  const stamping::RunResult r = stamping::runUndo(record, s.rows, s.fs);
  if (!s.fs.faultFired()) {
    // The operation does not apply to this entry's kind.
    EXPECT_EQ(r.outcome, UndoOutcome::Completed);
    expectRowsMatchEntries(s, 5, 5);
    return;
  }
  EXPECT_NE(r.outcome, UndoOutcome::Completed) << "a failure never ends as completed";
  EXPECT_NE(r.text(), "元に戻しました");
  const std::string kind = isFile ? "ファイル" : "フォルダ";
  const std::string name = s.rows[static_cast<std::size_t>(c.row)].name;
  switch (c.op) {
    case Op::ReadAttributes:
      EXPECT_EQ(r.outcome, UndoOutcome::PrecheckFailed);
      EXPECT_EQ(r.text(), "リードオンリー属性の\r\n" + kind + "があります\r\n\r\n" + name);
      expectRowsMatchEntries(s, 0, 5);
      break;
    case Op::FileExists:
    case Op::FolderExists:
      EXPECT_EQ(r.outcome, UndoOutcome::PrecheckFailed);
      EXPECT_EQ(r.text(), "見当たらない" + kind + "があります \r\n\r\n" + name);
      expectRowsMatchEntries(s, 0, 5);
      break;
    case Op::OpenFile:
    case Op::OpenFolder:
    case Op::SetTimes:
      EXPECT_EQ(r.outcome, UndoOutcome::Stopped);
      EXPECT_EQ(
          r.failure.message,
          kind + " " + path + (c.op == Op::SetTimes ? " の日時を変更できません" : " は開けません"));
      EXPECT_EQ(r.failure.osError, 0x2000u + static_cast<unsigned>(c.row));
      EXPECT_EQ(r.changed, c.row);
      expectRowsMatchEntries(s, c.row, 5);
      EXPECT_EQ(record.entries.size(), static_cast<std::size_t>(5 - c.row));
      break;
    default:
      FAIL() << "the undo reads no times";
  }

  // Once the entry is free again, a later undo finishes the rest.
  s.fs.clearFaults();
  const stamping::RunResult again = stamping::runUndo(record, s.rows, s.fs);
  EXPECT_EQ(again.outcome, UndoOutcome::Completed);
  EXPECT_EQ(again.text(), "元に戻しました");
  expectRowsMatchEntries(s, 5, 5);
  EXPECT_TRUE(record.entries.empty());
}

std::vector<UndoFault> allUndoFaults() {
  std::vector<UndoFault> cases;
  for (Op op : {Op::ReadAttributes, Op::FileExists, Op::FolderExists, Op::OpenFile, Op::OpenFolder,
                Op::SetTimes}) {
    for (int row = 0; row < 5; ++row) cases.push_back({op, row});
  }
  return cases;
}

std::string opName(Op op) { return FaultFileOps::opName(op); }

INSTANTIATE_TEST_SUITE_P(AllOperations, UndoEveryFaultAtEveryRow,
                         testing::ValuesIn(allUndoFaults()),
                         [](const testing::TestParamInfo<UndoFault>& info) {
                           return opName(info.param.op) + "_Row" + std::to_string(info.param.row);
                         });

}  // namespace
