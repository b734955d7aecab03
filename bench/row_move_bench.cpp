// Gathering selected rows of a long list: the time of every step of a
// multi-row move, and the sum over the move, against a baseline measured in
// the same run: the row move done the plain way, copying the three texts of
// every position between source and target one position at a time, over
// the very same spans the steps moved.
// Also the drag-over call on a long and a short list (it must not grow with
// the rows).
//
//   row_move_bench [rows=100000] [selected=1000]
//
// The steps run on the Windows timer's 10 ms cadence, so every step must
// stay well under 1 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/list_view_marks.h"
#include "folderlist/row_move.h"

#ifndef _WIN32
#include <ctime>
#endif

namespace {

// Processor time of this thread where the OS measures it finely, the
// monotonic clock otherwise (Windows' thread times tick in 15.6 ms).
double nowMicroseconds() {
#ifdef _WIN32
  return std::chrono::duration<double, std::micro>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
#else
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
#endif
}

const char* clockName() {
#ifdef _WIN32
  return "wall clock";
#else
  return "thread CPU time";
#endif
}

// Marks per position, as the list control keeps them; it also notes the
// span each step redraws, which is the span its row move covered.
class Marks final : public platform::EntryListView {
 public:
  explicit Marks(int rows) : selected_(static_cast<std::size_t>(rows), 0) {}
  void setRowCount(int count) override { selected_.assign(static_cast<std::size_t>(count), 0); }
  void redrawRows(int first, int last) override { spans.push_back({first, last}); }
  int selectionCount() const override {
    return static_cast<int>(std::count(selected_.begin(), selected_.end(), 1));
  }
  int firstSelected() const override {
    const auto it = std::find(selected_.begin(), selected_.end(), 1);
    return it == selected_.end() ? -1 : static_cast<int>(it - selected_.begin());
  }
  bool isSelected(int row) const override { return selected_[static_cast<std::size_t>(row)] != 0; }
  void setSelected(int row, bool s) override {
    selected_[static_cast<std::size_t>(row)] = s ? 1 : 0;
  }
  void setFocused(int row) override { focused_ = row; }
  int columnWidth(int) const override { return 0; }
  void setColumnWidth(int, int) override {}
  int focusedRow() const override { return focused_; }
  int rowAt(int, int y) const override {
    const int row = y / 17;
    return row >= 0 && row < static_cast<int>(selected_.size()) ? row : -1;
  }
  int top() const override { return 0; }
  int height() const override { return 534; }
  void scrollBy(int) override {}
  void refresh() override {}
  // Sorting is not measured here.
  std::vector<int> selectedRows() const override { return {}; }
  int selectionMarkRow() const override { return -1; }
  void setMarks(const std::vector<int>&, int, int) override {}
  void setSortArrow(int, bool) override {}
  void ensureVisible(int) override {}
  void showCaptureColumn(bool, int) override {}

  struct Span {
    int first, last;
  };
  std::vector<Span> spans;

 private:
  std::vector<char> selected_;
  int focused_ = -1;
};

folderlist::EntryRows makeRows(int count) {
  folderlist::EntryRows rows;
  rows.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "entry_%06d.txt", i);
    rows.push_back({name, i % 10 == 0 ? "<Folder>" : "", "2026/12/09 03:00:00"});
  }
  return rows;
}

// The row move as plain copying of texts, position by position.
void copyingRowMove(folderlist::EntryRows& rows, int from, int to) {
  const folderlist::ListEntry taken = rows[static_cast<std::size_t>(from)];
  if (from < to) {
    for (int i = from; i < to; ++i) {
      auto& here = rows[static_cast<std::size_t>(i)];
      const auto& next = rows[static_cast<std::size_t>(i + 1)];
      here.name = next.name;
      here.kindText = next.kindText;
      here.timeText = next.timeText;
    }
  } else {
    for (int i = from; i > to; --i) {
      auto& here = rows[static_cast<std::size_t>(i)];
      const auto& previous = rows[static_cast<std::size_t>(i - 1)];
      here.name = previous.name;
      here.kindText = previous.kindText;
      here.timeText = previous.timeText;
    }
  }
  rows[static_cast<std::size_t>(to)] = taken;
}

struct MoveFigures {
  int steps = 0;
  double medianStep = 0, maxStep = 0, sum = 0;
  double baselineMax = 0, baselineSum = 0;
};

MoveFigures measureMove(int rowCount, int selectedCount, int dropRow) {
  folderlist::EntryRows rows = makeRows(rowCount);
  Marks marks(rowCount);
  const int spacing = rowCount / selectedCount;
  for (int k = 0; k < selectedCount; ++k) marks.setSelected(k * spacing + spacing / 2, true);

  folderlist::MoveState state;
  state.sourceIndex = marks.firstSelected();
  folderlist::dragOver(state, dropRow, 100, 0, 534);
  folderlist::drop(state, marks.selectionCount(), rowCount);

  MoveFigures figures;
  std::vector<double> stepTimes;
  for (bool again = true; again;) {
    const double start = nowMicroseconds();
    const folderlist::StepResult result = folderlist::step(state, rows, app::ListSelection(marks));
    app::applyChanges(marks, result.changes);
    again = result.again;
    const double spent = nowMicroseconds() - start;
    stepTimes.push_back(spent);
  }
  figures.steps = static_cast<int>(stepTimes.size());
  std::vector<double> sorted = stepTimes;
  std::sort(sorted.begin(), sorted.end());
  figures.medianStep = sorted[sorted.size() / 2];
  for (double t : stepTimes) {
    figures.maxStep = std::max(figures.maxStep, t);
    figures.sum += t;
  }

  // The baseline: the same spans, moved by copying texts.
  folderlist::EntryRows plain = makeRows(rowCount);
  for (const Marks::Span& span : marks.spans) {
    const double start = nowMicroseconds();
    copyingRowMove(plain, span.first, span.last);
    const double spent = nowMicroseconds() - start;
    figures.baselineMax = std::max(figures.baselineMax, spent);
    figures.baselineSum += spent;
  }
  return figures;
}

double dragOverNanoseconds(int rowCount, int calls) {
  Marks marks(rowCount);
  folderlist::MoveState state;
  state.sourceIndex = rowCount / 2;
  const double start = nowMicroseconds();
  int accepted = 0;
  for (int i = 0; i < calls; ++i) {
    const int y = (i * 7) % 560 - 5;
    accepted +=
        folderlist::dragOver(state, marks.rowAt(0, y), y, marks.top(), marks.height()).accept;
  }
  const double spent = nowMicroseconds() - start;
  // Using the count keeps the loop from being optimised away.
  if (accepted == calls + 1) std::puts("");
  return spent * 1e3 / calls;
}

}  // namespace

int main(int argc, char** argv) {
  const int rowCount = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int selectedCount = argc > 2 ? std::atoi(argv[2]) : 1000;
  if (rowCount < 10 || selectedCount < 2 || selectedCount > rowCount / 2) {
    std::fprintf(stderr, "usage: row_move_bench [rows>=10] [2<=selected<=rows/2]\n");
    return 2;
  }
  std::printf("row move: %d rows, %d selected evenly spread, times in %s\n", rowCount,
              selectedCount, clockName());
  struct Scenario {
    const char* what;
    int dropRow;
  };
  const Scenario scenarios[] = {
      {"down onto the middle row", rowCount / 2 + 1},
      {"down onto the last row", rowCount - 1},
      {"up onto the first row", 0},
  };
  bool met = true;
  for (const Scenario& s : scenarios) {
    const MoveFigures f = measureMove(rowCount, selectedCount, s.dropRow);
    std::printf(
        "  %-26s %5d steps; step median %7.1f us, slowest %7.1f us (copying: %7.1f us); "
        "whole move %7.1f ms (copying: %7.1f ms); ratio %.2f\n",
        s.what, f.steps, f.medianStep, f.maxStep, f.baselineMax, f.sum / 1e3, f.baselineSum / 1e3,
        f.baselineSum > 0 ? f.sum / f.baselineSum : 0.0);
    if (f.maxStep >= 1000.0) met = false;
  }
  std::printf("  every step under 1 ms: %s\n", met ? "yes" : "NO");

  const int calls = 2000000;
  const double longList = dragOverNanoseconds(rowCount, calls);
  const double shortList = dragOverNanoseconds(1000, calls);
  std::printf("drag-over: %.1f ns per call over %d rows, %.1f ns over 1000 rows; ratio %.2f\n",
              longList, rowCount, shortList, shortList > 0 ? longList / shortList : 0.0);
  return 0;
}
