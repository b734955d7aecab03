#pragma once

#include <stdexcept>
#include <string>

#include "platform/os_error.h"

namespace settings {

// The message of an input or output error with this code: the fixed text of
// the codes that have one, "I/O エラー (code)" for the rest.
std::string inOutErrorMessage(platform::OsErrorCode code);

// An input or output error of the settings file, raised inside a handler and
// shown by the event loop in the error box.
class InOutError : public std::runtime_error {
 public:
  explicit InOutError(platform::OsErrorCode code)
      : std::runtime_error(inOutErrorMessage(code)), code_(code) {}
  platform::OsErrorCode code() const noexcept { return code_; }

 private:
  platform::OsErrorCode code_;
};

}  // namespace settings
