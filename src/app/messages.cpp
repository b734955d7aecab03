#include "app/messages.h"

namespace app {

void Messages::windowCreated() {
  // Position 1 is Close.
  flow_.message.deleteWindowMenuItem(1);
}

void Messages::dismiss() { dismissMessage(flow_); }

void Messages::overDialog(std::string_view text) {
  label_.setText(text);
  showMessageOverDialog(flow_);
}

void Messages::completionOverMain(std::string_view text) {
  label_.setText(text);
  showCompletionOverMain(flow_);
}

void Messages::overMain(std::string_view text, std::optional<std::string_view> caption) {
  label_.setText(text);
  if (caption) flow_.message.setCaption(*caption);
  showMessageOverMain(flow_);
}

void Messages::wholeOverMain(std::string_view text) {
  label_.setWholeText(text);
  showMessageOverMain(flow_);
}

}  // namespace app
