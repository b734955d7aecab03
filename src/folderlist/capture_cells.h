#pragma once

// The capture time column's cells: kept beside the rows rather than in them,
// so a listing and a row move cost no more when the column is hidden, and
// found by the row's name, which a listing gives each row once and which
// goes wherever the row goes (sorts, drags, Alt+arrows).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "capturetime/capture_time.h"
#include "folderlist/list_entry.h"
#include "folderlist/list_marks.h"
#include "folderlist/short_text.h"

namespace folderlist {

class CaptureCells {
 public:
  // Forgets every time and takes the names of the rows whose times are to
  // be read: the file rows, top to bottom. Folders have no capture time.
  const std::vector<std::string>& start(const EntryRows& rows);
  // Forgets the names and the times.
  void clear();

  // The time read for start()'s names[index], and its text; nothing leaves
  // the row's cell empty. An index outside the names is ignored.
  void put(std::size_t index, const std::optional<capturetime::ShownCaptureTime>& shown,
           std::string_view text);

  // The row's cell: empty for a row without a time (yet).
  std::string_view text(std::string_view name) const;
  std::optional<capturetime::ShownCaptureTime> shown(std::string_view name) const;
  // The number of names start() took.
  std::size_t nameCount() const { return names_.size(); }

 private:
  struct Cell {
    capturetime::ShownCaptureTime shown;
    ShortText text;
  };
  // The keys below view these names: filled once by start(), never grown.
  std::vector<std::string> names_;
  // Only rows that have a time take a cell.
  std::unordered_map<std::string_view, Cell> cells_;
};

// Sorts the rows by their capture times (capturetime::compareCaptureTimes):
// rows without one after all rows with one in either direction, rows of
// equal times in their previous order. The marks returned are the given ones
// moved with their rows.
ListMarks sortRowsByCaptureTime(EntryRows& rows, const ListMarks& marks, const CaptureCells& cells,
                                bool descending);

}  // namespace folderlist
