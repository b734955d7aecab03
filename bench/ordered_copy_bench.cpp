// Copying the rows in their order (the program's whole copy: the checks, the
// contents, the three times, the read-back) against a bare copy loop over the
// same files in the same process: CopyFileExW per file on Windows, the
// standard library's copy_file natively. Two sets: many small files and a
// few large ones.
//
//   ordered_copy_bench [small_files=2000] [large_files=20] [large_mb=50] [rounds=3]
//
// Prints the median time of each and the program's time as a ratio of the
// loop's (1.0 = as fast as the bare copies). The program runs twice: as on a
// fixed disk, and as on a card or stick, where each file is flushed before
// it is closed (the destination here is the same folder, reported as
// removable): the second ratio is the flush's cost.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench_files.h"
#include "bench_timing.h"
#include "cardcopy/ordered_copy.h"
#include "fakes/forwarding_copy_ops.h"
#include "folderlist/list_entry.h"
#include "platform/copy_ops.h"

namespace {

namespace fs = std::filesystem;
using bench::bareCopy;
using bench::median;
using bench::millisecondsOf;
using bench::toUtf8;

// The system's copy operations on a destination reported as removable, so
// the copy flushes every file as it does on a card.
class AsRemovable : public fakes::ForwardingCopyOps {
 public:
  using ForwardingCopyOps::ForwardingCopyOps;
  platform::OsErrorCode volumeSpace(const std::string& f, platform::VolumeSpace& space) override {
    const platform::OsErrorCode error = real_.volumeSpace(f, space);
    space.removable = true;
    return error;
  }
};

struct Set {
  const char* name;
  int files;
  std::size_t bytes;
};

void runSet(const fs::path& root, const Set& set, int rounds) {
  const fs::path source = root / (std::string(set.name) + "-source");
  fs::create_directories(source);
  folderlist::EntryRows rows;
  std::string block(set.bytes, '\0');
  for (std::size_t i = 0; i < block.size(); ++i)
    block[i] = static_cast<char>(i * 2654435761u >> 24);
  for (int i = 0; i < set.files; ++i) {
    const std::string name = bench::trackName(set.files - i);  // not in name order
    bench::writeFile(source / name, block);
    rows.push_back({name, "", {}});
  }
  const auto order = [](std::string_view a, std::string_view b) { return a.compare(b); };

  AsRemovable removable(platform::systemCopyOps());
  std::vector<double> program, flushed, loop;
  for (int round = 0; round <= rounds; ++round) {  // round 0 warms the caches
    const fs::path a = root / "dest-program";
    const fs::path f = root / "dest-flushed";
    const fs::path b = root / "dest-loop";
    fs::create_directories(a);
    fs::create_directories(f);
    fs::create_directories(b);
    bool ok = true;
    const auto runProgram = [&](platform::CopyOps& ops, const fs::path& to) {
      return millisecondsOf([&] {
        const auto result = cardcopy::copyInOrder(rows, toUtf8(source), toUtf8(to), ops, order);
        ok = ok && result.outcome == cardcopy::CopyResult::Outcome::Completed;
      });
    };
    const auto runLoop = [&] {
      return millisecondsOf([&] {
        for (const auto& row : rows) ok = bareCopy(source / row.name, b / row.name) && ok;
      });
    };
    // Rotating which goes first keeps the page cache's state fair.
    double p = 0, w = 0, l = 0;
    switch (round % 3) {
      case 0:
        l = runLoop();
        p = runProgram(platform::systemCopyOps(), a);
        w = runProgram(removable, f);
        break;
      case 1:
        p = runProgram(platform::systemCopyOps(), a);
        w = runProgram(removable, f);
        l = runLoop();
        break;
      default:
        w = runProgram(removable, f);
        l = runLoop();
        p = runProgram(platform::systemCopyOps(), a);
        break;
    }
    if (!ok) {
      std::fprintf(stderr, "%s: a copy failed\n", set.name);
      std::exit(1);
    }
    if (round > 0) {
      program.push_back(p);
      flushed.push_back(w);
      loop.push_back(l);
    }
    fs::remove_all(a);
    fs::remove_all(f);
    fs::remove_all(b);
  }
  const double p = median(program), w = median(flushed), l = median(loop);
  std::printf(
      "%-6s %5d files x %9zu bytes: program %9.1f ms, flushed %9.1f ms, bare loop %9.1f ms, "
      "ratio %.3f, flushed ratio %.3f\n",
      set.name, set.files, set.bytes, p, w, l, p / l, w / l);
  std::fflush(stdout);
  fs::remove_all(source);
}

}  // namespace

int main(int argc, char** argv) {
  const int smallFiles = argc > 1 ? std::atoi(argv[1]) : 2000;
  const int largeFiles = argc > 2 ? std::atoi(argv[2]) : 20;
  const int largeMb = argc > 3 ? std::atoi(argv[3]) : 50;
  const int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
  const fs::path root = fs::temp_directory_path() / "chronoseq-copy-bench";
  fs::remove_all(root);
  fs::create_directories(root);
  std::printf("ordered copy against %s, median of %d rounds\n",
#ifdef _WIN32
              "CopyFileExW per file",
#else
              "std::filesystem::copy_file per file",
#endif
              rounds);
  runSet(root, {"small", smallFiles, 4096}, rounds);
  runSet(root, {"large", largeFiles, static_cast<std::size_t>(largeMb) * 1024 * 1024}, rounds);
  fs::remove_all(root);
  return 0;
}
