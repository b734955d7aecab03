// The window flow of the three windows on the in-memory window system: which
// window is shown and enabled after every event.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "fakes/fake_app.h"
#include "fakes/flow_states.h"
#include "platform/path.h"

namespace {

namespace fs = std::filesystem;

using fakes::Flow;
using fakes::kIdle;
using fakes::kMessageOverDialog;
using fakes::kMessageOverMain;
using fakes::kTimeEntry;

class WindowFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    folder_ = fs::temp_directory_path() / ("chronoseq-flow-" + std::to_string(rd()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  // Lists a folder holding the given files, and registers them with the
  // in-memory file system that the stamping run works on.
  void listFiles(fakes::FakeApp& app, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      std::ofstream(folder_ / name) << "x";
      app.memoryFiles.entries[platform::joinPath(folder_.string(), name)] = {};
    }
    app.tree.path = folder_.string();
    app.event([&] { app.listing->listSelectedFolder(); });
  }

  static Flow flow(const fakes::FakeApp& app) { return fakes::flowOf(app); }

  fs::path folder_;
};

// Whether the time dialog takes a year in its first field, which is bounded
// by the year of the moment filled in last: the preview line stays empty
// while a field is not valid.
bool takesYear(fakes::FakeApp& app, const char* year) {
  const std::string kept = app.fields[0].text();
  app.fields[0].setText(year);
  app.timeEntry->fieldsChanged();
  const bool taken = !app.preview.text().empty();
  app.fields[0].setText(kept);
  app.timeEntry->fieldsChanged();
  return taken;
}

TEST_F(WindowFlow, StartsIdleWithTheCreationStepsDone) {
  fakes::FakeApp app;
  EXPECT_EQ(flow(app), kIdle);
  EXPECT_TRUE(app.mainWindow.isVisible());
  EXPECT_TRUE(app.settingsLoadTimer.isEnabled());
  EXPECT_FALSE(app.moveStepTimer.isEnabled());
  EXPECT_FALSE(app.dragScrollTimer.isEnabled());
  EXPECT_EQ(app.dialog.deletedMenuItems, std::vector<int>{1});
  EXPECT_EQ(app.messageWindow.deletedMenuItems, std::vector<int>{1});
  // The last sort column starts as no column's: a first click on "名前"
  // sorts ascending.
  app.event([&] { app.order->columnClicked(0); });
  EXPECT_EQ(app.list.sortArrowColumn, 0);
  EXPECT_FALSE(app.list.sortArrowDescending);
  EXPECT_TRUE(app.minuteStep.isChecked());
  EXPECT_FALSE(app.twoSecondStep.isChecked());
  EXPECT_EQ(app.messageWindow.caption(), "");
}

TEST_F(WindowFlow, TimeCommandOnAnEmptyListDoesNothing) {
  fakes::FakeApp app;
  app.tree.path = folder_.string();
  app.event([&] { app.listing->listSelectedFolder(); });
  ASSERT_EQ(app.folder().rowCount(), 0);
  app.event([&] { app.commands->showTimeDialog(); });
  EXPECT_EQ(flow(app), kIdle);
  EXPECT_EQ(app.fields[0].text(), "");
}

TEST_F(WindowFlow, VersionNoticeLocksTheMainWindowUntilOk) {
  fakes::FakeApp app;
  app.event([&] { app.commands->showVersion(); });
  EXPECT_EQ(flow(app), kMessageOverMain);
  EXPECT_EQ(app.label.text(), "\r\nChronoseq Version 0.7");
  EXPECT_EQ(app.messageWindow.caption(), "バージョン情報");

  app.event([&] { app.messages->dismiss(); });
  EXPECT_EQ(flow(app), kIdle);
  EXPECT_EQ(app.messageWindow.caption(), "");
}

TEST_F(WindowFlow, TimeDialogOpensFilledWithTodayAndCancels) {
  fakes::FakeApp app;
  listFiles(app, {"a.txt"});
  app.minuteStep.setChecked(false);
  app.twoSecondStep.setChecked(true);
  app.alsoAccess.setChecked(true);

  app.event([&] { app.commands->showTimeDialog(); });
  EXPECT_EQ(flow(app), kTimeEntry);
  const char* expected[] = {"2026", "12", "8", "0", "0", "0"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(app.fields[i].text(), expected[i]) << "field " << i;
  EXPECT_TRUE(takesYear(app, "2026"));
  EXPECT_FALSE(takesYear(app, "2027"));

  app.event([&] { app.timeEntry->cancel(); });
  EXPECT_EQ(flow(app), kIdle);
  // The options carry over to the next opening.
  app.event([&] { app.commands->showTimeDialog(); });
  EXPECT_TRUE(app.twoSecondStep.isChecked());
  EXPECT_TRUE(app.alsoAccess.isChecked());
  EXPECT_FALSE(app.alsoCreation.isChecked());
}

TEST_F(WindowFlow, PresentTimeFillsWithoutLeadingZerosAndRaisesTheYear) {
  platform::LocalDateTime now{2026, 12, 31, 23, 59, 59};
  fakes::FakeApp app(nullptr, [&] { return now; });
  listFiles(app, {"a.txt"});
  app.event([&] { app.commands->showTimeDialog(); });
  EXPECT_FALSE(takesYear(app, "2027"));

  now = {2027, 1, 1, 0, 5, 7};
  app.event([&] { app.timeEntry->fillNow(); });
  const char* expected[] = {"2027", "1", "1", "0", "5", "7"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(app.fields[i].text(), expected[i]) << "field " << i;
  EXPECT_TRUE(takesYear(app, "2027"));
  EXPECT_EQ(flow(app), kTimeEntry);
}

TEST_F(WindowFlow, BadFieldShowsOneMessageOverTheLockedDialog) {
  fakes::FakeApp app;
  listFiles(app, {"a.txt"});
  app.event([&] { app.commands->showVersion(); });
  app.event([&] { app.messages->dismiss(); });
  app.event([&] { app.commands->showTimeDialog(); });
  app.setFieldTexts({"2009", "13", "5", "12", "30", "0"});

  app.event([&] { app.timeEntry->confirm(); });
  EXPECT_EQ(flow(app), kMessageOverDialog);
  EXPECT_EQ(app.label.text(), "月の範囲が無効です\r\n\r\n13");
  EXPECT_FALSE(app.label.shownWhole()) << "the design's fixed label";
  EXPECT_EQ(app.messageWindow.caption(), "");
  EXPECT_FALSE(app.memoryFiles.entries.begin()->second.lastWrite.has_value());

  app.event([&] { app.messages->dismiss(); });
  EXPECT_EQ(flow(app), kTimeEntry);
  EXPECT_EQ(app.fields[1].text(), "13");  // fields stay as typed
}

TEST_F(WindowFlow, CompletedRunShowsTheNoticeOverTheMainWindow) {
  fakes::FakeApp app;
  listFiles(app, {"a.txt", "b.txt", "c.txt"});
  app.list.setSelected(1, true);  // the selection plays no part
  app.event([&] { app.commands->showTimeDialog(); });
  app.setFieldTexts({"2009", "3", "5", "12", "30", "0"});

  app.event([&] { app.timeEntry->confirm(); });
  EXPECT_EQ(flow(app), kMessageOverMain);
  EXPECT_EQ(app.label.text(), "変更しました");
  EXPECT_EQ(app.dialog.caption(), "TIME変更");
  for (const auto& [path, entry] : app.memoryFiles.entries) {
    EXPECT_TRUE(entry.lastWrite.has_value()) << path;
  }
  for (const auto& row : app.folder().rows())
    EXPECT_EQ(row.timeText.substr(0, 13), "2009/03/05 12");
  ASSERT_FALSE(app.list.redrawn.empty());
  EXPECT_EQ(app.list.redrawn.back().last, 2);

  app.event([&] { app.messages->dismiss(); });
  EXPECT_EQ(flow(app), kIdle);
  app.event([&] { app.commands->showTimeDialog(); });
  EXPECT_EQ(flow(app), kTimeEntry);
}

TEST_F(WindowFlow, FailedPrecheckReturnsToTheDialog) {
  fakes::FakeApp app;
  listFiles(app, {"a.txt", "b.txt"});
  app.memoryFiles.entries[platform::joinPath(folder_.string(), "b.txt")].readOnly = true;
  app.event([&] { app.commands->showTimeDialog(); });
  app.setFieldTexts({"2009", "3", "5", "12", "30", "0"});

  app.event([&] { app.timeEntry->confirm(); });
  EXPECT_EQ(flow(app), kMessageOverDialog);
  EXPECT_EQ(app.label.text(), "リードオンリー属性の\r\nファイルがあります\r\n\r\nb.txt");
  for (const auto& [path, entry] : app.memoryFiles.entries) {
    EXPECT_FALSE(entry.lastWrite.has_value()) << path;
  }
  app.event([&] { app.messages->dismiss(); });
  EXPECT_EQ(flow(app), kTimeEntry);
}

TEST_F(WindowFlow, FileHeldOpenStopsTheRunAndGivesTheDialogBack) {
  fakes::FakeApp app;
  listFiles(app, {"a.txt", "b.txt", "c.txt"});
  const int held = 1;
  const std::string heldName = app.folder().rows()[held].name;
  const std::string heldPath = platform::joinPath(folder_.string(), heldName);
  app.memoryFiles.entries[heldPath].heldOpen = true;
  const std::string oldText = app.folder().rows()[held].timeText.str();
  app.event([&] { app.commands->showTimeDialog(); });
  app.setFieldTexts({"2009", "3", "5", "12", "30", "0"});

  EXPECT_FALSE(app.event([&] { app.timeEntry->confirm(); }));
  ASSERT_EQ(app.errorBox.shown.size(), 1u);
  EXPECT_EQ(app.errorBox.shown[0].caption, "Chronoseq");
  // The system's reason on the line after the message, then the code.
  const std::string& shown = app.errorBox.shown[0].text;
  const std::string head = "ファイル " + heldPath + " は開けません\r\n";
#ifdef _WIN32
  // Wine has words of its own for ERROR_SHARING_VIOLATION ("共有違反です。").
  EXPECT_TRUE(shown.starts_with(head) && shown.ends_with(" (32)") && shown.size() > head.size() + 5)
      << shown;
#else
  EXPECT_EQ(shown,
            head + "プロセスはファイルにアクセスできません。別のプロセスが使用中です。 (32)");
#endif
  EXPECT_EQ(flow(app), kTimeEntry);
  EXPECT_EQ(app.dialog.caption(), "TIME変更");
  EXPECT_EQ(app.folder().rows()[0].timeText, "2009/03/05 12:30:00");
  EXPECT_TRUE(std::any_of(app.list.redrawn.begin(), app.list.redrawn.end(), [](const auto& r) {
    return r.first <= 0 && 0 <= r.last;
  })) << "the row stamped before the stop is shown with its new time";
  EXPECT_EQ(app.folder().rows()[held].timeText, oldText);
  EXPECT_FALSE(
      app.memoryFiles.entries[platform::joinPath(folder_.string(), app.folder().rows()[2].name)]
          .lastWrite.has_value());
}

TEST_F(WindowFlow, StatusLineFollowsTheSelection) {
  fakes::FakeApp app;
  listFiles(app, {"a.txt", "b.txt", "c.txt"});
  EXPECT_EQ(app.statusBar.panelText(0), "");

  app.list.setSelected(2, true);
  app.list.setSelected(1, true);
  app.event([&] { app.listing->showSelection(); });
  EXPECT_EQ(app.statusBar.panelText(0), "2/3 個のオブジェクトを選択");
  EXPECT_EQ(app.statusBar.panelText(1), app.folder().rows()[1].name);

  app.list.setSelected(1, false);
  app.list.setSelected(2, false);
  app.event([&] { app.listing->showSelection(); });
  EXPECT_EQ(app.statusBar.panelText(0), "");
  EXPECT_EQ(app.statusBar.panelText(1), "");
}

TEST_F(WindowFlow, NewListingEmptiesThePanelsAndCountsItsRows) {
  fakes::FakeApp app;
  listFiles(app, {"a.txt", "b.txt"});
  app.list.setSelected(0, true);
  app.event([&] { app.listing->showSelection(); });
  ASSERT_NE(app.statusBar.panelText(0), "");

  fs::create_directories(folder_ / "empty");
  app.tree.path = (folder_ / "empty").string();
  app.event([&] { app.listing->listSelectedFolder(); });
  EXPECT_EQ(app.folder().rowCount(), 0);
  EXPECT_EQ(app.list.rowCount(), 0);
  EXPECT_EQ(app.statusBar.panelText(0), "");
  EXPECT_EQ(app.statusBar.panelText(1), "");
}

TEST_F(WindowFlow, PathsThatNameNoFolderListNothing) {
  fakes::FakeApp app;
  // A folder of the display name's name in the current folder must not be listed.
  const fs::path previous = fs::current_path();
  fs::current_path(folder_);
  fs::create_directories(folder_ / "PC");
  std::ofstream(folder_ / "PC" / "x.txt") << "x";
  for (const char* path : {"PC", ""}) {
    app.tree.path = path;
    app.event([&] { app.listing->listSelectedFolder(); });
    EXPECT_EQ(app.folder().rowCount(), 0) << "path '" << path << "'";
  }
  fs::current_path(previous);
}

TEST_F(WindowFlow, ExitEmptiesTheListThenCloses) {
  fakes::FakeApp app;
  listFiles(app, {"a.txt"});
  app.event([&] { app.commands->exit(); });
  EXPECT_EQ(app.list.rowCount(), 0);
  EXPECT_EQ(app.folder().rowCount(), 0);
  EXPECT_TRUE(app.folder().rows().empty());
  EXPECT_EQ(app.mainWindow.closeCount, 1);
}

TEST_F(WindowFlow, OnlyF5RefreshesTheTree) {
  const struct {
    int key;
    int refreshes;
  } cases[] = {{116, 1}, {115, 0}, {117, 0}, {0x10 /* Shift */, 0}};
  for (const auto& c : cases) {
    fakes::FakeApp app;
    app.event([&] { app.listing->keyReleased(c.key); });
    EXPECT_EQ(app.tree.refreshCount, c.refreshes) << "key " << c.key;
  }
}

TEST_F(WindowFlow, SettingsTimerIsOneShot) {
  fakes::FakeApp app;
  app.event([&] { app.settingsTiming->loadTick(); });
  EXPECT_FALSE(app.settingsLoadTimer.isEnabled());
}

}  // namespace
