#pragma once

// Form3, the message window: one label for the message and an OK button.

#include <windows.h>

#include "app/application.h"
#include "app/form3.h"
#include "platform/win32/controls.h"
#include "platform/win32/designed_dialog.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

class MessageWindow final : public DesignedDialog {
 public:
  explicit MessageWindow(app::Application& app) : app_(app) {}

  bool create(HWND owner);
  void attach(app::TForm3* form) { form_ = form; }

  app::Form3Controls controls() { return app::Form3Controls{window(), label1_}; }

 protected:
  void command(int id, int notification) override;

 private:
  app::Application& app_;
  app::TForm3* form_ = nullptr;
  WindowTextControl label1_;
};

}  // namespace shell
