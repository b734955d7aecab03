// The stamping run over real files against the bare loop of the same system
// calls on the same files, measured in the same process; natively also
// against one `touch -d` process per file.
//
//   stamping_bench [files=10000] [rounds=5] [touch_sample=500]
//
// Prints the median time of each and the run's throughput as a ratio of the
// bare loop's (1.0 = as fast as the bare calls); and the throughput of the
// run that keeps every entry's old times for an undo as a ratio of the same
// run without.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench_files.h"
#include "bench_timing.h"
#include "folderlist/list_entry.h"
#include "platform/file_ops.h"
#include "platform/path.h"
#include "platform/time_zone.h"
#include "stamping/stamping_run.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
extern char** environ;
#endif

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using bench::median;
using bench::millisecondsOf;
using bench::toUtf8;

#ifdef _WIN32
// GetFileAttributesW, FindFirstFileW + FindClose, the local-time conversion,
// CreateFileW, SetFileTime, CloseHandle: what the run does per file.
bool bareStamp(const std::wstring& path, const SYSTEMTIME& local) {
  if (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY) return false;
  WIN32_FIND_DATAW data;
  const HANDLE search = FindFirstFileW(path.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  const HANDLE h =
      CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  SYSTEMTIME universal;
  FILETIME ft;
  const BOOL ok = TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal) &&
                  SystemTimeToFileTime(&universal, &ft) && SetFileTime(h, nullptr, nullptr, &ft);
  CloseHandle(h);
  return ok != 0;
}
using NativePath = std::wstring;
NativePath nativePath(const fs::path& p) { return p.wstring(); }
#else
// lstat twice (attributes, existence), mktime, open, futimens, close.
bool bareStamp(const std::string& path, const std::tm& local) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || (st.st_mode & 0222) == 0) return false;
  if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  std::tm copy = local;
  const time_t t = std::mktime(&copy);
  const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  const timespec times[2] = {{0, UTIME_OMIT}, {t, 0}};
  const bool ok = ::futimens(fd, times) == 0;
  ::close(fd);
  return ok;
}
using NativePath = std::string;
NativePath nativePath(const fs::path& p) { return p.string(); }

// One `touch -d` process per file, the way a script would stamp them.
bool touchProcess(const std::string& path, const std::string& when) {
  const char* argv[] = {"touch", "-m", "-d", when.c_str(), path.c_str(), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "touch", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
    return false;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 10'000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  // Files stamped by one touch process each, for comparison (not on Windows).
  [[maybe_unused]] const int touchSample = argc > 3 ? std::atoi(argv[3]) : 500;

  const fs::path dir =
      fs::temp_directory_path() /
      ("chronoseq-bench-" + std::to_string(Clock::now().time_since_epoch().count()));
  fs::create_directories(dir);
  folderlist::EntryRows rows;
  std::vector<NativePath> paths;
  for (int i = 0; i < files; ++i) {
    const std::string name = "file" + std::to_string(i) + ".txt";
    std::ofstream(dir / name) << "chronoseq";
    rows.push_back({name, "", ""});
    paths.push_back(nativePath(dir / name));
  }
  const std::string folder = toUtf8(dir);
  const platform::DateTimeSeparators separators = platform::userDateTimeSeparators();

  std::vector<double> runTimes;
  std::vector<double> bareTimes;
  std::vector<double> keepTimes;
  std::vector<double> plainTimes;
  int failures = 0;
  int bareFailures = 0;  // a failed call is cheaper: the bare figure would flatter
  for (int round = 0; round < rounds; ++round) {
    stamping::StampOptions options;
    options.start = {2009, 3, 5, 12, round, 0};
    const auto timeRun = [&] {
      return millisecondsOf([&] {
        const auto r =
            stamping::runStamping(rows, folder, platform::systemFileOps(), options, separators,
                                  platform::localToUtc, platform::utcToLocal, [](int, int, int) {});
        if (r.outcome != stamping::RunResult::Outcome::Completed) ++failures;
      });
    };
    // The same run keeping every entry's old times for an undo, as the
    // program runs it.
    const auto timeKeeping = [&] {
      stamping::KeptEntries kept;
      return millisecondsOf([&] {
        stamping::StampOptions keeping = options;
        keeping.keep = &kept;
        kept.reserve(static_cast<std::size_t>(files));
        const auto r =
            stamping::runStamping(rows, folder, platform::systemFileOps(), keeping, separators,
                                  platform::localToUtc, platform::utcToLocal, [](int, int, int) {});
        if (r.outcome != stamping::RunResult::Outcome::Completed ||
            kept.size() != static_cast<std::size_t>(files)) {
          ++failures;
        }
      });
    };
    const auto timeBare = [&] {
      return millisecondsOf([&] {
      // The same start time plus one minute per file as the run. On Windows
      // the minutes are counted on a file time and turned back into a date,
      // so the calendar carries them into the next day, month and year
      // however many files there are.
#ifdef _WIN32
        SYSTEMTIME start{};
        start.wYear = 2009;
        start.wMonth = 3;
        start.wDay = 5;
        start.wHour = 12;
        start.wMinute = static_cast<WORD>(round);
        FILETIME startTicks;
        SystemTimeToFileTime(&start, &startTicks);
        ULARGE_INTEGER ticks;
        ticks.LowPart = startTicks.dwLowDateTime;
        ticks.HighPart = startTicks.dwHighDateTime;
#else
        int minutes = 12 * 60 + round;
#endif
        for (const NativePath& p : paths) {
#ifdef _WIN32
          FILETIME at;
          at.dwLowDateTime = ticks.LowPart;
          at.dwHighDateTime = ticks.HighPart;
          SYSTEMTIME local;
          FileTimeToSystemTime(&at, &local);
          ticks.QuadPart += 60ull * 10'000'000ull;
#else
          std::tm local{};
          local.tm_year = 109;
          local.tm_mon = 2;
          local.tm_mday = 5;
          local.tm_min = minutes;  // mktime carries it into hours and days
          local.tm_isdst = -1;
          ++minutes;
#endif
          if (!bareStamp(p, local)) ++bareFailures;
        }
      });
    };
    // The order alternates so neither side always finds the caches warm.
    if (round % 2 == 0) {
      runTimes.push_back(timeRun());
      bareTimes.push_back(timeBare());
    } else {
      bareTimes.push_back(timeBare());
      runTimes.push_back(timeRun());
    }
    // The run with and without keeping, back to back, in alternating order.
    if (round % 2 == 0) {
      keepTimes.push_back(timeKeeping());
      plainTimes.push_back(timeRun());
    } else {
      plainTimes.push_back(timeRun());
      keepTimes.push_back(timeKeeping());
    }
  }

  // Each round times the two back to back, so the ratio of a pair shares
  // the machine's load of the moment; the median pair ratio is reported.
  std::vector<double> ratios;
  for (std::size_t i = 0; i < runTimes.size(); ++i) ratios.push_back(bareTimes[i] / runTimes[i]);
  const double run = median(runTimes);
  const double bare = median(bareTimes);
  std::printf("files                 %d (%d rounds, medians)\n", files, rounds);
  std::printf("runStamping           %9.1f ms  %6.2f us/file\n", run, run * 1000 / files);
  std::printf("bare system calls     %9.1f ms  %6.2f us/file\n", bare, bare * 1000 / files);
  std::printf(
      "run throughput / bare %9.2f  (median of paired rounds, range %.2f..%.2f; "
      "target >= 0.80)\n",
      median(ratios), *std::min_element(ratios.begin(), ratios.end()),
      *std::max_element(ratios.begin(), ratios.end()));

  std::vector<double> keepRatios;
  for (std::size_t i = 0; i < keepTimes.size(); ++i) {
    keepRatios.push_back(plainTimes[i] / keepTimes[i]);
  }
  const double keep = median(keepTimes);
  std::printf("run keeping old times %9.1f ms  %6.2f us/file\n", keep, keep * 1000 / files);
  std::printf("run alone (paired)    %9.1f ms  %6.2f us/file\n", median(plainTimes),
              median(plainTimes) * 1000 / files);
  std::printf(
      "keeping / run alone   %9.3f  (median of paired rounds, range %.3f..%.3f; "
      "target >= 0.95)\n",
      median(keepRatios), *std::min_element(keepRatios.begin(), keepRatios.end()),
      *std::max_element(keepRatios.begin(), keepRatios.end()));
  // On a shared machine the fastest round of each is the one least disturbed.
  std::printf("keeping / run alone   %9.3f  (fastest round of each: %.2f / %.2f us/file)\n",
              *std::min_element(plainTimes.begin(), plainTimes.end()) /
                  *std::min_element(keepTimes.begin(), keepTimes.end()),
              *std::min_element(keepTimes.begin(), keepTimes.end()) * 1000 / files,
              *std::min_element(plainTimes.begin(), plainTimes.end()) * 1000 / files);

#ifndef _WIN32
  const int sample = std::min(touchSample, files);
  if (sample > 0) {
    const double touchMs = millisecondsOf([&] {
      for (int i = 0; i < sample; ++i) {
        if (!touchProcess(paths[static_cast<std::size_t>(i)], "2009-03-05 12:30:00")) ++failures;
      }
    });
    const double extrapolated = touchMs * files / sample;
    std::printf("touch -d per file     %9.1f ms  %6.2f us/file (%d sampled, extrapolated)\n",
                extrapolated, touchMs * 1000 / sample, sample);
    std::printf("run speed-up vs touch %9.1fx\n", extrapolated / run);
  }
#else
  std::printf("touch -d per file     n/a under Windows\n");
#endif
  if (failures) std::printf("FAILURES              %d\n", failures);
  if (bareFailures) std::printf("BARE LOOP FAILURES    %d\n", bareFailures);

  std::error_code ec;
  fs::remove_all(dir, ec);
  return failures || bareFailures ? 1 : 0;
}
