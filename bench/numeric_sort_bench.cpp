// The first click on the name column's header with "数字を数値として並べる(&N)"
// on, against the same click with it off, in the same run: the sort of
// 100,000 rows by name as the header click does it (keys, the stable sort,
// the marks moved, the rows put in place). Off, the collation's sort keys
// decide (Windows: LCMapStringW; POSIX: ICU). On, the numeric collation's
// keys guess and its comparison (Windows: StrCmpLogicalW; POSIX: ICU's
// numeric collation) checks every neighbour and repairs. Each round starts
// with new collations, as the first click after the program starts does.
// Two folders: the mixed names of sort_names.h and a camera's DSC_0001.JPG on.
//
//   numeric_sort_bench [rows=100000] [rounds=5]
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_timing.h"
#include "folderlist/numeric_name_sort.h"
#include "folderlist/row_sort.h"
#include "platform/collation.h"
#include "platform/numeric_collation.h"
#include "sort_names.h"

namespace {

using bench::median;
using bench::millisecondsOf;

// Whether the rows stand in the numeric collation's order: each neighbour
// asked once more. (That equal names keep their order, the tests show.)
bool inNumericOrder(const folderlist::EntryRows& sorted) {
  platform::NumericCollation collation;
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    if (collation.compare(sorted[i - 1].name, sorted[i].name) > 0) return false;
  }
  return true;
}

struct Figures {
  double off = 0;
  double on = 0;
  double ratio = 0;
  folderlist::NumericSortCounts counts;
  folderlist::NumericSortCounts descendingCounts;
  bool ordered = false;
};

Figures measure(const folderlist::EntryRows& listed, int rounds) {
  Figures figures;
  std::vector<double> off, on, ratios;
  for (int round = 0; round < rounds; ++round) {
    folderlist::EntryRows byKeys = listed;
    folderlist::EntryRows byNumbers = listed;
    const folderlist::ListMarks marks{{1, 2, 3}, 2, 1};
    const auto timeOff = [&] {
      platform::TextCollation collation;
      off.push_back(
          millisecondsOf([&] { folderlist::sortRows(byKeys, marks, 0, false, collation); }));
    };
    const auto timeOn = [&] {
      platform::NumericCollation collation;
      on.push_back(millisecondsOf([&] {
        folderlist::sortRowsByNumericName(byNumbers, marks, false, collation, &figures.counts);
      }));
    };
    // Alternating, so that neither side always finds the caches warm.
    if (round % 2 == 0) {
      timeOff();
      timeOn();
    } else {
      timeOn();
      timeOff();
    }
    ratios.push_back(on.back() / off.back());
    if (round == 0) figures.ordered = inNumericOrder(byNumbers);
  }
  {
    folderlist::EntryRows rows = listed;
    platform::NumericCollation collation;
    folderlist::sortRowsByNumericName(rows, {}, true, collation, &figures.descendingCounts);
  }
  figures.off = median(off);
  figures.on = median(on);
  figures.ratio = median(ratios);
  return figures;
}

void report(const char* what, const Figures& f) {
  std::printf("  %-14s off %8.1f ms, on %8.1f ms: ratio %.2f (target <= 1.5: %s)\n", what, f.off,
              f.on, f.ratio, f.ratio <= 1.5 ? "met" : "MISSED");
  const auto counts = [](const char* direction, const folderlist::NumericSortCounts& c) {
    std::printf("  %-14s %s: %zu pairs out of order, %zu comparisons%s\n", "", direction,
                c.pairsOutOfOrder, c.comparisons,
                c.comparisonSort ? ", sorted by comparison alone" : "");
  };
  counts("ascending", f.counts);
  counts("descending", f.descendingCounts);
  if (!f.ordered) std::printf("  %-14s THE ROWS ARE NOT IN THE COMPARISON'S ORDER\n", "");
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  std::printf("sorting %zu rows by name, digits as numbers on against off, median of %d rounds\n",
              count, rounds);
  const Figures mixed = measure(benchdata::benchRows(count), rounds);
  report("mixed names", mixed);
  const Figures camera = measure(benchdata::cameraRows(count), rounds);
  report("camera folder", camera);
  return mixed.ordered && camera.ordered ? 0 : 1;
}
