#include "app/window_flow.h"

namespace app {

FlowState flowState(const FlowWindows& w) {
  if (!w.main.isVisible()) return FlowState::Unknown;
  const bool main = w.main.isEnabled();
  const bool dialogShown = w.dialog.isVisible();
  const bool dialog = w.dialog.isEnabled();
  const bool message = w.message.isVisible();
  if (main) return !dialogShown && dialog && !message ? FlowState::Idle : FlowState::Unknown;
  if (dialogShown) {
    if (dialog) return message ? FlowState::Unknown : FlowState::TimeEntry;
    return message ? FlowState::MessageOverDialog : FlowState::Checking;
  }
  if (!dialog) return FlowState::Unknown;
  return message ? FlowState::MessageOverMain : FlowState::Working;
}

void openTimeDialog(const FlowWindows& w) {
  w.dialog.show();
  w.main.setEnabled(false);
}

void cancelTimeDialog(const FlowWindows& w) {
  w.main.setEnabled(true);
  w.dialog.hide();
}

void startChecking(const FlowWindows& w) { w.dialog.setEnabled(false); }

void giveDialogBack(const FlowWindows& w) { w.dialog.setEnabled(true); }

void showMessageOverDialog(const FlowWindows& w) { w.message.show(); }

void showCompletionOverMain(const FlowWindows& w) {
  // Enabled before it is hidden, so that opening it again finds it enabled.
  w.dialog.setEnabled(true);
  w.dialog.hide();
  w.message.show();
}

void showMessageOverMain(const FlowWindows& w) {
  w.main.setEnabled(false);
  w.message.show();
}

void dismissMessage(const FlowWindows& w) {
  // The time dialog's visibility alone tells which window lies below.
  if (w.dialog.isVisible()) {
    w.dialog.setEnabled(true);
  } else {
    w.main.setEnabled(true);
  }
  w.message.hide();
  w.message.setCaption("");
}

void startWorking(const FlowWindows& w) { w.main.setEnabled(false); }

void stopWorking(const FlowWindows& w) { w.main.setEnabled(true); }

}  // namespace app
