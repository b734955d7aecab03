#pragma once

// How a command that works on the listed entries tells what stopped it: the
// stamping run, undo, the copy and the in-place order alike.

#include <string>
#include <utility>

#include "platform/os_error.h"

namespace platform {

struct Failure {
  Failure() = default;
  Failure(std::string message_, OsErrorCode osError_ = 0, int row_ = -1)
      : message(std::move(message_)), osError(osError_), row(row_) {}

  // The program's own words: what could not be done, and to what.
  std::string message;
  // The system's code where the system refused; 0 where the program itself
  // did (a read-only row, a name the card cannot hold).
  OsErrorCode osError = 0;
  // The list row it concerns; -1 for none.
  int row = -1;
  // What follows the system's reason: what the failure left behind.
  std::string aftermath;
};

// The text the user reads: the message, the system's reason on a line of
// its own when there is one, then the aftermath.
std::string failureText(const Failure& failure);

}  // namespace platform
