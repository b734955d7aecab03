// The capture times read on a thread of their own: all arrive, in list order,
// with the progress counted; a stop ends the reading at once and nothing
// arrives after it.

#include "capturetime/background_reader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fakes/capture_time_print.h"

namespace {

using capturetime::BackgroundReader;
using capturetime::CaptureTime;
using capturetime::ReadProgress;
using capturetime::ReadResult;
using namespace std::chrono_literals;

// A time told by the path: "file7" was taken on the 7th second.
CaptureTime timeOf(const std::string& path) {
  const int n = std::stoi(path.substr(4));
  return n % 3 == 0 ? CaptureTime{} : CaptureTime::wallTime({2021, 3, 4, 5, 6, n % 60});
}

std::vector<std::string> paths(int count) {
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.push_back("file" + std::to_string(i));
  return out;
}

// Takes until the reader is finished, or gives up after a few seconds.
std::vector<ReadResult> takeAll(BackgroundReader& reader) {
  std::vector<ReadResult> all;
  const auto until = std::chrono::steady_clock::now() + 10s;
  for (;;) {
    const bool finished = reader.progress().finished();
    for (const ReadResult& r : reader.take()) all.push_back(r);
    if (finished || std::chrono::steady_clock::now() > until) return all;
    std::this_thread::sleep_for(1ms);
  }
}

TEST(BackgroundReader, AllResultsArriveInListOrder) {
  for (const int count : {0, 1, 2, 1000}) {
    BackgroundReader reader(paths(count), timeOf);
    const std::vector<ReadResult> all = takeAll(reader);
    ASSERT_EQ(all.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(all[i].index, static_cast<std::size_t>(i));
      EXPECT_EQ(all[i].time, timeOf("file" + std::to_string(i))) << i;
    }
    EXPECT_EQ(reader.progress(),
              (ReadProgress{static_cast<std::size_t>(count), static_cast<std::size_t>(count)}));
    EXPECT_TRUE(reader.take().empty());
  }
}

// A reader whose files open one at a time, when the test says so.
class Gate {
 public:
  CaptureTime read(const std::string& path) {
    std::unique_lock lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return opened_ > 0; });
    --opened_;
    --waiting_;
    return timeOf(path);
  }
  void open(int files) {
    const std::lock_guard lock(mutex_);
    opened_ += files;
    changed_.notify_all();
  }
  // Waits until the reader stands at a file.
  void awaitReader() {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, 10s, [this] { return waiting_ > 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int opened_ = 0;
  int waiting_ = 0;
};

TEST(BackgroundReader, ProgressCountsWhatWasRead) {
  Gate gate;
  BackgroundReader reader(paths(5), [&gate](const std::string& p) { return gate.read(p); });
  gate.awaitReader();
  EXPECT_EQ(reader.progress(), (ReadProgress{0, 5}));
  EXPECT_FALSE(reader.progress().finished());
  gate.open(2);
  const auto until = std::chrono::steady_clock::now() + 10s;
  while (reader.progress().done < 2 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(1ms);
  }
  gate.awaitReader();  // at the third file, where the gate holds it
  EXPECT_EQ(reader.progress(), (ReadProgress{2, 5}));
  const std::vector<ReadResult> first = reader.take();
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[1].index, 1u);
  gate.open(3);
  EXPECT_EQ(takeAll(reader).size(), 3u);
  EXPECT_TRUE(reader.progress().finished());
}

TEST(BackgroundReader, AStopEndsTheReadingAtOnceAndNothingArrivesAfter) {
  Gate gate;
  std::atomic<int> notified{0};
  auto reader = std::make_unique<BackgroundReader>(
      paths(100'000), [&gate](const std::string& p) { return gate.read(p); },
      [&notified] { ++notified; });
  gate.open(3);
  gate.awaitReader();
  while (reader->progress().done < 3) std::this_thread::sleep_for(1ms);
  gate.awaitReader();  // standing at the fourth file
  const int notifiedBefore = notified.load();
  EXPECT_GE(notifiedBefore, 1);
  const auto before = std::chrono::steady_clock::now();
  reader->stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 100ms) << "stop() does not wait for a file";
  gate.open(1);    // the file being read comes back after the stop
  reader.reset();  // and the thread ends with it, not after the other 99,996
  EXPECT_EQ(notified.load(), notifiedBefore);
}

TEST(BackgroundReader, StopsAtOnceInTheMiddleOfManyQuickFiles) {
  std::atomic<int> reads{0};
  auto reader =
      std::make_unique<BackgroundReader>(paths(1'000'000), [&reads](const std::string& p) {
        ++reads;
        return timeOf(p);
      });
  while (reads.load() < 10) std::this_thread::yield();
  const auto before = std::chrono::steady_clock::now();
  reader.reset();  // stopped and joined
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  EXPECT_LT(reads.load(), 1'000'000);
}

TEST(BackgroundReader, NotifiesOncePerEmptiedQueueNotPerFile) {
  std::atomic<int> notified{0};
  Gate gate;
  BackgroundReader reader(
      paths(10), [&gate](const std::string& p) { return gate.read(p); },
      [&notified] { ++notified; });
  gate.open(4);
  gate.awaitReader();
  while (reader.progress().done < 4) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(notified.load(), 1) << "four results waiting, one notice";
  EXPECT_EQ(reader.take().size(), 4u);
  gate.open(6);
  takeAll(reader);
  // The fifth result found the queue empty again; the last one always tells.
  EXPECT_GE(notified.load(), 2);
  EXPECT_LE(notified.load(), 1 + 6);
}

}  // namespace
