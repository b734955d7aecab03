// "元に戻す(&U)" in the window flow, on the in-memory window system: when the
// command is enabled, which window has control after it, and what is shown.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/input.h"
#include "core/stamp_oracle.h"
#include "fakes/fake_app.h"
#include "fakes/fault_file_ops.h"
#include "fakes/flow_states.h"
#include "fakes/temp_folder.h"
#include "platform/path.h"

namespace {

using fakes::FaultFileOps;
using Op = FaultFileOps::Op;

using fakes::Flow;
using fakes::kIdle;
using fakes::kMessageOverMain;
using fakes::kTimeEntry;

constexpr platform::FileTime kOldBase = 127'000'000'000'000'000ULL;

// A folder of three files listed in the main window, over an in-memory file
// system that knows the files' old times.
struct Scene {
  // outsideTree: the folder is handed in from outside and no tree node
  // reaches it, so it is listed with no node selected.
  explicit Scene(bool outsideTree = false) {
    other_ = dir_.createFolder("other");
    folder_ = dir_.createFolder("work");
    const char* names[] = {"a.txt", "b.txt", "c.txt"};
    for (int i = 0; i < 3; ++i) {
      const std::string path = platform::joinPath(folder_, names[i]);
      std::ofstream(std::filesystem::u8path(path)) << "x";
      const platform::FileTime t = kOldBase + static_cast<platform::FileTime>(i) * 1'234'567;
      old_[names[i]] = {t + 1, t + 2, t + 3};
      fs_.addFile(path, old_[names[i]]);
    }
    if (outsideTree) {
      fs_.addFolder(folder_);
      app_.tree.refused.insert(folder_);
      app_.event([&] { app_.listing->openPath(folder_); });
    } else {
      app_.tree.path = folder_;
      app_.event([&] { app_.listing->listSelectedFolder(); });
    }
    for (const auto& row : app_.folder().rows()) oldTexts_.push_back(row.timeText.str());
  }

  Flow flow() const { return fakes::flowOf(app_); }

  // Opens the time dialog, stamps from 2009/03/05 12:30:00 and dismisses
  // the completion notice.
  void stamp(const char* minute = "30") {
    app_.event([&] { app_.commands->showTimeDialog(); });
    app_.setFieldTexts({"2009", "3", "5", "12", minute, "0"});
    app_.event([&] { app_.timeEntry->confirm(); });
    ASSERT_EQ(app_.label.text(), "変更しました");
    app_.event([&] { app_.messages->dismiss(); });
    ASSERT_EQ(flow(), kIdle);
  }

  const FaultFileOps::Times& timesOf(int row) const {
    return fs_.find(platform::joinPath(folder_, app_.folder().rows()[row].name))->times;
  }
  // The times an entry had before any run; rows stand in the listing's order.
  FaultFileOps::Times oldTimes(int row) const { return old_.at(app_.folder().rows()[row].name); }

  testsupport::TempFolder dir_;
  std::string folder_;
  std::string other_;
  FaultFileOps fs_;
  fakes::FakeApp app_{&fs_};
  std::vector<std::string> oldTexts_;
  std::map<std::string, FaultFileOps::Times> old_;
};

TEST(UndoFlow, GreyUntilARunThenUndoesAndShowsTheNoticeOverTheMainWindow) {
  Scene s;
  EXPECT_FALSE(s.app_.itemEnabled(app::Command::undo)) << "nothing stamped yet";
  s.stamp();
  EXPECT_TRUE(s.app_.itemEnabled(app::Command::undo));
  ASSERT_NE(s.app_.folder().rows()[0].timeText, s.oldTexts_[0]);

  const std::string caption = s.app_.mainWindow.caption();
  const int paints = s.app_.paintPump.count;
  s.app_.event([&] { s.app_.commands->undo(); });
  EXPECT_GT(s.app_.paintPump.count, paints) << "the windows are painted while it works";
  EXPECT_EQ(s.flow(), kMessageOverMain);
  EXPECT_EQ(s.app_.label.text(), "元に戻しました");
  EXPECT_EQ(s.app_.messageWindow.caption(), "");
  EXPECT_EQ(s.app_.mainWindow.caption(), caption) << "the progress is gone from the caption";
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(s.timesOf(k), s.oldTimes(k)) << "row " << k;
    EXPECT_EQ(s.app_.folder().rows()[k].timeText, s.oldTexts_[k]) << "row " << k;
  }
  ASSERT_FALSE(s.app_.list.redrawn.empty());
  EXPECT_EQ(s.app_.list.redrawn.back().last, 2);
  EXPECT_FALSE(s.app_.itemEnabled(app::Command::undo)) << "one level: an undo cannot be undone";

  s.app_.event([&] { s.app_.messages->dismiss(); });
  EXPECT_EQ(s.flow(), kIdle);
  // A stray command while greyed changes nothing.
  const int calls = static_cast<int>(s.fs_.calls().size());
  s.app_.event([&] { s.app_.commands->undo(); });
  EXPECT_EQ(s.flow(), kIdle);
  EXPECT_EQ(static_cast<int>(s.fs_.calls().size()), calls);
  // The time command works as before.
  s.app_.event([&] { s.app_.commands->showTimeDialog(); });
  EXPECT_EQ(s.flow(), kTimeEntry);
}

TEST(UndoFlow, EventsThatDropWhatCanBeUndone) {
  const struct {
    const char* what;
    void (*event)(fakes::FakeApp&, const std::string& other);
    bool enabledAfter;
  } cases[] = {
      {"another folder",
       [](fakes::FakeApp& a, const std::string& other) {
         a.tree.path = other;
         a.listing->listSelectedFolder();
       },
       false},
      {"the same folder listed again",
       [](fakes::FakeApp& a, const std::string&) { a.listing->listSelectedFolder(); }, false},
      {"F5", [](fakes::FakeApp& a, const std::string&) { a.listing->keyReleased(116); }, false},
      {"終了(&X)", [](fakes::FakeApp& a, const std::string&) { a.commands->exit(); }, false},
      {"F4", [](fakes::FakeApp& a, const std::string&) { a.listing->keyReleased(115); }, true},
      {"version notice and its OK",
       [](fakes::FakeApp& a, const std::string&) {
         a.commands->showVersion();
         a.messages->dismiss();
       },
       true},
      {"time dialog cancelled",
       [](fakes::FakeApp& a, const std::string&) {
         a.commands->showTimeDialog();
         a.timeEntry->cancel();
       },
       true},
      {"status line", [](fakes::FakeApp& a, const std::string&) { a.listing->showSelection(); },
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Scene s;
    s.stamp();
    ASSERT_TRUE(s.app_.itemEnabled(app::Command::undo));
    s.app_.event([&] { c.event(s.app_, s.other_); });
    EXPECT_EQ(s.app_.itemEnabled(app::Command::undo), c.enabledAfter);
  }
}

TEST(UndoFlow, ANewRunReplacesWhatCanBeUndone) {
  Scene s;
  s.stamp("30");
  s.stamp("45");
  s.app_.event([&] { s.app_.commands->undo(); });
  EXPECT_EQ(s.app_.label.text(), "元に戻しました");
  // Back to the first run's stamps, not to the times before it.
  for (int k = 0; k < 3; ++k) {
    const FaultFileOps::Times t = s.timesOf(k);
    EXPECT_EQ(t.lastWrite, testsupport::localToFileTime(2009, 3, 5, 12, 30 + k, 0)) << k;
    EXPECT_EQ(t.creation, s.oldTimes(k).creation) << k;
    EXPECT_EQ(t.lastAccess, s.oldTimes(k).lastAccess) << k;
  }
  EXPECT_EQ(s.app_.folder().rows()[0].timeText, "2009/03/05 12:30:00");
  EXPECT_EQ(s.app_.folder().rows()[2].timeText, "2009/03/05 12:32:00");
}

TEST(UndoFlow, ARunStoppedPartWayIsTakenBackAndReplacesTheLastRecord) {
  // The second run (12:45) stops at the row held open; undo gives the rows
  // above it back the first run's stamps (12:30 + k minutes) and leaves the
  // rest alone.
  for (int stopRow = 1; stopRow < 3; ++stopRow) {
    SCOPED_TRACE("stopped at row " + std::to_string(stopRow));
    Scene s;
    s.stamp("30");
    const std::string held = platform::joinPath(s.folder_, s.app_.folder().rows()[stopRow].name);
    s.fs_.injectFault(Op::SetTimes, held);
    s.app_.event([&] { s.app_.commands->showTimeDialog(); });
    s.app_.setFieldTexts({"2009", "3", "5", "12", "45", "0"});
    EXPECT_FALSE(s.app_.event([&] { s.app_.timeEntry->confirm(); }));
    ASSERT_EQ(s.app_.errorBox.shown.size(), 1u);
    s.app_.event([&] { s.app_.timeEntry->cancel(); });
    ASSERT_EQ(s.flow(), kIdle);
    s.fs_.clearFaults();
    ASSERT_EQ(s.timesOf(0).lastWrite, testsupport::localToFileTime(2009, 3, 5, 12, 45, 0));

    ASSERT_TRUE(s.app_.itemEnabled(app::Command::undo));
    s.app_.event([&] { s.app_.commands->undo(); });
    EXPECT_EQ(s.app_.label.text(), "元に戻しました");
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(s.timesOf(k).lastWrite, testsupport::localToFileTime(2009, 3, 5, 12, 30 + k, 0))
          << "row " << k;
    }
    EXPECT_EQ(s.app_.folder().rows()[0].timeText, "2009/03/05 12:30:00");
    EXPECT_FALSE(s.app_.itemEnabled(app::Command::undo)) << "the first run's record was replaced";
  }
}

TEST(UndoFlow, ARunThatChangesNothingKeepsTheLastRecord) {
  Scene s;
  s.stamp();
  const std::string held = platform::joinPath(s.folder_, s.app_.folder().rows()[0].name);
  s.fs_.setAttributes(held, platform::kAttrReadOnly);
  s.app_.event([&] { s.app_.commands->showTimeDialog(); });
  s.app_.setFieldTexts({"2010", "1", "1", "0", "0", "0"});
  s.app_.event([&] { s.app_.timeEntry->confirm(); });  // pre-check fails
  s.app_.event([&] { s.app_.messages->dismiss(); });
  s.app_.event([&] { s.app_.timeEntry->cancel(); });
  ASSERT_EQ(s.flow(), kIdle);
  EXPECT_TRUE(s.app_.itemEnabled(app::Command::undo));
}

TEST(UndoFlow, PrecheckFailureShowsTheRunsMessageOverTheMainWindow) {
  Scene s;
  s.stamp();
  const std::string path = platform::joinPath(s.folder_, s.app_.folder().rows()[1].name);
  s.fs_.setAttributes(path, platform::kAttrReadOnly);
  s.app_.event([&] { s.app_.commands->undo(); });
  EXPECT_EQ(s.flow(), kMessageOverMain);
  EXPECT_EQ(s.app_.label.text(),
            "リードオンリー属性の\r\nファイルがあります\r\n\r\n" + s.app_.folder().rows()[1].name);
  EXPECT_NE(s.timesOf(0), s.oldTimes(0)) << "nothing changed";
  EXPECT_TRUE(s.app_.itemEnabled(app::Command::undo));
  s.app_.event([&] { s.app_.messages->dismiss(); });
  EXPECT_EQ(s.flow(), kIdle);

  s.fs_.setAttributes(path, platform::kAttrArchive);
  s.app_.event([&] { s.app_.commands->undo(); });
  EXPECT_EQ(s.app_.label.text(), "元に戻しました");
}

TEST(UndoFlow, EveryFailureAtEveryRowEndsIdleWithTheErrorBox) {
  for (Op op : {Op::OpenFile, Op::SetTimes}) {
    for (int row = 0; row < 3; ++row) {
      SCOPED_TRACE("op " + std::to_string(static_cast<int>(op)) + " row " + std::to_string(row));
      Scene s;
      s.stamp();
      s.app_.label.setText("");
      const std::string path = platform::joinPath(s.folder_, s.app_.folder().rows()[row].name);
      s.fs_.injectFault(op, path);

      EXPECT_FALSE(s.app_.event([&] { s.app_.commands->undo(); }));
      EXPECT_EQ(s.flow(), kIdle) << "the main window has control back";
      EXPECT_EQ(s.app_.label.text(), "") << "never the notice after a failure";
      ASSERT_EQ(s.app_.errorBox.shown.size(), 1u);
      EXPECT_EQ(s.app_.errorBox.shown[0].text,
                "ファイル " + path +
                    (op == Op::OpenFile ? " は開けません" : " の日時を変更できません") +
                    "\r\nアクセスが拒否されました。 (5)");
      EXPECT_EQ(s.app_.mainWindow.caption(), "");
      for (int k = 0; k < 3; ++k) {
        const bool restored = k < row;
        EXPECT_EQ(s.timesOf(k) == s.oldTimes(k), restored) << "row " << k;
        EXPECT_EQ(s.app_.folder().rows()[k].timeText == s.oldTexts_[k], restored) << "row " << k;
      }
      EXPECT_TRUE(s.app_.itemEnabled(app::Command::undo)) << "the rest can still be undone";

      s.fs_.clearFaults();
      s.app_.event([&] { s.app_.commands->undo(); });
      EXPECT_EQ(s.app_.label.text(), "元に戻しました");
      for (int k = 0; k < 3; ++k) EXPECT_EQ(s.timesOf(k), s.oldTimes(k)) << "row " << k;
      s.app_.event([&] { s.app_.messages->dismiss(); });
      EXPECT_EQ(s.flow(), kIdle);
      EXPECT_FALSE(s.app_.itemEnabled(app::Command::undo));
    }
  }
}

TEST(UndoFlow, ANodeChangedWithoutAListingUndoesNothing) {
  Scene s;
  s.stamp();
  s.app_.tree.path = s.other_;  // the tree says another folder; no listing yet
  const int calls = static_cast<int>(s.fs_.calls().size());
  s.app_.event([&] { s.app_.commands->undo(); });
  EXPECT_EQ(s.flow(), kIdle);
  EXPECT_EQ(static_cast<int>(s.fs_.calls().size()), calls);
  EXPECT_FALSE(s.app_.itemEnabled(app::Command::undo));
}

// A folder no node of the tree reaches (a share the network list does not
// show) is listed all the same: the run stamps it, undo gives it back and F5
// reads it again, though the tree selects no node.
TEST(UndoFlow, AFolderListedWithoutATreeNodeIsStampedUndoneAndRefreshed) {
  Scene s(true);
  ASSERT_EQ(s.app_.tree.path, "") << "no node stands for it";
  ASSERT_EQ(s.app_.folder().path(), s.folder_);
  ASSERT_EQ(s.app_.folder().rowCount(), 3);
  s.stamp();
  EXPECT_NE(s.timesOf(0), s.oldTimes(0)) << "the run stamped the listed folder";
  EXPECT_TRUE(s.app_.itemEnabled(app::Command::undo));
  s.app_.event([&] { s.app_.commands->undo(); });
  EXPECT_EQ(s.app_.label.text(), "元に戻しました");
  for (int k = 0; k < 3; ++k) EXPECT_EQ(s.timesOf(k), s.oldTimes(k)) << "row " << k;
  s.app_.event([&] { s.app_.messages->dismiss(); });

  std::ofstream(std::filesystem::u8path(platform::joinPath(s.folder_, "d.txt"))) << "x";
  const int refreshes = s.app_.tree.refreshCount;
  s.app_.event([&] { s.app_.listing->keyReleased(app::kVirtualKeyF5); });
  EXPECT_EQ(s.app_.tree.refreshCount, refreshes + 1);
  EXPECT_EQ(s.app_.folder().path(), s.folder_);
  EXPECT_EQ(s.app_.folder().rowCount(), 4) << "F5 read the folder again";
  EXPECT_EQ(s.app_.tree.path, "");
}

}  // namespace
