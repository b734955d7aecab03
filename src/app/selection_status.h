#pragma once

#include "app/listed_folder.h"
#include "platform/ui.h"

namespace app {

// The status bar's two panels for the list's selection: the count of
// selected rows and entries, and the topmost selected row's name.
void showSelectionStatus(const ListedFolder& folder, const platform::EntryListView& list,
                         platform::StatusBar& statusBar);

}  // namespace app
