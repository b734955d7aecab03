#pragma once

// Form2, the time dialog: the six date and time fields, the step option, the
// extra-time options and the three buttons.

#include <windows.h>

#include <array>
#include <functional>

#include "app/application.h"
#include "app/form2.h"
#include "platform/win32/controls.h"
#include "platform/win32/designed_dialog.h"
#include "platform/win32/paint_pump.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

class TimeDialog final : public DesignedDialog {
 public:
  explicit TimeDialog(app::Application& app) : app_(app) {}

  bool create(HWND owner);
  void attach(app::TForm2* form) { form_ = form; }

  // The controls the handlers use.
  app::Form2Controls controls();

 protected:
  void command(int id, int notification) override;

 private:
  // Only the checked option of the pair is a tab stop, as in a dialog's
  // radio group; the arrow keys move between the two.
  void syncRadioTabStops();

  app::Application& app_;
  app::TForm2* form_ = nullptr;
  std::array<WindowTextControl, 6> edits_;
  ButtonCheck radioButton1_;
  ButtonCheck radioButton2_;
  ButtonCheck checkBox1_;
  ButtonCheck checkBox2_;
  PaintOnlyPump paintPump_;
  WindowTextControl preview_;  // where the run puts the first and the last row
};

}  // namespace shell
