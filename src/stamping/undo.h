#pragma once

#include <functional>
#include <string>

#include "folderlist/list_entry.h"
#include "platform/file_ops.h"
#include "platform/os_error.h"
#include "stamping/kept_entry.h"

namespace stamping {

// What the last stamping run changed and can be taken back: the folder it
// worked in and, per changed entry, the old row text and times. Kept in
// memory only.
struct UndoRecord {
  std::string folderPath;
  KeptEntries entries;  // those not yet given back, in the run's order
};

struct UndoResult {
  enum class Outcome {
    Completed,       // every entry given back; message "元に戻しました"
    PrecheckFailed,  // nothing changed; message for the message window
    Stopped,         // stopped at an entry; message for the error box
  };
  Outcome outcome = Outcome::Completed;
  std::string message;
  int restored = 0;                   // entries given back by this call
  platform::OsErrorCode osError = 0;  // of the failed open or time change
};

// Called after each entry given back with the number done and the total.
using UndoProgress = std::function<void(int done, int total)>;

// Checks every kept entry by the stamping run's rules (missing, read-only)
// and changes nothing unless all pass. Then gives each entry, in the run's
// order, the old times the run changed, exactly, and its row (found by name, wherever
// sorting or dragging has put it) its old time text. The first entry that
// cannot be opened or changed stops it there; the entries before it are
// given back and leave the record, it and those after stay for a later call.
UndoResult runUndo(UndoRecord& record, folderlist::EntryRows& rows, platform::FileOps& fs,
                   const UndoProgress& progress = {});

}  // namespace stamping
