#pragma once

#include <vector>

#include "platform/screen.h"

namespace fakes {

class FakeScreen : public platform::Screen {
 public:
  std::vector<platform::Monitor> monitors() const override { return monitorList; }
  platform::WindowSizeLimit largestWindow() const override { return limit; }

  std::vector<platform::Monitor> monitorList;
  platform::WindowSizeLimit limit;
};

}  // namespace fakes
