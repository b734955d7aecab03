#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "folderlist/list_entry.h"

namespace folderlist {

// Column indexes of the entry list, left to right.
inline constexpr std::int32_t kNameColumn = 0;
inline constexpr std::int32_t kKindColumn = 1;
inline constexpr std::int32_t kTimeColumn = 2;
// Shown by "撮影日時を表示(&D)"; its cells are not the rows' own (capture_cells.h).
inline constexpr std::int32_t kCaptureColumn = 3;

// The sort state of the main window. It lives for the whole run; listing
// another folder does not touch it, so a click on the column sorted last
// reverses the direction used last.
struct ColumnSort {
  std::int32_t sortColumn = 0;      // the column clicked last
  std::int32_t lastSortColumn = 0;  // the column the current direction belongs to
  bool descending = false;          // the design's flag of 0 and 1
  // "数字を数値として並べる(&N)": the name column compares as Explorer does,
  // runs of digits by value. Off: the locale's word order. Remembered in
  // the settings file; anything else that orders names follows it too.
  bool numericNames = false;

  // A click on a column header: the first click on a column sorts
  // ascending, each further click on it reverses the direction.
  void click(std::int32_t column);
};

// The text a column shows for an entry: the name, the kind text or the time
// text; nothing for a column the entry does not hold (the capture time's
// cells stand beside the rows).
std::optional<std::string_view> columnText(const ListEntry& entry, std::int32_t column);

}  // namespace folderlist
