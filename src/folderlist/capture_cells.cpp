#include "folderlist/capture_cells.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "folderlist/row_sort.h"

namespace folderlist {

const std::vector<std::string>& CaptureCells::start(const EntryRows& rows) {
  clear();
  std::size_t files = 0;
  for (const ListEntry& entry : rows) files += entry.isFile() ? 1 : 0;
  // Reserved once: the cells' keys view these strings, so they never move.
  names_.reserve(files);
  for (const ListEntry& entry : rows) {
    if (entry.isFile()) names_.push_back(entry.name);
  }
  return names_;
}

void CaptureCells::clear() {
  cells_.clear();
  names_.clear();
  names_.shrink_to_fit();
}

void CaptureCells::put(std::size_t index, const std::optional<capturetime::ShownCaptureTime>& shown,
                       std::string_view text) {
  if (index >= names_.size()) return;
  const std::string_view name = names_[index];
  if (!shown) {
    cells_.erase(name);
    return;
  }
  cells_[name] = Cell{*shown, ShortText(text)};
}

std::string_view CaptureCells::text(std::string_view name) const {
  const auto found = cells_.find(name);
  return found == cells_.end() ? std::string_view() : found->second.text.view();
}

std::optional<capturetime::ShownCaptureTime> CaptureCells::shown(std::string_view name) const {
  const auto found = cells_.find(name);
  if (found == cells_.end()) return std::nullopt;
  return found->second.shown;
}

ListMarks sortRowsByCaptureTime(EntryRows& rows, const ListMarks& marks, const CaptureCells& cells,
                                bool descending) {
  if (rows.size() < 2) return marks;
  // Each row's time looked up once, not at every comparison.
  std::vector<std::pair<std::optional<capturetime::ShownCaptureTime>, std::uint32_t>> keyed;
  keyed.reserve(rows.size());
  for (std::size_t row = 0; row < rows.size(); ++row) {
    keyed.emplace_back(cells.shown(rows[row].name), static_cast<std::uint32_t>(row));
  }
  std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
    return capturetime::compareCaptureTimes(a.first, b.first, descending) < 0;
  });
  std::vector<std::uint32_t> order;
  order.reserve(keyed.size());
  for (const auto& entry : keyed) order.push_back(entry.second);
  return reorderRows(rows, marks, order);
}

}  // namespace folderlist
