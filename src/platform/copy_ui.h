#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// What the folder picker gave: a folder, nothing when the user cancelled,
// or the system's code when the picker itself failed.
struct PickedFolder {
  std::optional<std::string> path;
  std::uint32_t failure = 0;  // an HRESULT or a Windows error code; 0 when it did not fail
};

// The system's folder picker, with its button to make a new folder.
class FolderPicker {
 public:
  virtual ~FolderPicker() = default;
  virtual PickedFolder pickFolder(std::string_view title) = 0;
};

// The user's request to stop a long command of the main window: Esc, or the
// main window's close button, which while armed stops the command instead of
// closing the window.
class StopSignal {
 public:
  virtual ~StopSignal() = default;
  // While armed, a log-off or shutdown meets the reason, the command's own
  // ("コピー中", "並べ替え中"), and waits.
  virtual void arm(std::string_view reason) = 0;
  // A close asked for while armed asked for the stop and is spent: the
  // program stays, with the command's result to read.
  virtual void disarm() = 0;
  // Looks at the input that has arrived since the last call; true once a
  // stop was asked for while armed.
  virtual bool requested() = 0;
  // What must be done before the program ends with the session (a log-off
  // or shutdown let go on while armed): removing the file half written.
  // Empty for nothing.
  virtual void atSessionEnd(std::function<void()> cleanUp) = 0;
};

// A question with OK and Cancel, owned by the main window and standing above
// the program's windows as the error box does.
class Confirmation {
 public:
  virtual ~Confirmation() = default;
  // True for OK; Cancel, Esc and the close button say no.
  virtual bool confirm(std::string_view caption, std::string_view text) = 0;
};

}  // namespace platform
