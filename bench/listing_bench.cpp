// Lists a folder of many files and compares the listing with the bare
// enumeration under it, measured in the same run on the same folder: the
// minimal loop of the same system calls reading the fields a row needs, with
// no conversion and no copy (FindFirstFileExW / FindNextFileW on Windows,
// readdir + fstatat natively). Then the resident memory the rows take.
//
//   listing_bench [entry count, default 100000] [existing folder]
//
// Without a folder it creates one of that many files in the temporary folder
// and removes it afterwards; with one, it lists what that folder holds, which
// must be that many entries. Under Wine every new name is looked up
// case-insensitively through the whole growing folder, so creating 100,000
// files there takes the better part of an hour: the default is 20,000 under
// Wine, and scripts/bench.sh makes the 100,000 natively and passes the folder.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fakes/temp_folder.h"
#include "folderlist/listing.h"
#include "platform/folder_search.h"
#include "platform/path.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h: psapi.h needs its types.
#include <psapi.h>

#include "platform/win32/utf.h"
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

struct MemoryFigures {
  std::size_t residentBytes = 0;
  std::size_t pageFaults = 0;
};

// The process's resident memory (the working set on Windows) and its page
// faults so far.
MemoryFigures memoryFigures() {
  MemoryFigures figures;
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
    figures.residentBytes = counters.WorkingSetSize;
    figures.pageFaults = counters.PageFaultCount;
  }
#else
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    unsigned long size = 0, resident = 0;
    if (std::fscanf(f, "%lu %lu", &size, &resident) == 2) {
      figures.residentBytes = resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    }
    std::fclose(f);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  figures.pageFaults = static_cast<std::size_t>(usage.ru_minflt + usage.ru_majflt);
#endif
  return figures;
}

// What the rows hold on the heap: the vector and every text too long for
// the storage inside its row.
std::size_t heapBytes(const folderlist::EntryRows& rows) {
  std::size_t bytes = rows.capacity() * sizeof(folderlist::ListEntry);
  const std::size_t inlineCapacity = std::string().capacity();
  for (const auto& row : rows) {
    for (const std::string* s : {&row.name, &row.kindText}) {
      if (s->capacity() > inlineCapacity) bytes += s->capacity() + 1;
    }
    if (row.timeText.size() > folderlist::ShortText::kInlineCapacity) {
      bytes += row.timeText.size() + 1;
    }
  }
  return bytes;
}

// What the bare loop reads of each entry, summed so that no read can be
// left out by the compiler.
struct BareTally {
  std::size_t entries = 0;
  unsigned long long sum = 0;
};

// The enumeration alone: open, next until the end, reading the name's first
// unit, the attributes and the last-write time of every entry. The same
// search options as the program's own search, so that both ask the file
// system for the same.
BareTally bareEnumeration(const std::string& folder) {
  BareTally tally;
#ifdef _WIN32
  const std::wstring pattern = platform::widen(folder) + L"\\*.*";
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return tally;
  do {
    ++tally.entries;
    tally.sum += data.cFileName[0] + data.dwFileAttributes + data.ftLastWriteTime.dwLowDateTime +
                 data.ftLastWriteTime.dwHighDateTime;
  } while (FindNextFileW(find, &data));
  FindClose(find);
#else
  DIR* dir = opendir(folder.c_str());
  if (!dir) return tally;
  const int fd = dirfd(dir);
  while (const dirent* d = readdir(dir)) {
    struct stat st;
    if (fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    ++tally.entries;
    tally.sum += static_cast<unsigned char>(d->d_name[0]) + st.st_mode +
                 static_cast<unsigned long long>(st.st_mtim.tv_sec) +
                 static_cast<unsigned long long>(st.st_mtim.tv_nsec);
  }
  closedir(dir);
#endif
  return tally;
}

// The process's processor time so far, user and kernel, in milliseconds: less
// disturbed than the wall clock by other work on a shared machine.
double cpuMilliseconds() {
#ifdef _WIN32
  FILETIME creation, exit, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user)) return 0;
  const auto ticks = [](const FILETIME& ft) {
    return static_cast<double>((static_cast<unsigned long long>(ft.dwHighDateTime) << 32) |
                               ft.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) / 10'000.0;
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
#endif
}

// Creates one file with the given last-write time, opened once for both on
// Windows.
void createTimedFile(const testsupport::TempFolder& folder, const char* name,
                     platform::FileTime lastWrite) {
#ifdef _WIN32
  const std::wstring path = platform::widen(folder.pathOf(name));
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "CreateFileW failed for %s (error %lu)\n", name, GetLastError());
    std::exit(1);
  }
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(lastWrite & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(lastWrite >> 32);
  const BOOL ok = SetFileTime(h, nullptr, nullptr, &ft);
  const DWORD error = GetLastError();
  CloseHandle(h);
  if (!ok) {
    std::fprintf(stderr, "SetFileTime failed for %s (error %lu)\n", name, error);
    std::exit(1);
  }
#else
  testsupport::setTimes(folder.createFile(name), lastWrite);
#endif
}

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename T>
T median(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // figures show as they come, also through Wine
  const int count = argc > 1                          ? std::atoi(argv[1])
                    : testsupport::runningUnderWine() ? 20000
                                                      : 100000;
  constexpr int kRounds = 7;

  std::unique_ptr<testsupport::TempFolder> made;
  std::string folder;
  if (argc > 2) {
    folder = argv[2];
  } else {
    made = std::make_unique<testsupport::TempFolder>();
    folder = made->path();
    const auto makeStart = Clock::now();
    // Times spread over twenty years, so the local-time conversion meets
    // many dates rather than one.
    const platform::FileTime base = testsupport::localToFileTime(2000, 1, 1, 0, 0, 0);
    for (int i = 0; i < count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "file%06d.dat", i);
      createTimedFile(*made, name,
                      base + static_cast<platform::FileTime>(i) * 6311 * platform::kTicksPerSecond);
    }
    std::printf("created %d files in %.0f ms\n", count, millisecondsSince(makeStart));
  }
  std::printf("folder: %s\n", folder.c_str());

  const platform::DateTimeSeparators separators{"/", ":"};
  bareEnumeration(folder);  // brings the folder into the cache

  // Memory first, while the heap is fresh, so freed blocks of earlier rounds
  // cannot hide what the rows take. This is also the first listing, the one
  // a user waits for at start-up; the bare loop is timed right after it.
  const MemoryFigures before = memoryFigures();
  const auto firstStart = Clock::now();
  folderlist::EntryRows kept = folderlist::listFolder(folder, separators);
  const double firstMs = millisecondsSince(firstStart);
  const MemoryFigures after = memoryFigures();
  if (kept.size() != static_cast<std::size_t>(count)) {
    std::fprintf(stderr, "listed %zu rows, expected %d\n", kept.size(), count);
    return 1;
  }
  const double residentMb =
      static_cast<double>(after.residentBytes - before.residentBytes) / (1024.0 * 1024.0);
  const double heapMb = static_cast<double>(heapBytes(kept)) / (1024.0 * 1024.0);
  const folderlist::ListEntry& middle = kept[static_cast<std::size_t>(count / 2)];
  const std::string sample = std::string(std::string_view(middle.name)) + " " +
                             std::string(std::string_view(middle.timeText));
  const auto firstBareStart = Clock::now();
  bareEnumeration(folder);
  const double firstBareMs = millisecondsSince(firstBareStart);

  struct Timing {
    double wall = 0;
    double processor = 0;
    double faults = 0;
  };
  const auto timed = [](auto&& work) {
    const MemoryFigures start = memoryFigures();
    const double cpu = cpuMilliseconds();
    const auto t = Clock::now();
    work();
    Timing timing;
    timing.wall = millisecondsSince(t);
    timing.processor = cpuMilliseconds() - cpu;
    timing.faults = static_cast<double>(memoryFigures().pageFaults - start.pageFaults);
    return timing;
  };

  // Each round times the bare loop, listing again into the kept rows (as the
  // main window does on F5) and listing into new rows; the order alternates,
  // so that neither side always finds the caches warm. The ratios are taken
  // within a round, whose parts share the machine's load of the moment.
  std::vector<Timing> bare, again, fresh;
  std::vector<double> againRatios, freshRatios;
  for (int round = 0; round < kRounds; ++round) {
    std::size_t seen = 0, rows = 0, freshRows = 0;
    const auto timeBare = [&] {
      bare.push_back(timed([&] { seen = bareEnumeration(folder).entries; }));
    };
    const auto timeListings = [&] {
      again.push_back(timed([&] {
        folderlist::listFolderInto(kept, folder, separators);
        rows = kept.size();
      }));
      folderlist::EntryRows made;
      fresh.push_back(timed([&] {
        made = folderlist::listFolder(folder, separators);
        freshRows = made.size();
      }));
    };
    if (round % 2 == 0) {
      timeBare();
      timeListings();
    } else {
      timeListings();
      timeBare();
    }
    if (rows + 2 < seen || freshRows != rows) {  // "." and ".." are not rows
      std::fprintf(stderr, "listed %zu and %zu rows of %zu entries\n", rows, freshRows, seen);
      return 1;
    }
    againRatios.push_back(again.back().wall / bare.back().wall);
    freshRatios.push_back(fresh.back().wall / bare.back().wall);
  }

  const auto medianOf = [](const std::vector<Timing>& v, double Timing::*field) {
    std::vector<double> values;
    for (const Timing& t : v) values.push_back(t.*field);
    return median(values);
  };
  const auto report = [&](const char* what, const std::vector<Timing>& v) {
    std::printf("%-18s%7.1f ms wall, %7.1f ms processor, %6.0f page faults\n", what,
                medianOf(v, &Timing::wall), medianOf(v, &Timing::processor),
                medianOf(v, &Timing::faults));
  };
  const auto verdict = [](double ratio) { return ratio <= 1.2 ? "met" : "MISSED"; };
  const double againRatio = median(againRatios);
  const double freshRatio = median(freshRatios);
  const double firstRatio = firstMs / firstBareMs;
  std::printf("sample row:        %s\n", sample.c_str());
  std::printf("medians of %d rounds over %d entries:\n", kRounds, count);
  report("bare enumeration:", bare);
  report("listing again:", again);
  report("listing new rows:", fresh);
  std::printf("ratio again:       %.3f wall (target <= 1.2: %s), %.3f processor\n", againRatio,
              verdict(againRatio),
              medianOf(again, &Timing::processor) / medianOf(bare, &Timing::processor));
  std::printf("ratio new rows:    %.3f wall (target <= 1.2: %s), %.3f processor\n", freshRatio,
              verdict(freshRatio),
              medianOf(fresh, &Timing::processor) / medianOf(bare, &Timing::processor));
  std::printf(
      "first listing:     %.1f ms wall into fresh memory, the bare loop after it %.1f ms: "
      "%.3f (target <= 1.2: %s)\n",
      firstMs, firstBareMs, firstRatio, verdict(firstRatio));
  std::printf("rows resident:     %.1f MB for %d rows (target < 50 MB: %s); heap held %.1f MB\n",
              residentMb, count, residentMb < 50.0 ? "met" : "MISSED", heapMb);
  return 0;
}
