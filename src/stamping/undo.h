#pragma once

#include <functional>
#include <string>

#include "folderlist/list_entry.h"
#include "platform/file_ops.h"
#include "stamping/kept_entry.h"
#include "stamping/run_result.h"

namespace stamping {

// What the last stamping run changed and can be taken back: the folder it
// worked in and, per changed entry, the old row text and times. Kept in
// memory only.
struct UndoRecord {
  std::string folderPath;
  KeptEntries entries;  // those not yet given back, in the run's order
};

// Called after each entry given back with the number done and the total.
using UndoProgress = std::function<void(int done, int total)>;

// Checks every kept entry by the stamping run's rules (missing, read-only)
// and changes nothing unless all pass. Then gives each entry, in the run's
// order, the old times the run changed, exactly, and its row (found by name, wherever
// sorting or dragging has put it) its old time text. The first entry that
// cannot be opened or changed stops it there; the entries before it are
// given back and leave the record, it and those after stay for a later call.
RunResult runUndo(UndoRecord& record, folderlist::EntryRows& rows, platform::FileOps& fs,
                  const UndoProgress& progress = {});

}  // namespace stamping
