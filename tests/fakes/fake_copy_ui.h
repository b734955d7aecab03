#pragma once

// The folder picker and the stop request of copying in order, answered by
// the test.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/copy_ui.h"

namespace fakes {

class FakePicker : public platform::FolderPicker {
 public:
  platform::PickedFolder pickFolder(std::string_view title) override {
    titles.emplace_back(title);
    return {answer, failure};
  }
  std::optional<std::string> answer;  // nullopt: the user cancels
  std::uint32_t failure = 0;          // the picker's own failure
  std::vector<std::string> titles;
};

// Records what the windows look like each time the copy asks for a stop.
class FakeStop : public platform::StopSignal {
 public:
  void arm() override { armed = true; }
  void disarm() override { armed = false; }
  void atSessionEnd(std::function<void()> cleanUp) override { sessionEnd = std::move(cleanUp); }
  bool requested() override {
    ++asked;
    if (whileCopying) whileCopying();
    return stopWhen && stopWhen();
  }
  bool armed = false;
  int asked = 0;
  std::function<void()> whileCopying;
  std::function<bool()> stopWhen;
  std::function<void()> sessionEnd;  // what the copy asks done if the session ends
};

}  // namespace fakes
