#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "folderlist/list_entry.h"
#include "platform/time_zone.h"
#include "platform/ui.h"

namespace app {

// The folder the main window lists: its rows as the list control shows
// them, the entry count of the last listing, the regional separators of the
// time texts, and the tree and list it is shown in. The main window, the
// time dialog and undo share it.
class ListedFolder final : public platform::CellTexts {
 public:
  ListedFolder(platform::FolderTree& tree, platform::EntryListView& list)
      : tree_(tree), list_(list) {}

  folderlist::EntryRows& rows() { return rows_; }
  const folderlist::EntryRows& rows() const { return rows_; }
  std::int32_t entryCount() const { return entryCount_; }
  void setEntryCount(std::int32_t count) { entryCount_ = count; }
  // The current folder path of the tree's selected node; empty when none.
  std::string path() const { return tree_.selectedPath(); }
  platform::FolderTree& tree() { return tree_; }
  platform::EntryListView& list() { return list_; }

  // Read once when the main window is created.
  const platform::DateTimeSeparators& separators() const { return separators_; }
  void setSeparators(platform::DateTimeSeparators s) { separators_ = std::move(s); }

  // The list's texts: name, kind and time text of a row.
  int rowCount() const override { return static_cast<int>(rows_.size()); }
  std::string_view cellText(int row, int column) const override;

 private:
  platform::FolderTree& tree_;
  platform::EntryListView& list_;
  folderlist::EntryRows rows_;
  std::int32_t entryCount_ = 0;
  platform::DateTimeSeparators separators_;
};

}  // namespace app
