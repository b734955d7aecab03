#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/screen.h"
#include "platform/text_files.h"
#include "platform/ui.h"

namespace app {

class TForm1;
class TForm2;
class TForm3;
class UndoCommand;
class CopyCommand;

// The application object: the three windows, created once in this order and
// living until the process ends, the title and the error box.
struct Application {
  TForm1* form1 = nullptr;  // the main window; closing it ends the program
  TForm2* form2 = nullptr;  // the time dialog
  TForm3* form3 = nullptr;  // the message window
  std::string title;        // task-bar text and the error box's caption
  platform::ErrorBox* errorBox = nullptr;
  UndoCommand* undo = nullptr;  // taking back the last stamping run; null: none
  CopyCommand* copy = nullptr;  // copying the rows in their order; null: none
  // Where the window settings file is kept; null: the system's file system.
  platform::TextFiles* textFiles = nullptr;
  // The monitors restored windows must stay on; null: none are known.
  const platform::Screen* screen = nullptr;
};

// The title: the program file's name without folder and without anything
// from the first "." on, every character after the first in lower case.
std::string applicationTitle(std::string_view programPath);

// The error box's text: a "." is appended when the message's last character
// sorts after "." (so Japanese text gets a full stop, ")" and "." get none).
std::string errorBoxText(std::string_view message);

// The error box's text for memory the system refused.
inline constexpr std::string_view kOutOfMemory = "メモリが不足しています";

// Runs one event handler the way the event loop does: a failure raised inside
// ends the handler and is shown in the error box. Returns false on a failure.
bool runHandler(const Application& app, const std::function<void()>& handler);

// A failure raised inside a handler, shown by the event loop in the error box.
class HandlerFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace app
