#pragma once

#include <string>
#include <string_view>

#include "folderlist/capture_cells.h"
#include "folderlist/list_entry.h"
#include "platform/time_zone.h"
#include "platform/ui.h"

namespace app {

// The folder the main window lists: its path, its rows as the list control
// shows them, and the regional separators of their time texts. The listing,
// the moves, the time run, undo and the copy share it.
class ListedFolder final : public platform::CellTexts {
 public:
  folderlist::EntryRows& rows() { return rows_; }
  const folderlist::EntryRows& rows() const { return rows_; }

  // The path of the folder listed last; empty when none is.
  const std::string& path() const { return path_; }
  // outsideTree: listed without a tree node, which then shows no selection
  // (a folder handed in from outside that no node of the tree reaches).
  void setPath(std::string path, bool outsideTree = false) {
    path_ = std::move(path);
    outsideTree_ = outsideTree;
  }
  bool listedOutsideTree() const { return outsideTree_; }

  // Read once when the main window is created.
  const platform::DateTimeSeparators& separators() const { return separators_; }
  void setSeparators(platform::DateTimeSeparators s) { separators_ = std::move(s); }

  // The capture time column's cells, by the rows' names.
  folderlist::CaptureCells& captures() { return captures_; }
  const folderlist::CaptureCells& captures() const { return captures_; }

  // The list's texts: name, kind, time text and capture time of a row.
  int rowCount() const override { return static_cast<int>(rows_.size()); }
  std::string_view cellText(int row, int column) const override;

 private:
  std::string path_;
  bool outsideTree_ = false;
  folderlist::EntryRows rows_;
  folderlist::CaptureCells captures_;
  platform::DateTimeSeparators separators_;
};

}  // namespace app
