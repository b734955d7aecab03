// Lists a folder of many files and compares the listing with the bare
// enumeration loop under it (the same searches, no rows built), measured in
// the same run on the same folder; then the resident memory the rows take.
//
//   listing_bench [entry count, default 100000] [existing folder]
//
// Without a folder it creates one of that many files in the temporary folder
// and removes it afterwards; with one, it lists what that folder holds.
// Under Wine every new name is looked up case-insensitively through the whole
// growing folder, so creating 100,000 files there takes the better part of an
// hour: the default is 20,000 under Wine, and the full figure comes from a
// folder made natively, such as Z:\tmp\many-files.

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
#include <sys/resource.h>
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

// What the rows hold on the heap: the vector and every string longer than
// the small-string buffer.
std::size_t heapBytes(const folderlist::EntryRows& rows) {
  std::size_t bytes = rows.capacity() * sizeof(folderlist::ListEntry);
  const std::size_t inlineCapacity = std::string().capacity();
  for (const auto& row : rows) {
    for (const std::string* s : {&row.name, &row.kindText, &row.timeText}) {
      if (s->capacity() > inlineCapacity) bytes += s->capacity() + 1;
    }
  }
  return bytes;
}

// The enumeration alone, as the listing drives it: open, next until the end.
std::size_t bareEnumeration(const std::string& folder) {
  std::string pattern = folder;
  pattern.push_back(platform::kPathSeparator);
  pattern += "*.*";
  auto search = platform::openFolderSearch(pattern);
  if (!search) return 0;
  platform::FoundEntry entry;
  std::size_t seen = 0;
  while (search->next(entry)) seen += entry.name.empty() ? 0 : 1;
  return seen;
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
  // cannot hide what the rows take.
  const MemoryFigures before = memoryFigures();
  const auto coldStart = Clock::now();
  folderlist::EntryRows kept = folderlist::listFolder(folder, separators);
  const double coldMs = millisecondsSince(coldStart);
  const MemoryFigures after = memoryFigures();
  if (kept.size() != static_cast<std::size_t>(count)) {
    std::fprintf(stderr, "listed %zu rows, expected %d\n", kept.size(), count);
    return 1;
  }
  const double residentMb =
      static_cast<double>(after.residentBytes - before.residentBytes) / (1024.0 * 1024.0);
  const double heapMb = static_cast<double>(heapBytes(kept)) / (1024.0 * 1024.0);
  const std::string sample = kept[count / 2].name + " " + kept[count / 2].timeText;

  std::vector<double> bare, listing, bareCpu, listingCpu;
  std::vector<std::size_t> bareFaults, listingFaults;
  for (int round = 0; round < kRounds; ++round) {
    MemoryFigures start = memoryFigures();
    double cpu = cpuMilliseconds();
    auto t = Clock::now();
    const std::size_t seen = bareEnumeration(folder);
    bare.push_back(millisecondsSince(t));
    bareCpu.push_back(cpuMilliseconds() - cpu);
    bareFaults.push_back(memoryFigures().pageFaults - start.pageFaults);

    start = memoryFigures();
    cpu = cpuMilliseconds();
    t = Clock::now();
    // As the main window lists again: into its rows, whose storage stays.
    folderlist::listFolderInto(kept, folder, separators);
    const std::size_t rows = kept.size();
    listing.push_back(millisecondsSince(t));
    listingCpu.push_back(cpuMilliseconds() - cpu);
    listingFaults.push_back(memoryFigures().pageFaults - start.pageFaults);
    if (rows + 2 < seen) {  // "." and ".." are not rows
      std::fprintf(stderr, "listed %zu rows of %zu entries\n", rows, seen);
      return 1;
    }
  }

  const double bareMs = median(bare);
  const double listingMs = median(listing);
  const double ratio = listingMs / bareMs;
  std::printf("sample row: %s\n", sample.c_str());
  std::printf("bare enumeration: %7.1f ms wall, %7.1f ms processor, %zu page faults\n", bareMs,
              median(bareCpu), median(bareFaults));
  std::printf("listFolder:       %7.1f ms wall, %7.1f ms processor, %zu page faults\n", listingMs,
              median(listingCpu), median(listingFaults));
  std::printf("                  (medians of %d rounds, listing again into the same rows)\n",
              kRounds);
  std::printf("first listing:    %7.1f ms wall into fresh memory, %.3f of the bare median\n",
              coldMs, coldMs / bareMs);
  std::printf("ratio:            %.3f wall (target <= 1.2: %s), %.3f processor\n", ratio,
              ratio <= 1.2 ? "met" : "MISSED", median(listingCpu) / median(bareCpu));
  std::printf("rows resident:    %.1f MB for %d rows (target < 50 MB: %s); heap held %.1f MB\n",
              residentMb, count, residentMb < 50.0 ? "met" : "MISSED", heapMb);
  return 0;
}
