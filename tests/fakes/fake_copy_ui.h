#pragma once

// The folder picker, the stop request and the confirmation of the card
// commands, answered by the test.

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
  void arm(std::string_view reason) override {
    armed = true;
    armedFor = std::string(reason);
  }
  void disarm() override { armed = false; }
  void atSessionEnd(std::function<void()> cleanUp) override { sessionEnd = std::move(cleanUp); }
  bool requested() override {
    ++asked;
    if (whileCopying) whileCopying();
    return stopWhen && stopWhen();
  }
  bool armed = false;
  std::string armedFor;  // the reason a log-off meets while armed
  int asked = 0;
  std::function<void()> whileCopying;
  std::function<bool()> stopWhen;
  std::function<void()> sessionEnd;  // what the copy asks done if the session ends
};

// Answers each question as the test says, and keeps what was asked.
class FakeConfirmation : public platform::Confirmation {
 public:
  bool confirm(std::string_view caption, std::string_view text) override {
    captions.emplace_back(caption);
    texts.emplace_back(text);
    if (whileAsking) whileAsking();
    return answer;
  }
  bool answer = true;
  std::vector<std::string> captions;
  std::vector<std::string> texts;
  std::function<void()> whileAsking;
};

}  // namespace fakes
