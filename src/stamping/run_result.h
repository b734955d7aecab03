#pragma once

#include <string>

#include "platform/os_error.h"

namespace stamping {

// How a stamping run or an undo ended.
struct RunResult {
  enum class Outcome {
    Completed,       // every entry done; message "変更しました" or "元に戻しました"
    PrecheckFailed,  // nothing changed; message for the message window
    Stopped,         // stopped at an entry that could not be done; message for the error box
  };
  Outcome outcome = Outcome::Completed;
  std::string message;
  // Stamping: rows 0..changed-1 carry their new times and texts. Undo: the
  // entries given back by this call.
  int changed = 0;
  int failedRow = -1;                 // stamping: the row the message names, -1 when completed
  platform::OsErrorCode osError = 0;  // of the failed open or time change, 0 otherwise
};

}  // namespace stamping
