#pragma once

#include <functional>
#include <string>
#include <utility>

#include "app/capture_column.h"
#include "app/list_order.h"
#include "app/listed_folder.h"
#include "app/messages.h"
#include "app/row_mover.h"
#include "platform/file_ops.h"
#include "platform/folder_routes.h"
#include "platform/ui.h"

namespace app {

class UndoCommand;

// The controls that show the listed folder.
struct FolderListingControls {
  platform::Window& window;
  platform::FolderTree& tree;
  platform::EntryListView& list;
  platform::StatusBar& statusBar;
};

// What else a listing touches.
struct FolderListingLinks {
  ListedFolder& folder;
  RowMover& mover;
  ListOrder& order;
  CaptureColumn& captures;  // read again after each listing while it shows
  UndoCommand& undo;
  Messages& messages;
  platform::FileOps& fileOps;      // what a path handed in from outside names
  platform::FolderRoutes& routes;  // the other routes to that folder, and shortcuts
};

// Listing the folder the tree selects, F5, opening a folder handed in from
// outside, and the status line of the list's selection.
class FolderListing {
 public:
  // listed runs after each listing of a folder.
  FolderListing(FolderListingControls controls, FolderListingLinks links,
                std::function<void()> listed)
      : controls_(controls), links_(links), listed_(std::move(listed)) {}

  // The tree selected another folder (or the same one again): lists it.
  void listSelectedFolder();
  // A key released over the main window or its controls: F5 lists the
  // folder again (one listed without a tree node as well).
  void keyReleased(int virtualKey);
  // Empties the list and the status panels.
  void clear();
  // The list's selection changed: the status line follows.
  void showSelection();

  // A folder or file handed from outside, by its absolute path: the first
  // argument or a drop on the window. A folder opens, a file opens its
  // folder with its row selected and in view; a shortcut (.lnk) opens what
  // it points to. A file of the folder already listed, by whatever route,
  // is selected without listing again. A folder no tree node reaches is
  // listed all the same, with no node selected. Refused while the window is
  // locked; a running move is finished first. A path that names nothing
  // (a broken shortcut among them) leaves everything as it was and says
  // "フォルダ %s を開けません" with the path as handed in.
  void openPath(const std::string& path);

 private:
  // Empties the list and reads the folder into it.
  void list(const std::string& folder, bool outsideTree);

  FolderListingControls controls_;
  FolderListingLinks links_;
  const std::function<void()> listed_;
};

}  // namespace app
