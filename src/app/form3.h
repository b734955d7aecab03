#pragma once

#include "app/window_flow.h"
#include "platform/ui.h"

namespace app {

struct Form3Controls {
  platform::Window& window;
  platform::MessageLabel& label1;  // written only through Messages
};

// The message window: one text and an OK button. It is not modal: whoever
// shows it locks the window below, and OK unlocks the time dialog if that is
// visible, else the main window.
class TForm3 {
 public:
  TForm3(Form3Controls controls, const FlowWindows& flow) : controls_(controls), flow_(flow) {}

  void FormCreate();
  void Button1Click();

  const Form3Controls& controls() const { return controls_; }

 private:
  Form3Controls controls_;
  const FlowWindows& flow_;
};

}  // namespace app
