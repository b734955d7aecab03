#include "app/folder_listing.h"

#include <optional>

#include "app/list_view_marks.h"
#include "app/open_path.h"
#include "app/selection_status.h"
#include "app/undo_command.h"
#include "folderlist/listing.h"
#include "platform/folder_routes.h"
#include "platform/path.h"

namespace app {

void FolderListing::listSelectedFolder() { list(controls_.tree.selectedPath(), false); }

void FolderListing::list(const std::string& folder, bool outsideTree) {
  links_.undo.drop();
  clear();
  links_.folder.setPath(folder, outsideTree);
  // A virtual object of the namespace (the computer, say) yields a display
  // name that names no folder: it lists nothing.
  if (!platform::isAbsolutePath(folder)) return;
  folderlist::listFolderInto(links_.folder.rows(), folder, links_.folder.separators());
  controls_.list.setRowCount(links_.folder.rowCount());
  links_.captures.listed();
  if (listed_) listed_();
}

void FolderListing::keyReleased(int virtualKey) {
  // Shift and Ctrl are not looked at: Shift+F5 and Ctrl+F5 refresh too.
  if (virtualKey != kVirtualKeyF5) return;
  // The refreshed folder may no longer be what the last run changed.
  links_.undo.drop();
  const bool outsideTree = links_.folder.listedOutsideTree();
  const std::string listed = links_.folder.path();
  controls_.tree.refresh();
  // With no node selected the tree's refresh lists nothing: the folder no
  // node reaches is read again by itself.
  if (outsideTree) list(listed, true);
}

void FolderListing::clear() {
  links_.mover.abandon();
  // Before the rows go: no time read for them may reach the next ones.
  links_.captures.stop();
  links_.folder.rows().clear();
  // Emptying the list may raise no change notification; the panels would
  // otherwise keep the previous folder's texts.
  controls_.statusBar.setPanelText(0, "");
  controls_.statusBar.setPanelText(1, "");
  controls_.list.setRowCount(0);
  // The arrow stands for the order of the rows, which a new listing undoes.
  links_.order.forgetArrow();
}

void FolderListing::showSelection() {
  showSelectionStatus(links_.folder, controls_.list, controls_.statusBar);
}

void FolderListing::openPath(const std::string& path) {
  // A dialog or the message window holds the lock.
  if (!controls_.window.isEnabled()) return;
  // As a new listing does; the rows then stand as the move leaves them.
  links_.mover.finish();
  std::optional<OpenTarget> target;
  if (platform::isShortcutName(path) && links_.fileOps.fileExists(path)) {
    // Resolved without any window; a broken one is named by its own path.
    if (const auto pointed = links_.routes.shortcutTarget(path)) {
      target = openTargetOf(*pointed, links_.fileOps);
    }
  } else {
    target = openTargetOf(path, links_.fileOps);
  }
  if (!target) {
    // The path may be long: shown whole.
    links_.messages.wholeOverMain(cannotOpenFolderMessage(path));
    return;
  }
  // The folder already listed, by whatever route: the tree may hold it under
  // another node, and listing again would lose the order given the rows and
  // what undo keeps.
  const std::string& listed = links_.folder.path();
  const bool alreadyListed = platform::isAbsolutePath(listed) &&
                             platform::sameFolder(links_.routes, listed, target->folder);
  if (!alreadyListed && !controls_.tree.selectFolder(target->folder)) {
    // It exists, but no node of the tree reaches it (a network share the
    // empty network list does not show, say): listed all the same, and the
    // tree shows no selection rather than a node that is not this folder.
    controls_.tree.clearSelection();
    list(target->folder, true);
  }
  if (target->entry.empty()) return;
  // The name as listed; the path may spell its case otherwise.
  const int at = rowNamed(links_.folder.rows(), target->entry);
  if (at < 0) return;
  applyMarks(controls_.list, folderlist::ListMarks{{at}, at, at});
  controls_.list.ensureVisible(at);
  showSelection();
}

}  // namespace app
