// The capture time column at 100,000 rows, on the window's thread: showing
// it (the paths handed to the reading thread), the longest timer tick while
// the times fill in, the sort by a click on "撮影日時", and the stop a new
// listing makes. The baseline, measured in the same run on the same rows, is
// the sort by "更新日時", the work of a header click the list already does.
//
//   capture_column_bench [rows=100000] [rounds=5]
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/capture_column.h"
#include "app/listed_folder.h"
#include "bench_timing.h"
#include "fakes/fake_ui.h"
#include "folderlist/capture_cells.h"
#include "folderlist/column_sort.h"
#include "folderlist/row_sort.h"
#include "platform/collation.h"

namespace {

using bench::median;
using bench::millisecondsOf;

// Unique names, as a folder has them, and times of a few years with many
// repeats, as a camera's burst gives them.
folderlist::EntryRows photoRows(std::size_t count) {
  std::mt19937 random(20261210);
  folderlist::EntryRows rows(count);
  char buffer[64];
  for (std::size_t i = 0; i < count; ++i) {
    std::snprintf(buffer, sizeof buffer, "IMG_%06zu.JPG", i);
    rows[i].name = buffer;
    std::snprintf(buffer, sizeof buffer, "20%02u/%02u/%02u %02u:%02u:%02u",
                  static_cast<unsigned>(18 + random() % 6),
                  static_cast<unsigned>(1 + random() % 12),
                  static_cast<unsigned>(1 + random() % 28), static_cast<unsigned>(random() % 24),
                  static_cast<unsigned>(random() % 60), static_cast<unsigned>(random() % 60));
    rows[i].timeText = buffer;
  }
  return rows;
}

// A capture time told by the name's number; every tenth file has none.
capturetime::CaptureTime timeOf(const std::string& path) {
  const unsigned long n = std::strtoul(path.c_str() + path.size() - 10, nullptr, 10);
  if (n % 10 == 0) return {};
  return capturetime::CaptureTime::wallTime(
      {2020 + static_cast<int>(n % 4), 1 + static_cast<int>(n % 12), 1 + static_cast<int>(n % 28),
       static_cast<int>(n % 24), static_cast<int>(n / 24 % 60), static_cast<int>(n / 7 % 60)});
}

struct Round {
  double show = 0, longestTick = 0, captureSort = 0, timeSort = 0, stop = 0;
  int ticks = 0;
  bool missingLast = true;
};

Round measure(const folderlist::EntryRows& rows) {
  Round r;
  fakes::FakeWindow window;
  fakes::FakeList list;
  fakes::FakeTimer timer(50);
  app::ListedFolder folder;
  folder.rows() = rows;
  folder.setPath("/photos");
  list.setRowCount(folder.rowCount());
  app::CaptureColumn column(folder, {window, list, timer}, timeOf);
  r.show = millisecondsOf([&] { column.setShown(true); });
  while (column.reading()) {
    r.longestTick = std::max(r.longestTick, millisecondsOf([&] { column.tick(); }));
    ++r.ticks;
  }
  folderlist::EntryRows byTime = rows;
  platform::TextCollation collation;
  r.timeSort = millisecondsOf(
      [&] { folderlist::sortRows(byTime, {}, folderlist::kTimeColumn, false, collation); });
  r.captureSort = millisecondsOf(
      [&] { folderlist::sortRowsByCaptureTime(folder.rows(), {}, folder.captures(), true); });
  // Rows without a time stand last, descending too.
  bool seenMissing = false;
  for (const folderlist::ListEntry& entry : folder.rows()) {
    const bool missing = !folder.captures().shown(entry.name);
    if (seenMissing && !missing) r.missingLast = false;
    seenMissing = seenMissing || missing;
  }
  r.stop = millisecondsOf([&] { column.stop(); });
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const folderlist::EntryRows rows = photoRows(count);
  std::vector<double> show, tick, captureSort, timeSort, stop, tickRatio, sortRatio;
  bool missingLast = true;
  int ticks = 0;
  for (int round = 0; round < rounds; ++round) {
    const Round r = measure(rows);
    show.push_back(r.show);
    tick.push_back(r.longestTick);
    captureSort.push_back(r.captureSort);
    timeSort.push_back(r.timeSort);
    stop.push_back(r.stop);
    tickRatio.push_back(r.longestTick / r.timeSort);
    sortRatio.push_back(r.captureSort / r.timeSort);
    missingLast = missingLast && r.missingLast;
    ticks = r.ticks;
  }
  std::printf("capture time column on %zu rows, median of %d rounds\n", count, rounds);
  std::printf("  baseline: sort by 更新日時       %8.1f ms\n", median(timeSort));
  std::printf("  sort by 撮影日時                 %8.1f ms  %.2fx the baseline\n",
              median(captureSort), median(sortRatio));
  std::printf("  longest tick (of %d)            %8.1f ms  %.2fx the baseline  (aim < 100)\n",
              ticks, median(tick), median(tickRatio));
  std::printf("  showing the column               %8.1f ms  (aim < 100)\n", median(show));
  std::printf("  stop at a new listing            %8.1f ms  (aim < 100)\n", median(stop));
  std::printf("  rows without a time %s\n", missingLast ? "last" : "NOT LAST");
  return missingLast ? 0 : 1;
}
