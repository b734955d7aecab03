#include "app/selection_status.h"

#include "folderlist/status_line.h"

namespace app {

void showSelectionStatus(const ListedFolder& folder, const platform::EntryListView& list,
                         platform::StatusBar& statusBar) {
  const folderlist::EntryRows& rows = folder.rows();
  const int selected = list.selectionCount();
  const int first = list.firstSelected();
  const bool known = first >= 0 && static_cast<std::size_t>(first) < rows.size();
  const auto texts = folderlist::statusLine(known ? selected : 0, folder.rowCount(),
                                            known ? std::string_view(rows[first].name) : "");
  statusBar.setPanelText(0, texts.panel0);
  statusBar.setPanelText(1, texts.panel1);
}

}  // namespace app
