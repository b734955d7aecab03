#pragma once

#include "platform/ui.h"

namespace platform::win32 {

// Services paint requests only: the windows stay drawn (and the system sees
// the program respond) while a long handler runs, and no other handler can
// start in between.
class PaintOnlyPump final : public platform::PaintPump {
 public:
  void pumpPaint() override;
};

}  // namespace platform::win32
