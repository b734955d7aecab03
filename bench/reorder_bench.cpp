// Putting a folder in order where it stands (the program's whole command:
// the checks, the work folder and its list, every move out and back, the
// read-back) against a bare loop of the same moves in the same process:
// MoveFileExW per entry on Windows, rename(2) natively, out into a work
// folder and back.
//
//   reorder_bench [folder] [files=2000] [rounds=5]
//
// The files are made in the folder given (an exFAT image's mount, as
// scripts/bench.sh gives it), or in the temporary folder when none is. Prints
// the median time of each and the program's time as a ratio of the loop's
// (1.0 = as fast as the bare moves), and the median of the rounds' ratios.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_files.h"
#include "bench_timing.h"
#include "cardorder/card_reorder.h"
#include "folderlist/list_entry.h"
#include "platform/copy_ops.h"

namespace fs = std::filesystem;
using bench::bareMove;
using bench::median;
using bench::millisecondsOf;
using bench::toUtf8;

int main(int argc, char** argv) {
  const bool given = argc > 1 && argv[1][0] != '\0';
  const fs::path root =
      given ? fs::u8path(argv[1]) : fs::temp_directory_path() / "chronoseq-reorder-bench";
  const int files = argc > 2 ? std::atoi(argv[2]) : 2000;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
  const fs::path folder = root / "music";
  const fs::path work = root / "bare-work";
  fs::remove_all(folder);
  fs::remove_all(work);
  fs::create_directories(folder);

  // Written in reverse name order, listed in name order.
  folderlist::EntryRows rows;
  const std::string block(1024, 'm');
  for (int i = files; i >= 1; --i) bench::writeFile(folder / bench::trackName(i), block);
  for (int i = 1; i <= files; ++i) rows.push_back({bench::trackName(i), "", {}});
  std::printf("reorder in place against %s, %d files in %s, median of %d rounds\n",
#ifdef _WIN32
              "MoveFileExW per move",
#else
              "rename per move",
#endif
              files, toUtf8(folder).c_str(), rounds);

  std::vector<double> program, loop, ratios;
  bool ok = true;
  for (int round = 0; round <= rounds; ++round) {  // round 0 warms the caches
    const auto runProgram = [&] {
      return millisecondsOf([&] {
        const auto result =
            cardorder::reorderInPlace(rows, toUtf8(folder), platform::systemCopyOps());
        if (result.outcome != cardorder::ReorderResult::Outcome::Completed) {
          std::fprintf(stderr, "%s\n", result.text().c_str());
          ok = false;
        }
      });
    };
    const auto runLoop = [&] {
      return millisecondsOf([&] {
        ok = fs::create_directory(work) && ok;
        for (const auto& row : rows) ok = bareMove(folder / row.name, work / row.name) && ok;
        for (const auto& row : rows) ok = bareMove(work / row.name, folder / row.name) && ok;
        ok = fs::remove(work) && ok;
      });
    };
    double p = 0, l = 0;
    // Alternating which goes first keeps the caches' state fair.
    if (round % 2) {
      p = runProgram();
      l = runLoop();
    } else {
      l = runLoop();
      p = runProgram();
    }
    if (!ok) {
      std::fprintf(stderr, "a move failed\n");
      return 1;
    }
    if (round > 0) {
      program.push_back(p);
      loop.push_back(l);
      ratios.push_back(p / l);
    }
  }
  const double p = median(program), l = median(loop);
  // The median of each round's own ratio too: the two runs of a round meet
  // the same load, which on a shared machine moves by more than the ratio.
  std::printf(
      "%5d files: program %9.1f ms, bare loop %9.1f ms, ratio %.3f, median round ratio %.3f\n",
      files, p, l, p / l, median(ratios));
  fs::remove_all(folder);
  if (!given) fs::remove_all(root);
  return 0;
}
