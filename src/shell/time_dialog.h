#pragma once

// The time dialog: the six date and time fields, the step option, the
// extra-time options and the three buttons.

#include <windows.h>

#include <array>
#include <functional>

#include "app/application.h"
#include "app/time_entry.h"
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
  // The handlers of its controls; null: none run any more.
  void attach(app::TimeEntry* entry) { entry_ = entry; }

  // The controls the handlers use.
  app::TimeEntryControls controls();

 protected:
  void command(int id, int notification) override;

 private:
  // The date and time fields with their group boxes and separators.
  void addFields();
  void addField(std::size_t i);
  void addSeparator(std::size_t i);
  // The step and the extra-time options, on their panels.
  void addOptions();
  // Only the checked option of the pair is a tab stop, as in a dialog's
  // radio group; the arrow keys move between the two.
  void syncRadioTabStops();
  // Runs a handler of the time entry as the event loop does.
  void run(void (app::TimeEntry::*handler)());

  app::Application& app_;
  app::TimeEntry* entry_ = nullptr;
  std::array<WindowTextControl, 6> fields_;
  ButtonCheck minuteStep_;
  ButtonCheck twoSecondStep_;
  ButtonCheck alsoCreation_;
  ButtonCheck alsoAccess_;
  PaintOnlyPump paintPump_;
  WindowTextControl preview_;  // where the run puts the first and the last row
};

}  // namespace shell
