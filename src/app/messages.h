#pragma once

#include <optional>
#include <string_view>

#include "app/window_flow.h"
#include "platform/ui.h"

namespace app {

// The controls of the message window.
struct MessageWindowControls {
  platform::Window& window;
  platform::MessageLabel& label;  // written only through Messages
};

// The message window: one text and an OK button. It is not modal: whoever
// shows it locks the window below, and OK unlocks the time dialog if that is
// visible, else the main window. Its text is shown by the window flow's
// transitions; nothing else writes its label.
class Messages {
 public:
  Messages(const FlowWindows& flow, platform::MessageLabel& label) : flow_(flow), label_(label) {}

  // The window exists: it loses Close from its window menu, so that it is
  // left only through OK.
  void windowCreated();
  // OK.
  void dismiss();

  // Checking -> MessageOverDialog: a problem the time dialog's OK found.
  void overDialog(std::string_view text);
  // Checking -> MessageOverMain: a completed run.
  void completionOverMain(std::string_view text);
  // Idle or Working -> MessageOverMain; with a caption for the window, when
  // one is given.
  void overMain(std::string_view text, std::optional<std::string_view> caption = std::nullopt);
  // Idle or Working -> MessageOverMain with a text that may be longer than
  // the label (paths, the OS's reason): the window grows to show it whole.
  void wholeOverMain(std::string_view text);

 private:
  const FlowWindows& flow_;
  platform::MessageLabel& label_;
};

}  // namespace app
