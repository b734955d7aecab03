// Sorting 100,000 rows by name as a header click does, against a stable
// sort of the same names by the platform collator's own sort keys (Windows:
// LCMapStringW LCMAP_SORTKEY with NORM_IGNORECASE; POSIX: ICU sort keys of
// the case-folded names at the strength the program uses), in the same run.
// The baseline gets its names already in the collator's own text form
// (UTF-16, folded on POSIX) without timing that; it times making the keys and
// the stable sort. For information also: the same sort asking the pairwise
// comparison for every pair, as a sort by comparison callback does.
//
//   sort_bench [rows=100000] [rounds=5]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "folderlist/row_sort.h"
#include "platform/collation.h"
#include "sort_names.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/utf.h"
#else
#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ustring.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;
using bench::median;
using bench::millisecondsOf;

#ifdef _WIN32
using NativeText = std::wstring;

NativeText nativeText(const std::string& name) { return platform::widen(name); }

void appendKey(const NativeText& text, std::string& key) {
  const int size = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(),
                                -1, nullptr, 0);
  key.resize(static_cast<std::size_t>(size));
  LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), -1,
               reinterpret_cast<LPWSTR>(key.data()), size);
}
const char* const kBaselineName = "LCMapStringW sort keys";
#else
using NativeText = std::u16string;

NativeText nativeText(const std::string& name) {
  std::u16string out;
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  std::u16string wide(name.size() + 1, u'\0');
  u_strFromUTF8WithSub(wide.data(), static_cast<int32_t>(wide.size()), &length, name.data(),
                       static_cast<int32_t>(name.size()), 0xFFFD, nullptr, &status);
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U16_NEXT(wide.data(), i, length, c);
    c = u_foldCase(c, U_FOLD_CASE_DEFAULT);
    if (U_IS_BMP(c)) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      out.push_back(static_cast<char16_t>(U16_LEAD(c)));
      out.push_back(static_cast<char16_t>(U16_TRAIL(c)));
    }
  }
  return out;
}

UCollator* benchCollator() {
  static UCollator* collator = [] {
    UErrorCode status = U_ZERO_ERROR;
    const char* lang = std::getenv("LANG");
    std::string locale = lang ? lang : "";
    locale = locale.substr(0, locale.find_first_of(".@"));
    UCollator* c = ucol_open(locale.c_str(), &status);
    ucol_setStrength(c, UCOL_IDENTICAL);
    return c;
  }();
  return collator;
}

void appendKey(const NativeText& text, std::string& key) {
  key.resize(256);
  int32_t size = ucol_getSortKey(benchCollator(), text.data(), static_cast<int32_t>(text.size()),
                                 reinterpret_cast<uint8_t*>(key.data()), 256);
  if (size > 256) {
    key.resize(static_cast<std::size_t>(size));
    size = ucol_getSortKey(benchCollator(), text.data(), static_cast<int32_t>(text.size()),
                           reinterpret_cast<uint8_t*>(key.data()), size);
  }
  key.resize(static_cast<std::size_t>(size));
}
const char* const kBaselineName = "ICU sort keys";
#endif

// Keys, then a stable sort of the names by them.
std::vector<NativeText> baselineSort(std::vector<NativeText> names) {
  std::vector<std::string> keys(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) appendKey(names[i], keys[i]);
  std::vector<std::uint32_t> order(names.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(),
                   [&keys](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
  std::vector<NativeText> sorted;
  sorted.reserve(names.size());
  for (std::uint32_t i : order) sorted.push_back(std::move(names[i]));
  return sorted;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const folderlist::EntryRows rows = benchdata::benchRows(count);
  std::vector<NativeText> names;
  for (const auto& row : rows) names.push_back(nativeText(row.name));
  platform::TextCollation collation;

  std::vector<double> program, baseline, pairwise, kind, time;
  for (int round = 0; round < rounds; ++round) {
    folderlist::EntryRows copy = rows;
    folderlist::ListMarks marks{{1, 2, 3}, 2, 1};
    program.push_back(
        millisecondsOf([&] { folderlist::sortRows(copy, marks, 0, false, collation); }));
    std::vector<NativeText> input = names;
    std::vector<NativeText> sorted;
    baseline.push_back(millisecondsOf([&] { sorted = baselineSort(std::move(input)); }));
    if (sorted.size() != count) return 1;
    folderlist::EntryRows byKind = rows;
    kind.push_back(
        millisecondsOf([&] { folderlist::sortRows(byKind, marks, 1, false, collation); }));
    folderlist::EntryRows byTime = rows;
    time.push_back(
        millisecondsOf([&] { folderlist::sortRows(byTime, marks, 2, true, collation); }));
  }
  {
    folderlist::EntryRows copy = rows;
    pairwise.push_back(millisecondsOf([&] {
      std::stable_sort(copy.begin(), copy.end(),
                       [&](const folderlist::ListEntry& a, const folderlist::ListEntry& b) {
                         return collation.compare(a.name, b.name) < 0;
                       });
    }));
  }

  const double p = median(program);
  const double b = median(baseline);
  std::printf("sorting %zu rows, median of %d rounds\n", count, rounds);
  std::printf("  by name (the program)            %8.1f ms\n", p);
  std::printf("  baseline: %-22s  %8.1f ms\n", kBaselineName, b);
  std::printf("  ratio program / baseline         %8.2f  (target <= 1.5)\n", p / b);
  std::printf("  by kind                          %8.1f ms\n", median(kind));
  std::printf("  by time, descending              %8.1f ms\n", median(time));
  std::printf("  by name, comparing every pair    %8.1f ms  (one round, for information)\n",
              pairwise[0]);
  return 0;
}
