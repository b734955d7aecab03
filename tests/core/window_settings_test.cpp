// The close handler's save and the settings timer's load on the in-memory
// window system: what is written, what is applied and when, failures, and
// windows brought back within reach.

#include <gtest/gtest.h>

#include <map>

#include "app/app_objects.h"
#include "fakes/fake_app.h"
#include "fakes/fake_screen.h"
#include "fakes/memory_text_files.h"
#include "settings/settings_file.h"

namespace {

using platform::WindowBounds;

class WindowSettings : public testing::Test {
 protected:
  void SetUp() override {
    app.application.textFiles = &files;
    app.mainWindow.bounds = {0, 0, 808, 612};
    app.dialog.bounds = {239, 231, 329, 231};
    app.messageWindow.bounds = {286, 216, 225, 209};
  }

  // A tick as the event loop delivers it: only while the timer is on.
  void tick() {
    if (app.settingsLoadTimer.isEnabled()) app.event([&] { app.settingsTiming->loadTick(); });
  }
  void putFile(std::string bytes) { files.files[path] = std::move(bytes); }
  std::vector<int> columns() {
    return {app.list.columnWidth(0), app.list.columnWidth(1), app.list.columnWidth(2)};
  }

  fakes::FakeApp app;
  fakes::MemoryTextFiles files;
  fakes::FakeScreen screen;
  const std::string path = settings::settingsFilePath();
};

TEST_F(WindowSettings, ClosingWritesTheElevenValuesInTheTablesOrder) {
  app.mainWindow.bounds = {12, 34, 800, 600};
  app.list.setColumnWidth(0, 351);
  app.list.setColumnWidth(1, 71);
  app.list.setColumnWidth(2, 121);
  app.dialog.bounds = {-239, 231, 329, 231};
  app.messageWindow.bounds = {286, -216, 225, 209};
  EXPECT_TRUE(app.event([&] { app.settingsTiming->closing(); }));
  EXPECT_EQ(files.files[path],
            "34\r\n12\r\n800\r\n600\r\n351\r\n71\r\n121\r\n231\r\n-239\r\n-216\r\n286\r\n"
            "0\r\n0\r\n120\r\n");
  EXPECT_TRUE(app.errorBox.shown.empty());
}

TEST_F(WindowSettings, TheFirstTickAppliesEveryValueOnceAndSwitchesTheTimerOff) {
  putFile("-5\r\n-7\r\n900\r\n700\r\n300\r\n60\r\n110\r\n100\r\n200\r\n150\r\n250\r\n");
  ASSERT_TRUE(app.settingsLoadTimer.isEnabled()) << "the main window's creation switched it on";
  tick();
  EXPECT_EQ(app.mainWindow.bounds, (WindowBounds{-7, -5, 900, 700}));
  EXPECT_EQ(app.mainWindow.boundsChanges, 4) << "Top, Left, Width and Height, one at a time";
  EXPECT_EQ(columns(), (std::vector<int>{300, 60, 110}));
  EXPECT_EQ(app.dialog.bounds, (WindowBounds{200, 100, 329, 231}));
  EXPECT_EQ(app.messageWindow.bounds, (WindowBounds{250, 150, 225, 209}));
  EXPECT_FALSE(app.settingsLoadTimer.isEnabled());
  EXPECT_TRUE(app.errorBox.shown.empty());
  EXPECT_EQ(files.openReaders, 0);

  putFile("1\r\n1\r\n1\r\n1\r\n");
  tick();
  EXPECT_EQ(app.mainWindow.bounds, (WindowBounds{-7, -5, 900, 700})) << "the load runs once";
}

TEST_F(WindowSettings, NoTickLoadsBeforeAllWindowsExistAndTheMainWindowIsShown) {
  // The first showing, as the event loop does it: normal, or minimised on a
  // start from a shortcut set to 最小化. Windows hides a minimised window that
  // has an owner, so a minimised start must count as shown even when the
  // window reports itself not visible.
  const struct {
    const char* how;
    void (*show)(fakes::FakeWindow&);
  } showings[] = {
      {"shown", [](fakes::FakeWindow& w) { w.show(); }},
      {"shown minimised and hidden with it",
       [](fakes::FakeWindow& w) { w.showMinimisedAndOwned(); }},
  };
  for (const auto& showing : showings) {
    SCOPED_TRACE(showing.how);
    putFile("-5\r\n-7\r\n900\r\n700\r\n");
    // The states an early tick can meet during start-up: an error box's own
    // message loop while the dialogs are still being created, and before the
    // loop has shown the main window.
    fakes::FakeApp early(fakes::FakeApp::Partly{1});
    early.application.textFiles = &files;
    const auto earlyTick = [&early] {
      if (early.settingsLoadTimer.isEnabled())
        early.event([&] { early.settingsTiming->loadTick(); });
    };
    earlyTick();
    early.createWindow(2);
    earlyTick();
    early.createWindow(3);
    earlyTick();
    EXPECT_EQ(early.mainWindow.boundsChanges, 0);
    EXPECT_TRUE(early.settingsLoadTimer.isEnabled()) << "the load still waits for its tick";

    showing.show(early.mainWindow);
    earlyTick();
    EXPECT_EQ(early.mainWindow.bounds, (WindowBounds{-7, -5, 900, 700}));
    EXPECT_FALSE(early.settingsLoadTimer.isEnabled());
  }
}

TEST_F(WindowSettings, AClosingBeforeTheFirstTickReadsTheFileFirstAndKeepsItsValues) {
  const std::string stored =
      "-5\r\n-7\r\n900\r\n700\r\n300\r\n60\r\n110\r\n100\r\n200\r\n150\r\n250\r\n1\r\n0\r\n"
      "120\r\n";
  putFile(stored);
  ASSERT_TRUE(app.settingsLoadTimer.isEnabled()) << "no tick has come";
  EXPECT_TRUE(app.event([&] { app.settingsTiming->closing(); }));
  EXPECT_EQ(app.mainWindow.bounds, (WindowBounds{-7, -5, 900, 700})) << "applied first";
  EXPECT_EQ(files.files[path], stored) << "the user's values, not the design's";
  EXPECT_FALSE(app.settingsLoadTimer.isEnabled()) << "read once: a later tick does not load again";
  EXPECT_TRUE(app.errorBox.shown.empty());
}

TEST_F(WindowSettings, WithoutAFileNothingChanges) {
  tick();
  EXPECT_EQ(app.mainWindow.boundsChanges, 0);
  EXPECT_EQ(columns(), (std::vector<int>{350, 70, 120}));
  EXPECT_FALSE(app.settingsLoadTimer.isEnabled());
  EXPECT_TRUE(app.errorBox.shown.empty());
}

TEST_F(WindowSettings, AFileOfFourLinesZeroesTheColumnsAndPutsTheDialogsAtTheCorner) {
  putFile("10\r\n20\r\n640\r\n480\r\n");
  tick();
  EXPECT_EQ(app.mainWindow.bounds, (WindowBounds{20, 10, 640, 480}));
  EXPECT_EQ(columns(), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(app.dialog.bounds, (WindowBounds{0, 0, 329, 231}));
  EXPECT_EQ(app.messageWindow.bounds, (WindowBounds{0, 0, 225, 209}));
  EXPECT_TRUE(app.errorBox.shown.empty());
}

TEST_F(WindowSettings, ABadThirdLineKeepsTopAndLeftAndReportsOnce) {
  putFile("10\r\n20\r\n300a\r\n400\r\n300\r\n60\r\n110\r\n100\r\n200\r\n150\r\n250\r\n");
  for (int i = 0; i < 5; ++i) tick();  // ticks keep coming while the box is up
  EXPECT_EQ(app.mainWindow.bounds, (WindowBounds{20, 10, 808, 612}));
  EXPECT_EQ(columns(), (std::vector<int>{350, 70, 120}));
  EXPECT_EQ(app.dialog.bounds, (WindowBounds{239, 231, 329, 231}));
  EXPECT_EQ(app.messageWindow.bounds, (WindowBounds{286, 216, 225, 209}));
  ASSERT_EQ(app.errorBox.shown.size(), 1u);
  EXPECT_EQ(app.errorBox.shown[0].text, "入力値が数値ではありません.");
  EXPECT_EQ(app.errorBox.shown[0].caption, "Chronoseq");
  EXPECT_FALSE(app.settingsLoadTimer.isEnabled());
  EXPECT_EQ(files.openReaders, 0) << "no file stays open after the failure";
}

TEST_F(WindowSettings, AFailedSaveReportsAndALaterCloseTriesAgain) {
  tick();
  putFile("1\r\n");
  files.readOnly.insert(path);
  EXPECT_FALSE(app.event([&] { app.settingsTiming->closing(); }));
  ASSERT_EQ(app.errorBox.shown.size(), 1u);
  EXPECT_EQ(app.errorBox.shown[0].text, "ファイルへのアクセスが拒否されました.");
  EXPECT_EQ(files.files[path], "1\r\n");

  files.readOnly.clear();
  EXPECT_TRUE(app.event([&] { app.settingsTiming->closing(); }));
  EXPECT_EQ(files.files[path],
            "0\r\n0\r\n808\r\n612\r\n350\r\n70\r\n120\r\n231\r\n239\r\n216\r\n286\r\n0\r\n0\r\n"
            "120\r\n");
}

// Started from a folder that cannot be written (System32, Program Files),
// every save fails: the first close says so and stays open, the next one
// that fails for the same reason closes without the file; another reason
// is said again.
TEST_F(WindowSettings, ASecondCloseFailingForTheSameReasonClosesUnsaved) {
  const struct {
    bool secondReadOnly;  // the file still refused: the same reason
    int secondReaders;    // a reader holds it: another reason
    bool secondCloses;
    std::size_t boxes;
  } cases[] = {
      {true, 0, true, 1},
      {false, 1, false, 2},
  };
  for (const auto& c : cases) {
    fakes::FakeApp fresh;
    fresh.application.textFiles = &files;
    fresh.event([&] { fresh.settingsTiming->loadTick(); });
    files.files = {{path, "1\r\n"}};
    files.readOnly = {path};
    EXPECT_FALSE(fresh.event([&] { fresh.settingsTiming->closing(); })) << "the first close fails";
    ASSERT_EQ(fresh.errorBox.shown.size(), 1u);
    EXPECT_EQ(fresh.errorBox.shown[0].text, "ファイルへのアクセスが拒否されました.");
    if (!c.secondReadOnly) files.readOnly.clear();
    files.openReaders = c.secondReaders;
    EXPECT_EQ(fresh.event([&] { fresh.settingsTiming->closing(); }), c.secondCloses);
    EXPECT_EQ(fresh.errorBox.shown.size(), c.boxes);
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{{path, "1\r\n"}}))
        << "nothing is written, here or anywhere else";
    files.openReaders = 0;
  }
}

TEST_F(WindowSettings, TheNameOrderComesBackFromTheTwelfthLineAndIsWrittenThere) {
  putFile("0\r\n0\r\n800\r\n600\r\n350\r\n70\r\n120\r\n231\r\n239\r\n216\r\n286\r\n1\r\n");
  tick();
  EXPECT_TRUE(app.order->numericNames());
  EXPECT_TRUE(app.itemChecked(app::Command::numericOrder)) << "the menu shows the check";
  EXPECT_TRUE(app.errorBox.shown.empty());
  EXPECT_TRUE(app.event([&] { app.settingsTiming->closing(); }));
  EXPECT_TRUE(files.files[path].ends_with("\r\n286\r\n1\r\n0\r\n120\r\n")) << files.files[path];
  app.commands->toggleNumericOrder();
  EXPECT_TRUE(app.event([&] { app.settingsTiming->closing(); }));
  EXPECT_TRUE(files.files[path].ends_with("\r\n286\r\n0\r\n0\r\n120\r\n")) << files.files[path];
}

// "撮影日時を表示(&D)" and its column's width, lines 13 and 14: shown as the
// file says, and written back as the column stands, hidden or not.
TEST_F(WindowSettings, TheCaptureColumnComesBackFromLines13And14AndIsWrittenThere) {
  putFile(
      "0\r\n0\r\n800\r\n600\r\n350\r\n70\r\n120\r\n231\r\n239\r\n216\r\n286\r\n0\r\n1\r\n"
      "150\r\n");
  tick();
  EXPECT_TRUE(app.itemChecked(app::Command::captureTimes)) << "the menu shows the check";
  EXPECT_EQ(app.list.columnCount(), 4);
  EXPECT_EQ(app.list.columnWidth(3), 150);
  app.list.setColumnWidth(3, 175);
  EXPECT_TRUE(app.event([&] { app.settingsTiming->closing(); }));
  EXPECT_TRUE(files.files[path].ends_with("\r\n286\r\n0\r\n1\r\n175\r\n")) << files.files[path];
  app.commands->toggleCaptureTimes();
  EXPECT_EQ(app.list.columnCount(), 3);
  EXPECT_TRUE(app.event([&] { app.settingsTiming->closing(); }));
  EXPECT_TRUE(files.files[path].ends_with("\r\n286\r\n0\r\n0\r\n175\r\n")) << files.files[path];
}

TEST_F(WindowSettings, AnUnreadableTwelfthLineIsOffWithoutAMessage) {
  putFile("0\r\n0\r\n800\r\n600\r\n350\r\n70\r\n120\r\n231\r\n239\r\n216\r\n286\r\non\r\n");
  tick();
  EXPECT_FALSE(app.order->numericNames());
  EXPECT_FALSE(app.itemChecked(app::Command::numericOrder));
  EXPECT_TRUE(app.errorBox.shown.empty());
  EXPECT_EQ(columns(), (std::vector<int>{350, 70, 120})) << "the eleven values are applied";
}

// One 1920 x 1080 monitor with a 40-pixel task bar at the bottom, and a
// second one of 1280 x 1024 to its left.
void twoMonitors(fakes::FakeScreen& screen) {
  screen.monitorList = {
      {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
      {{-1280, 0, 0, 1024}, {-1280, 0, 0, 984}},
  };
  screen.limit = {3216, 1092};
}

TEST_F(WindowSettings, WindowsOutsideEveryMonitorComeBackToTheNearest) {
  twoMonitors(screen);
  app.application.screen = &screen;
  const struct {
    const char* what;
    std::string file;
    WindowBounds main, dialog, message;
  } cases[] = {
      {"positions on the left monitor are kept, negative as they are",
       "-8\r\n-1288\r\n1296\r\n1000\r\n350\r\n70\r\n120\r\n100\r\n-1000\r\n-20\r\n-240\r\n",
       {-1288, -8, 1296, 1000},
       {-1000, 100, 329, 231},
       {-240, -20, 225, 209}},
      {"far to the right and below: into the main monitor's work area",
       "0\r\n0\r\n800\r\n600\r\n350\r\n70\r\n120\r\n5000\r\n6000\r\n1100\r\n300\r\n",
       {0, 0, 800, 600},
       {1920 - 329, 1040 - 231, 329, 231},
       {300, 1040 - 209, 225, 209}},
      {"far to the left and above: onto the left monitor",
       "0\r\n0\r\n800\r\n600\r\n350\r\n70\r\n120\r\n-3000\r\n-3000\r\n0\r\n-1600\r\n",
       {0, 0, 800, 600},
       {-1280, 0, 329, 231},
       {-1280, 0, 225, 209}},
      {"a main window wholly below both monitors",
       "2000\r\n100\r\n800\r\n600\r\n",
       {100, 1040 - 600, 800, 600},
       {0, 0, 329, 231},
       {0, 0, 225, 209}},
      {"values beyond the window system's range",
       "2147483647\r\n-2147483648\r\n800\r\n600\r\n",
       {-1280, 984 - 600, 800, 600},
       {0, 0, 329, 231},
       {0, 0, 225, 209}},
  };
  for (const auto& c : cases) {
    fakes::FakeApp fresh;
    fresh.application.textFiles = &files;
    fresh.application.screen = &screen;
    fresh.mainWindow.bounds = {0, 0, 808, 612};
    fresh.dialog.bounds = {239, 231, 329, 231};
    fresh.messageWindow.bounds = {286, 216, 225, 209};
    putFile(c.file);
    fresh.event([&] { fresh.settingsTiming->loadTick(); });
    EXPECT_EQ(fresh.mainWindow.bounds, c.main) << c.what;
    EXPECT_EQ(fresh.dialog.bounds, c.dialog) << c.what;
    EXPECT_EQ(fresh.messageWindow.bounds, c.message) << c.what;
    EXPECT_TRUE(fresh.errorBox.shown.empty()) << c.what;
  }
}

TEST_F(WindowSettings, SizesBeyondTheLargestWindowAreBounded) {
  twoMonitors(screen);
  app.application.screen = &screen;
  putFile("0\r\n0\r\n100000\r\n2000000000\r\n99999\r\n-1\r\n0\r\n");
  tick();
  EXPECT_EQ(app.mainWindow.bounds.width, 3216);
  EXPECT_EQ(app.mainWindow.bounds.height, 1092);
  EXPECT_EQ(columns(), (std::vector<int>{3216, -1, 0})) << "small and negative widths as they are";
}

TEST_F(WindowSettings, AFailedLoadStillBringsAWindowBack) {
  twoMonitors(screen);
  app.application.screen = &screen;
  putFile("5000\r\n5000\r\nwide\r\n");
  tick();
  ASSERT_EQ(app.errorBox.shown.size(), 1u);
  EXPECT_EQ(app.mainWindow.bounds, (WindowBounds{1920 - 808, 1040 - 612, 808, 612}));
}

}  // namespace
