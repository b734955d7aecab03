// Taking back a stamping run on real files and folders: odd, sub-second old
// times come back exactly, read back with the OS's own calls; and the
// command's enablement as the program's windows drive it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_app.h"
#include "fakes/temp_folder.h"
#include "platform/file_ops.h"
#include "platform/path.h"
#include "stamping/stamping_run.h"
#include "stamping/undo.h"

namespace {

using platform::FileTime;
using testsupport::EntryTimes;

// Odd old times, each a different number of 100-ns ticks past the second;
// one before 1970 and one past 2038.
struct OldEntry {
  const char* name;
  bool folder;
  EntryTimes times;
};
const OldEntry kOld[] = {
    {"a.txt", false, {0, 126'543'210'987'654'321ULL, 126'543'210'123'456'789ULL}},
    {"sub", true, {0, 130'000'000'000'000'001ULL, 129'999'999'999'999'999ULL}},
    {"b.bin", false, {0, 116'444'736'000'000'007ULL, 116'000'000'000'000'003ULL}},  // 1968
    {"フォルダ", true, {0, 140'000'000'001'234'567ULL, 139'000'000'007'654'321ULL}},
    {"c", false, {0, 133'000'000'000'000'000ULL, 137'000'000'000'000'000ULL}},  // 2035
};

// Creation times where the file system keeps a settable one.
EntryTimes withCreation(EntryTimes t, int i) {
  if (!testsupport::creationTimeUnsupported()) {
    t.creation = 125'000'000'000'000'000ULL + static_cast<FileTime>(i) * 13'579;
  }
  return t;
}

class UndoOnDisk : public testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < static_cast<int>(std::size(kOld)); ++i) {
      const OldEntry& e = kOld[i];
      const std::string path = e.folder ? dir.createFolder(e.name) : dir.createFile(e.name, "x");
      rows.push_back({e.name, e.folder ? std::string(folderlist::kFolderKind) : std::string(),
                      "old " + std::to_string(i)});
      testsupport::setTimes(path, withCreation(e.times, i));
    }
  }

  // The times as read back, creation left out where the OS cannot set it.
  EntryTimes onDisk(int i) const {
    EntryTimes t = testsupport::readTimes(dir.pathOf(kOld[i].name));
    if (testsupport::creationTimeUnsupported()) t.creation = 0;
    return t;
  }

  testsupport::TempFolder dir;
  folderlist::EntryRows rows;
};

TEST_F(UndoOnDisk, OddSubSecondTimesComeBackExactlyInAllThree) {
  for (int i = 0; i < static_cast<int>(std::size(kOld)); ++i) {
    const EntryTimes t = onDisk(i);
    ASSERT_EQ(t.lastWrite, kOld[i].times.lastWrite) << kOld[i].name << ": the setup holds";
    ASSERT_EQ(t.lastAccess, kOld[i].times.lastAccess) << kOld[i].name;
  }

  stamping::UndoRecord record{dir.path(), {}};
  stamping::StampOptions options;
  options.start = {2009, 3, 5, 12, 30, 0};
  options.setCreation = true;
  options.setLastAccess = true;
  options.keep = &record.entries;
  const stamping::RunResult run =
      stamping::runStamping(rows, dir.path(), platform::systemFileOps(), options, {"/", ":"},
                            platform::localToUtc, platform::utcToLocal);
  ASSERT_EQ(run.outcome, stamping::RunResult::Outcome::Completed) << run.text();
  ASSERT_NE(onDisk(0).lastWrite, kOld[0].times.lastWrite);
  ASSERT_EQ(rows[0].timeText, "2009/03/05 12:30:00");

  const auto namesOnDisk = [&] {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::u8path(dir.path()))) {
      const std::u8string n = e.path().filename().u8string();
      names.emplace_back(n.begin(), n.end());
    }
    std::sort(names.begin(), names.end());
    return names;
  };
  const std::vector<std::string> entriesBefore = namesOnDisk();
  const stamping::RunResult undo = stamping::runUndo(record, rows, platform::systemFileOps());
  EXPECT_EQ(namesOnDisk(), entriesBefore) << "nothing is written beside the entries";
  ASSERT_EQ(undo.outcome, stamping::RunResult::Outcome::Completed) << undo.text();
  for (int i = 0; i < static_cast<int>(std::size(kOld)); ++i) {
    SCOPED_TRACE(kOld[i].name);
    const EntryTimes expected = withCreation(kOld[i].times, i);
    const EntryTimes t = onDisk(i);
    EXPECT_EQ(t.creation, expected.creation);
    EXPECT_EQ(t.lastAccess, expected.lastAccess);
    EXPECT_EQ(t.lastWrite, expected.lastWrite);
    EXPECT_EQ(rows[static_cast<std::size_t>(i)].timeText, "old " + std::to_string(i));
  }
}

TEST_F(UndoOnDisk, TheRunKeepsWhatTheHandleReports) {
  // The kept times are the file system's own, to the tick.
  stamping::KeptEntries kept;
  stamping::StampOptions options;
  options.start = {2010, 1, 1, 0, 0, 0};
  options.keep = &kept;
  const stamping::RunResult run =
      stamping::runStamping(rows, dir.path(), platform::systemFileOps(), options, {"/", ":"},
                            platform::localToUtc, platform::utcToLocal);
  ASSERT_EQ(run.outcome, stamping::RunResult::Outcome::Completed) << run.text();
  ASSERT_EQ(kept.size(), std::size(kOld));
  for (int i = 0; i < static_cast<int>(std::size(kOld)); ++i) {
    SCOPED_TRACE(kOld[i].name);
    EXPECT_EQ(kept[static_cast<std::size_t>(i)].name, kOld[i].name);
    EXPECT_EQ(kept[static_cast<std::size_t>(i)].timeText, "old " + std::to_string(i));
    EXPECT_EQ(kept[static_cast<std::size_t>(i)].times.lastWrite, kOld[i].times.lastWrite);
    EXPECT_EQ(kept[static_cast<std::size_t>(i)].times.lastAccess, kOld[i].times.lastAccess);
    if (!testsupport::creationTimeUnsupported()) {
      EXPECT_EQ(kept[static_cast<std::size_t>(i)].times.creation,
                withCreation(kOld[i].times, i).creation);
    }
  }
}

// The program's windows (in memory) over the real file system.
class UndoCommandOnDisk : public UndoOnDisk {
 protected:
  void SetUp() override {
    UndoOnDisk::SetUp();
    app.tree.path = dir.path();
    app.event([&] { app.listing->listSelectedFolder(); });
    ASSERT_EQ(app.folder().rowCount(), static_cast<int>(std::size(kOld)));
  }
  void stamp() {
    app.event([&] { app.commands->showTimeDialog(); });
    app.setFieldTexts({"2009", "3", "5", "12", "30", "0"});
    app.event([&] { app.timeEntry->confirm(); });
    ASSERT_EQ(app.label.text(), "変更しました");
    app.event([&] { app.messages->dismiss(); });
  }

  fakes::FakeApp app{&platform::systemFileOps()};
};

TEST_F(UndoCommandOnDisk, MenuStampUndoThenTimesFromDisk) {
  EXPECT_FALSE(app.itemEnabled(app::Command::undo));
  stamp();
  EXPECT_TRUE(app.itemEnabled(app::Command::undo));
  app.event([&] { app.commands->undo(); });
  EXPECT_EQ(app.label.text(), "元に戻しました");
  EXPECT_FALSE(app.itemEnabled(app::Command::undo));
  app.event([&] { app.messages->dismiss(); });
  EXPECT_TRUE(app.mainWindow.isEnabled());
  for (int i = 0; i < static_cast<int>(std::size(kOld)); ++i) {
    EXPECT_EQ(onDisk(i).lastWrite, kOld[i].times.lastWrite) << kOld[i].name;
    EXPECT_EQ(onDisk(i).lastAccess, kOld[i].times.lastAccess) << kOld[i].name;
  }
}

TEST_F(UndoCommandOnDisk, EnablementFollowsTheListing) {
  const std::string other = dir.createFolder("other");
  const struct {
    const char* what;
    std::function<void()> event;
    bool enabled;
  } cases[] = {
      {"another folder",
       [&] {
         app.tree.path = other;
         app.listing->listSelectedFolder();
       },
       false},
      {"F5", [&] { app.listing->keyReleased(116); }, false},
      {"a new run", [&] { stamp(); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    app.tree.path = dir.path();
    app.event([&] { app.listing->listSelectedFolder(); });
    stamp();
    ASSERT_TRUE(app.itemEnabled(app::Command::undo));
    c.event();
    EXPECT_EQ(app.itemEnabled(app::Command::undo), c.enabled);
  }
  // After the new run, undo gives back the previous run's stamps.
  app.event([&] { app.commands->undo(); });
  EXPECT_EQ(app.label.text(), "元に戻しました");
  const folderlist::EntryRows& listed = app.folder().rows();
  for (int k = 0; k < static_cast<int>(listed.size()); ++k) {
    SCOPED_TRACE(listed[static_cast<std::size_t>(k)].name);
    EXPECT_EQ(
        testsupport::readTimes(dir.pathOf(listed[static_cast<std::size_t>(k)].name)).lastWrite,
        testsupport::localToFileTime(2009, 3, 5, 12, 30 + k, 0));
  }
}

}  // namespace
