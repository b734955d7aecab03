// "撮影日時を表示(&D)" on the in-memory window system: the item shows and takes
// away the fourth column, the times are read on their own thread and filled
// in on the timer, a click on "撮影日時" sorts by them, and a new listing
// while they are read shows nothing of the rows it replaced.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fakes/fake_app.h"
#include "fakes/temp_folder.h"
#include "folderlist/column_sort.h"
#include "platform/path.h"

namespace {

using capturetime::CaptureTime;
using namespace std::chrono_literals;

constexpr int kCapture = 3;  // "撮影日時", after "更新日時"

// A wall time of 2021/05/<day> 10:00:<second>, ticks past that second.
CaptureTime taken(int day, int second = 0, std::uint32_t ticks = 0) {
  return CaptureTime::wallTime({2021, 5, day, 10, 0, second}, ticks);
}

// Blocks the reading thread until opened.
class Gate {
 public:
  void wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return open_; });
  }
  void open() {
    {
      const std::lock_guard lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
};

class CaptureColumnForm : public testing::Test {
 protected:
  void SetUp() override {
    app.mainWindow.setCaption("Chronoseq");
    // By the file's name; a name listed here with a gate waits for it.
    app.readCapture = [this](const std::string& path) {
      const std::string name = path.substr(path.find_last_of("/\\") + 1);
      const std::string folder = path.substr(0, path.find_last_of("/\\"));
      {
        const std::lock_guard lock(readMutex_);
        read_.push_back(name);
      }
      const bool firstOfSecond =
          gateSecondFolder_ && folder == second_.path() && !secondStarted_.exchange(true);
      if (gated_ == path || firstOfSecond) gate_.wait();
      const auto& times = folder == second_.path() ? secondTimes_ : times_;
      const auto found = times.find(name);
      return found == times.end() ? CaptureTime{} : found->second;
    };
  }
  // Lists a folder of these files (and a folder "sub"), as the tree does.
  void list(testsupport::TempFolder& folder, const std::map<std::string, CaptureTime>& times) {
    for (const auto& [name, time] : times) folder.createFile(name);
    folder.createFolder("sub");
    app.tree.path = folder.path();
    ASSERT_TRUE(app.event([&] { app.listing->listSelectedFolder(); }));
  }
  void toggle() {
    ASSERT_TRUE(app.event([&] { app.commands->run(app::Command::captureTimes); }));
  }
  void click(int column) {
    ASSERT_TRUE(app.event([&] { app.order->columnClicked(column); }));
  }
  // Ticks as the event loop delivers them until every time is in.
  void readAll() {
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (app.captures->reading() && std::chrono::steady_clock::now() < until) {
      ASSERT_TRUE(app.captureTimer.isEnabled()) << "the timer runs while times are read";
      ASSERT_TRUE(app.event([&] { app.captures->tick(); }));
      std::this_thread::sleep_for(1ms);
    }
    ASSERT_FALSE(app.captures->reading()) << "the times were not all read in time";
    EXPECT_FALSE(app.captureTimer.isEnabled());
  }
  // Waits until the reading thread has started on `count` files.
  void waitForReads(std::size_t count) {
    const auto until = std::chrono::steady_clock::now() + 10s;
    for (;;) {
      {
        const std::lock_guard lock(readMutex_);
        if (read_.size() >= count) return;
      }
      ASSERT_LT(std::chrono::steady_clock::now(), until) << "the reading did not start";
      std::this_thread::sleep_for(1ms);
    }
  }
  std::vector<std::string> column(int index) const {
    std::vector<std::string> texts;
    for (int row = 0; row < app.folder().rowCount(); ++row) {
      texts.emplace_back(app.folder().cellText(row, index));
    }
    return texts;
  }
  // The capture cell of the row of that name.
  std::string cellOf(const std::string& name) const {
    for (int row = 0; row < app.folder().rowCount(); ++row) {
      if (app.folder().cellText(row, 0) == name) return std::string(app.folder().cellText(row, 3));
    }
    return "(no row)";
  }

  fakes::FakeApp app;
  testsupport::TempFolder first_, second_;
  std::map<std::string, CaptureTime> times_, secondTimes_;
  std::string gated_;  // the path whose read waits for the gate
  // The second folder's first read waits for the gate.
  bool gateSecondFolder_ = false;
  std::atomic<bool> secondStarted_{false};
  Gate gate_;
  std::mutex readMutex_;
  std::vector<std::string> read_;  // the names read, in order
};

TEST_F(CaptureColumnForm, TheItemShowsTheColumnWithTheFilesTimesAndTakesItAway) {
  times_ = {{"a.jpg", taken(1, 7)}, {"b.txt", CaptureTime{}}};
  list(first_, times_);
  EXPECT_FALSE(app.itemChecked(app::Command::captureTimes)) << "off at first";
  EXPECT_EQ(app.list.columnCount(), 3);
  EXPECT_FALSE(app.captureTimer.isEnabled()) << "nothing is read while the column is hidden";

  toggle();
  EXPECT_TRUE(app.itemChecked(app::Command::captureTimes));
  EXPECT_EQ(app.list.columnCount(), 4);
  EXPECT_EQ(app.list.columnWidth(kCapture), 120);
  EXPECT_TRUE(app.mainWindow.caption().starts_with("撮影日時 ")) << app.mainWindow.caption();
  readAll();
  EXPECT_EQ(cellOf("a.jpg"), "2021/05/01 10:00:07");
  EXPECT_EQ(cellOf("b.txt"), "") << "a file without a capture time";
  EXPECT_EQ(cellOf("sub"), "") << "a folder";
  std::sort(read_.begin(), read_.end());
  EXPECT_EQ(read_, (std::vector<std::string>{"a.jpg", "b.txt"})) << "folders are not read";
  EXPECT_EQ(app.mainWindow.caption(), "Chronoseq") << "the progress goes when all are in";

  app.list.setColumnWidth(kCapture, 155);
  toggle();
  EXPECT_FALSE(app.itemChecked(app::Command::captureTimes));
  EXPECT_EQ(app.list.columnCount(), 3);
  toggle();
  EXPECT_EQ(app.list.columnWidth(kCapture), 155) << "the column comes back as wide as it went";
  readAll();
  EXPECT_EQ(cellOf("a.jpg"), "2021/05/01 10:00:07") << "read again";
}

// Each case lists its files, sorts them by name for a known order, then
// clicks "撮影日時" twice.
struct SortCase {
  const char* what;
  std::map<std::string, CaptureTime> times;  // a missing time: none
  std::vector<std::string> ascending;
  std::vector<std::string> descending;
};

const SortCase kSorts[] = {
    {"rows without a time, the folder among them, stand last both ways",
     {{"a.jpg", taken(3)}, {"b.jpg", {}}, {"c.jpg", taken(1)}, {"d.mov", {}}, {"e.jpg", taken(2)}},
     {"c.jpg", "e.jpg", "a.jpg", "b.jpg", "d.mov", "sub"},
     {"a.jpg", "e.jpg", "c.jpg", "b.jpg", "d.mov", "sub"}},
    {"equal times keep the name order both ways",
     {{"a.jpg", taken(1)}, {"b.jpg", taken(2)}, {"c.jpg", taken(1)}, {"d.jpg", taken(2)}},
     {"a.jpg", "c.jpg", "b.jpg", "d.jpg", "sub"},
     {"b.jpg", "d.jpg", "a.jpg", "c.jpg", "sub"}},
    {"the sub-seconds the column does not show still order one second",
     {{"a.jpg", taken(1, 5, 5'000'000)}, {"b.jpg", taken(1, 5, 2'000'000)}},
     {"b.jpg", "a.jpg", "sub"},
     {"a.jpg", "b.jpg", "sub"}},
};

TEST_F(CaptureColumnForm, AClickOnTheColumnSortsByCaptureTimeWithTheTimesGoingAlong) {
  for (const SortCase& c : kSorts) {
    SCOPED_TRACE(c.what);
    fakes::FakeApp fresh;  // the sort state of a run that has sorted nothing
    testsupport::TempFolder folder;
    times_ = c.times;
    fresh.readCapture = [this](const std::string& path) {
      const auto found = times_.find(path.substr(path.find_last_of("/\\") + 1));
      return found == times_.end() ? CaptureTime{} : found->second;
    };
    for (const auto& [name, time] : c.times) folder.createFile(name);
    folder.createFolder("sub");
    fresh.tree.path = folder.path();
    fresh.listing->listSelectedFolder();
    fresh.order->columnClicked(folderlist::kNameColumn);
    fresh.commands->run(app::Command::captureTimes);
    for (const auto until = std::chrono::steady_clock::now() + 10s;
         fresh.captures->reading() && std::chrono::steady_clock::now() < until;) {
      fresh.captures->tick();
      std::this_thread::sleep_for(1ms);
    }
    ASSERT_FALSE(fresh.captures->reading());
    // What each row shows, to see that the cells go with their rows.
    std::map<std::string, std::string> cells;
    for (int row = 0; row < fresh.folder().rowCount(); ++row) {
      cells[std::string(fresh.folder().cellText(row, 0))] = fresh.folder().cellText(row, 3);
    }
    for (const bool descending : {false, true}) {
      fresh.order->columnClicked(kCapture);
      std::vector<std::string> names, shown, expectedShown;
      for (int row = 0; row < fresh.folder().rowCount(); ++row) {
        names.emplace_back(fresh.folder().cellText(row, 0));
        shown.emplace_back(fresh.folder().cellText(row, 3));
        expectedShown.push_back(cells[names.back()]);
      }
      EXPECT_EQ(names, descending ? c.descending : c.ascending);
      EXPECT_EQ(shown, expectedShown) << "each time stands on its own row";
      EXPECT_EQ(fresh.list.sortArrowColumn, kCapture);
      EXPECT_EQ(fresh.list.sortArrowDescending, descending);
    }
  }
}

TEST_F(CaptureColumnForm, AClickWhileTheTimesAreReadSortsOnceAllAreIn) {
  times_ = {{"a.jpg", taken(3)}, {"b.jpg", taken(1)}, {"c.jpg", taken(2)}};
  gated_ = platform::joinPath(first_.path(), "c.jpg");
  list(first_, times_);
  click(folderlist::kNameColumn);
  toggle();
  waitForReads(3);
  ASSERT_TRUE(app.event([&] { app.captures->tick(); }));
  click(kCapture);
  EXPECT_EQ(column(0), (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg", "sub"}))
      << "nothing moves before every time is in";
  EXPECT_EQ(app.list.sortArrowColumn, folderlist::kNameColumn);
  EXPECT_EQ(app.mainWindow.caption(), "撮影日時 2 / 3") << "the wait shows its progress";
  gate_.open();
  readAll();
  EXPECT_EQ(column(0), (std::vector<std::string>{"b.jpg", "c.jpg", "a.jpg", "sub"}));
  EXPECT_EQ(app.list.sortArrowColumn, kCapture);
  EXPECT_FALSE(app.list.sortArrowDescending);
  EXPECT_EQ(app.mainWindow.caption(), "Chronoseq");
}

// The first folder's times are taken, more than one tick fills in, when the
// second folder, of the same names, is listed: none of them may reach the
// second folder's rows.
TEST_F(CaptureColumnForm, ANewListingWhileTheTimesAreReadShowsNothingOfTheRowsBefore) {
  // Few files: Wine makes each in time that grows with the folder.
  app.captures->setBatch(4);
  const std::size_t count = 4 + 2;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < count; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "n%05zu.jpg", i);
    names.push_back(name);
    times_[name] = taken(1);
    secondTimes_[name] = CaptureTime{};
  }
  secondTimes_[names.back()] = taken(9);
  gateSecondFolder_ = true;
  list(first_, times_);
  click(folderlist::kNameColumn);
  toggle();
  waitForReads(count);  // all but the last read and handed over
  ASSERT_TRUE(app.event([&] { app.captures->tick(); }));
  ASSERT_EQ(cellOf(names.front()), "2021/05/01 10:00:00") << "one batch filled in";
  ASSERT_EQ(cellOf(names[count - 2]), "") << "the rest taken, not yet filled in";

  list(second_, secondTimes_);
  waitForReads(count + 1);  // the second folder's first file waits at the gate
  for (int tick = 0; tick < 3; ++tick) {
    ASSERT_TRUE(app.event([&] { app.captures->tick(); }));
  }
  EXPECT_EQ(column(kCapture), std::vector<std::string>(count + 1, ""))
      << "nothing of the second folder is read yet, and nothing of the first may show";
  EXPECT_EQ(app.mainWindow.caption(), "撮影日時 0 / " + std::to_string(count));
  gate_.open();
  readAll();
  EXPECT_EQ(cellOf(names.back()), "2021/05/09 10:00:00") << "read after the listing";
  EXPECT_EQ(cellOf(names.front()), "");
}

}  // namespace
