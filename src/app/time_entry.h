#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/listed_folder.h"
#include "app/messages.h"
#include "app/window_flow.h"
#include "platform/file_ops.h"
#include "platform/time_zone.h"
#include "platform/ui.h"
#include "stamping/stamping_run.h"
#include "stamping/validation.h"

namespace app {

class UndoCommand;

// The controls of the time dialog.
struct TimeEntryControls {
  platform::Window& window;
  std::array<platform::TextControl*, 6> fields;  // year, month, day, hour, minute, second
  platform::CheckControl& minuteStep;            // "分を繰り上げ": one minute a row
  platform::CheckControl& twoSecondStep;         // "秒を繰り上げ": two seconds a row
  platform::CheckControl& alsoCreation;          // "作成日時も変更"
  platform::CheckControl& alsoAccess;            // "アクセス日時も変更"
  platform::PaintPump& paintPump;                // keeps windows painted during a run
  // The line under the fields: where the run puts the first and the last
  // row; null: no such line.
  platform::TextControl* preview = nullptr;
};

// What the time run works on besides the dialog.
struct TimeEntryLinks {
  ListedFolder& folder;
  platform::EntryListView& list;
  const FlowWindows& flow;
  Messages& messages;
  UndoCommand& undo;
  platform::FileOps& fileOps;
};

// The time dialog: the start time, the step and the extra-time options; OK
// checks them and stamps the rows.
class TimeEntry {
 public:
  using Clock = std::function<platform::LocalDateTime()>;

  TimeEntry(TimeEntryControls controls, TimeEntryLinks links, Clock clock = platform::localNow);

  // The dialog exists: one minute a row is chosen, and Close leaves its
  // window menu.
  void windowCreated();
  // "OK": the fields are checked, then the rows stamped.
  void confirm();
  // "キャンセル".
  void cancel();
  // "現在時刻": the fields get the time now.
  void fillNow();
  // A field's text or the step option changed: the preview line follows.
  void fieldsChanged();

  // Fills the fields with today's date and 0:00:00 (the menu command).
  void fillToday();

 private:
  // The stamping run over the main window's rows, repainting as it goes.
  stamping::RunResult stamp(const stamping::StampOptions& options);
  // Checks the fields and stamps; what it shows when it does not complete.
  std::optional<std::string> checkAndStamp();
  // Writes year .. second as decimal numbers without leading zeros.
  void showInFields(const std::array<int, 6>& values);
  stamping::TimeFieldTexts fieldTexts() const;
  stamping::Step chosenStep() const;

  TimeEntryControls controls_;
  TimeEntryLinks links_;
  Clock clock_;
  // The year of the moment filled in last: it bounds the year field.
  std::uint16_t currentYear_ = 0;
};

}  // namespace app
