// Sorting 100,000 rows by name with "数字を数値として並べる(&N)" on, as a
// header click does (names made wide or keyed, the stable sort, the marks
// moved, the rows put in place), against a stable sort of the same names by
// the platform's comparison alone, in the same run: on Windows StrCmpLogicalW
// over names already in UTF-16; on POSIX ICU's numeric collation (ucol_strcoll)
// over names already folded to UTF-16. The baseline's conversion is not timed.
//
//   numeric_sort_bench [rows=100000] [rounds=5]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "folderlist/numeric_name_sort.h"
#include "sort_names.h"

#ifdef _WIN32
#include <shlwapi.h>
#include <windows.h>

#include "platform/win32/utf.h"
#else
#include <unicode/ucol.h>

#include "platform/posix/icu_text.h"
#endif

namespace {

using bench::median;
using bench::millisecondsOf;

#ifdef _WIN32
using NativeText = std::wstring;
NativeText nativeText(const std::string& name) { return platform::widen(name); }
bool nativeLess(const NativeText& a, const NativeText& b) {
  return StrCmpLogicalW(a.c_str(), b.c_str()) < 0;
}
const char* const kBaselineName = "StrCmpLogicalW alone";
#else
using NativeText = std::u16string;
NativeText nativeText(const std::string& name) {
  std::u16string folded;
  platform::posix::foldInto(name, folded);
  return folded;
}
bool nativeLess(const NativeText& a, const NativeText& b) {
  static const platform::posix::UniqueCollator collator = platform::posix::openUserCollator(true);
  return ucol_strcoll(collator.get(), a.data(), static_cast<int32_t>(a.size()), b.data(),
                      static_cast<int32_t>(b.size())) == UCOL_LESS;
}
const char* const kBaselineName = "ICU numeric ucol_strcoll";
#endif

}  // namespace

int main(int argc, char** argv) {
  const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const folderlist::EntryRows rows = benchdata::benchRows(count);
  std::vector<NativeText> names;
  for (const auto& row : rows) names.push_back(nativeText(row.name));
  platform::NumericCollation collation;

  std::vector<double> program, baseline;
  for (int round = 0; round < rounds; ++round) {
    folderlist::EntryRows copy = rows;
    folderlist::ListMarks marks{{1, 2, 3}, 2, 1};
    program.push_back(
        millisecondsOf([&] { folderlist::sortRowsByNumericName(copy, marks, false, collation); }));
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    baseline.push_back(millisecondsOf([&] {
      std::stable_sort(order.begin(), order.end(), [&names](std::uint32_t a, std::uint32_t b) {
        return nativeLess(names[a], names[b]);
      });
    }));
    // Both must give the same order of names.
    for (std::size_t i = 0; i < count; ++i) {
      if (copy[i].name != rows[order[i]].name) {
        std::printf("the orders differ at place %zu: %s / %s\n", i, copy[i].name.c_str(),
                    rows[order[i]].name.c_str());
        return 1;
      }
    }
  }
  const double p = median(program);
  const double b = median(baseline);
  std::printf("sorting %zu rows by name with digits as numbers, median of %d rounds\n", count,
              rounds);
  std::printf("  the program                      %8.1f ms\n", p);
  std::printf("  baseline: %-24s%8.1f ms\n", kBaselineName, b);
  std::printf("  ratio program / baseline         %8.2f\n", p / b);
  return 0;
}
