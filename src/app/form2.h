#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "app/application.h"
#include "app/listed_folder.h"
#include "app/messages.h"
#include "app/window_flow.h"
#include "platform/file_ops.h"
#include "platform/file_time.h"
#include "platform/time_zone.h"
#include "platform/ui.h"
#include "stamping/stamping_run.h"

namespace app {

class UndoCommand;

// The controls of the time dialog that its handlers use.
struct Form2Controls {
  platform::Window& window;
  std::array<platform::TextControl*, 6> edits;  // Edit1..Edit6: year .. second
  platform::CheckControl& radioButton1;         // "分を繰り上げ": one-minute step
  platform::CheckControl& radioButton2;         // "秒を繰り上げ": two-second step
  platform::CheckControl& checkBox1;            // "作成日時も変更"
  platform::CheckControl& checkBox2;            // "アクセス日時も変更"
  platform::PaintPump& paintPump;               // keeps windows painted during a run
  // The line under the fields: where the run puts the first and the last
  // row; null: no such line.
  platform::TextControl* preview = nullptr;
};

// The time dialog: the start time, the step and the extra-time options.
class TForm2 {
 public:
  using Clock = std::function<platform::LocalDateTime()>;

  TForm2(Form2Controls controls, ListedFolder& folder, const FlowWindows& flow, Messages& messages,
         UndoCommand& undo, platform::FileOps& fileOps, Clock clock = platform::localNow);

  void FormCreate();
  void Button1Click();  // "OK": validation, then the stamping run
  void Button2Click();  // "キャンセル"
  void Button3Click();  // "現在時刻"
  // A field's text or the step option changed: the preview line follows.
  void FieldsChange();

  // Fills the fields with today's date and 0:00:00 (the menu command).
  void fillToday();

  // The local time as the UTC file time to be set.
  void DateTimeToFIleTime(platform::FileTime& result, const platform::LocalDateTime& value);

  std::uint16_t currentYear() const { return currentYear_; }

  const Form2Controls& controls() const { return controls_; }

 private:
  // The stamping run over the main window's rows, repainting as it goes.
  stamping::RunResult stamp(const stamping::StampOptions& options);
  // Writes year .. second as decimal numbers without leading zeros.
  void showInFields(const std::array<int, 6>& values);
  // Local time to the file time the run sets, as the run converts it.
  stamping::LocalToFileTime fileTimeConversion();
  stamping::Step chosenStep() const;

  Form2Controls controls_;
  ListedFolder& folder_;
  const FlowWindows& flow_;
  Messages& messages_;
  UndoCommand& undo_;
  platform::FileOps& fileOps_;
  Clock clock_;
  std::uint16_t currentYear_ = 0;
  // Set by each OK press, cleared by its first failure, so that exactly one
  // message is shown.
  bool proceedFlag_ = false;
};

}  // namespace app
