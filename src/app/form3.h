#pragma once

#include <string_view>

#include "app/application.h"
#include "platform/ui.h"

namespace app {

struct Form3Controls {
  platform::Window& window;
  platform::TextControl& label1;
};

// The message window: one text and an OK button. It is not modal: whoever
// shows it locks the window below, and OK unlocks the time dialog if that is
// visible, else the main window.
class TForm3 {
 public:
  TForm3(Application& app, Form3Controls controls);

  void FormCreate();
  void Button1Click();

  // Sets the label and shows the window over an already locked caller.
  void showMessage(std::string_view text);

  const Form3Controls& controls() const { return controls_; }

 private:
  Application& app_;
  Form3Controls controls_;
};

}  // namespace app
