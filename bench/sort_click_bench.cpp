// The wall time of one click on the name column's header of the real main
// window holding 100,000 rows in listing order: from the mouse button's
// release on the header to the list painted again in the new order. Also
// with every row selected (after Ctrl+A), where every mark moves.
//
//   sort_click_bench [rows=100000] [rounds=5]
//
// Needs the Win32 windows and a display (scripts/bench.sh runs it under Wine
// on Xvfb); elsewhere it says so and does nothing.
#include <cstdio>

#ifndef _WIN32
int main() {
  std::printf("sort_click_bench: the header click needs the Win32 windows; nothing measured\n");
  return 0;
}
#else
#include <windows.h>
// The headers below need the types <windows.h> declares.
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "bench_timing.h"
#include "folderlist/row_sort.h"
#include "platform/collation.h"
#include "shell/program.h"
#include "sort_names.h"

namespace {

using Clock = std::chrono::steady_clock;
using bench::median;

void pump(shell::Program& windows) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (windows.translateDialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The processor time this process has used, in ms: on a machine shared
// with other work, a better guess at the unshared wall time than the wall
// clock (the window system's own server is not counted).
double processMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                               t.dwLowDateTime) /
           10000.0;
  };
  return ms(kernel) + ms(user);
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  const std::filesystem::path empty =
      std::filesystem::temp_directory_path() / "chronoseq-sort-click-bench";
  std::filesystem::create_directories(empty);
  shell::ProgramOptions options;
  options.title = "Chronoseq";
  options.treeRoot = empty.wstring();
  shell::Program windows(std::move(options));
  if (!windows.create()) {
    std::printf("sort_click_bench: the windows could not be created (no display?)\n");
    return 1;
  }
  windows.showMainWindow(SW_SHOWNORMAL);
  pump(windows);

  const folderlist::EntryRows listed = benchdata::benchRows(count);
  HWND list = windows.mainWindow().list().hwnd();
  HWND header = ListView_GetHeader(list);
  RECT r{};
  Header_GetItemRect(header, 0, &r);
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);

  double lastCpu = 0;
  const auto clickOnce = [&](bool selectAll, bool numericNames = false) {
    windows.objects().order.setNumericNames(numericNames);
    // The rows as a listing leaves them: enumeration order, no marks.
    windows.folder().rows() = listed;
    windows.mainWindow().list().setRowCount(static_cast<int>(count));
    ListView_SetItemState(list, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if (selectAll) ListView_SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
    pump(windows);
    UpdateWindow(list);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    const auto start = Clock::now();
    const double startCpu = processMilliseconds();
    SendMessageW(header, WM_LBUTTONUP, 0, at);
    pump(windows);
    UpdateWindow(windows.mainWindow().hwnd());
    UpdateWindow(list);
    GdiFlush();
    lastCpu = processMilliseconds() - startCpu;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  };

  // The parts: the sort of the rows alone, and the handler without the
  // header and the painting.
  const auto partsOnce = [&](std::vector<double>& sortOnly, std::vector<double>& handler) {
    folderlist::EntryRows rows = listed;
    folderlist::ListMarks marks{{2}, 2, 2};
    platform::TextCollation collation;
    auto start = Clock::now();
    folderlist::sortRows(rows, marks, 0, false, collation);
    sortOnly.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    windows.folder().rows() = listed;
    windows.mainWindow().list().setRowCount(static_cast<int>(count));
    ListView_SetItemState(list, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    pump(windows);
    start = Clock::now();
    windows.objects().order.columnClicked(0);
    handler.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    pump(windows);
  };

  std::vector<double> one, all, sortOnly, handler;
  std::vector<double> oneCpu;
  for (int round = 0; round < rounds; ++round) {
    one.push_back(clickOnce(false));
    oneCpu.push_back(lastCpu);
  }
  for (int round = 0; round < rounds; ++round) all.push_back(clickOnce(true));
  // With "数字を数値として並べる(&N)" on: StrCmpLogicalW has no sort keys.
  std::vector<double> numeric;
  for (int round = 0; round < rounds; ++round) numeric.push_back(clickOnce(false, true));
  for (int round = 0; round < rounds; ++round) partsOnce(sortOnly, handler);
  clickOnce(true);  // the checks below look at a click with every row selected
  // By name, in either direction.
  const auto& rows = windows.folder().rows();
  app::ListOrder& order = windows.objects().order;
  const bool sorted = std::is_sorted(rows.begin(), rows.end(),
                                     [&](const auto& a, const auto& b) {
                                       return order.compareNames(a.name, b.name) < 0;
                                     }) ||
                      std::is_sorted(rows.rbegin(), rows.rend(), [&](const auto& a, const auto& b) {
                        return order.compareNames(a.name, b.name) < 0;
                      });
  const int selected = ListView_GetSelectedCount(list);

  std::printf("one header click on %zu rows, click to repainted list, median of %d\n", count,
              rounds);
  std::printf("  one row selected      %8.1f ms  (aim < 300), processor time %.1f ms\n",
              median(one), median(oneCpu));
  std::printf("  every row selected    %8.1f ms\n", median(all));
  std::printf("  digits as numbers     %8.1f ms  (one row selected)\n", median(numeric));
  std::printf("  of which the handler  %8.1f ms, the sort of the rows %.1f ms\n", median(handler),
              median(sortOnly));
  std::printf("  (last click left the rows %s, %d rows selected)\n",
              sorted ? "in the comparison's order" : "OUT OF ORDER", selected);
  std::filesystem::remove_all(empty);
  if (SUCCEEDED(com)) CoUninitialize();
  return sorted && selected == static_cast<int>(count) ? 0 : 1;
}
#endif
