#pragma once

// platform::Screen over the desktop's monitors.

#include <vector>

#include "platform/screen.h"

namespace platform::win32 {

class MonitorScreen final : public platform::Screen {
 public:
  std::vector<platform::Monitor> monitors() const override;
  platform::WindowSizeLimit largestWindow() const override;
};

}  // namespace platform::win32
