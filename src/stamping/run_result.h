#pragma once

#include <string>

#include "platform/failure.h"

namespace stamping {

// How a stamping run or an undo ended.
struct RunResult {
  enum class Outcome {
    Completed,  // every entry done; completion is "変更しました" or "元に戻しました"
    PrecheckFailed,  // nothing changed; the failure goes to the message window
    Stopped,  // stopped at an entry that could not be done; the failure goes to the error box
  };
  Outcome outcome = Outcome::Completed;
  std::string completion;
  // The row the message names, and the system's code of the failed open or
  // time change (0 for the pre-check's own refusals).
  platform::Failure failure;
  // Stamping: rows 0..changed-1 carry their new times and texts. Undo: the
  // entries given back by this call.
  int changed = 0;

  // What the user reads: the completion, or the failure with its reason.
  std::string text() const {
    return outcome == Outcome::Completed ? completion : platform::failureText(failure);
  }
};

}  // namespace stamping
