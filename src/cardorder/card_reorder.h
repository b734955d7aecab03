#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cardorder/work_folder.h"
#include "folderlist/list_entry.h"
#include "platform/copy_ops.h"
#include "platform/failure.h"

namespace cardorder {

// A failed check before anything moves: the message names the row or path.
struct ReorderCheck {
  platform::Failure failure;       // its message empty when everything passes
  std::vector<std::string> names;  // the rows to move, in order
};

// Everything that can be known before moving, in this order: every row
// still exists with the same name and kind; no file is open in another
// program (an exclusive open of each, let go at once); the card is not
// read-only, where the system says so; the folder holds no entry that is not
// a row; no row is a work folder left by an earlier run. Making the work
// folder is the last check, done by the run itself.
ReorderCheck checkReorder(const folderlist::EntryRows& rows, const std::string& folderPath,
                          platform::CopyOps& ops);

struct ReorderResult {
  enum class Outcome {
    Completed,       // every row moved out and back; "並べ替えました (N 個)"
    PrecheckFailed,  // nothing moved
    Stopped,         // what was moved out is back; the folder is whole
    Failed,          // a move failed; what could not go back is in the work folder
  };
  Outcome outcome = Outcome::Completed;
  std::string completion;     // Completed: "並べ替えました (N 個)" and the read-back's line
  platform::Failure failure;  // otherwise: the row, and the system's code of a failed move
  bool orderKept = true;      // the folder read back in the list's order
  // The work folder when it is left standing, with its list; else empty.
  std::string workFolder;
  // The rows still in the work folder, in the list's order.
  std::vector<std::string> leftInWorkFolder;

  // What the user reads: the completion, or the failure with its reason.
  std::string text() const {
    return outcome == Outcome::Completed ? completion : platform::failureText(failure);
  }
};

// Called after each move, with the moves done and their number (each row
// moves twice: out, then back).
using ReorderProgress = std::function<void(int done, int total)>;

// Waits this many milliseconds before a move is tried again.
using RetryWait = std::function<void(int milliseconds)>;
// A file another program opens for a moment (Explorer's thumbnails, an
// indexer, a virus scanner) refuses its move: tried this many times in all,
// the waits between them growing, about 2 s in all.
inline constexpr int kMoveTries = 5;
// The real wait: the thread sleeps.
void sleepFor(int milliseconds);

// Checks (checkReorder), makes a new work folder beside the listed folder
// (inside it for a root) with the list file, moves every row out into it
// top to bottom, then back in the same order, so the folder's entries are
// written again in the list's order; then removes the list and the work
// folder and reads the folder back in the file system's own order.
//
// stop is asked before each move out, the only safe points: what is out is
// then moved back in the list's order and the folder is whole. A failed move
// ends the moving; everything still in the work folder is tried once more,
// in order, and the message names the work folder and what stays in it.
// Nothing is deleted but the run's own list file and empty work folder.
ReorderResult reorderInPlace(const folderlist::EntryRows& rows, const std::string& folderPath,
                             platform::CopyOps& ops, const ReorderProgress& progress = {},
                             const std::function<bool()>& stop = {},
                             const RetryWait& wait = sleepFor);

// Finishes what a run left in a work folder: every entry of the list that
// stands in the listed folder moves out too, then all of the list's entries
// move back in its order, as in reorderInPlace. Entries that the list does
// not name stay where they are.
//
// The checks before moving hold here too: no file of the list open in
// another program, the card not read-only, nothing in the folder the list
// does not name. A list entry found in neither folder is named at the end.
ReorderResult finishPendingWork(const PendingWork& pending, const std::string& folderPath,
                                platform::CopyOps& ops, const ReorderProgress& progress = {},
                                const std::function<bool()>& stop = {},
                                const RetryWait& wait = sleepFor);

}  // namespace cardorder
