#pragma once

#include "platform/ui.h"

namespace app {

// The window flow: which of the main window, the time dialog and the message
// window accepts input, and the steps by which control passes between them.
// Every handler that opens or closes a window takes one of the transitions
// below, so the order of each one's steps is stated here once.
//
// | State               | Main window      | Time dialog      | Message window |
// |---------------------|------------------|------------------|----------------|
// | Idle                | shown, enabled   | hidden, enabled  | hidden         |
// | TimeEntry           | shown, disabled  | shown, enabled   | hidden         |
// | Checking            | shown, disabled  | shown, disabled  | hidden         |
// | MessageOverDialog   | shown, disabled  | shown, disabled  | shown          |
// | MessageOverMain     | shown, disabled  | hidden, enabled  | shown          |
// | Working             | shown, disabled  | hidden, enabled  | hidden         |
//
// Checking and Working last only inside one handler, never between events;
// Working is the main window locked by a command of its own (undo).
enum class FlowState {
  Idle,
  TimeEntry,
  Checking,
  MessageOverDialog,
  MessageOverMain,
  Working,
  Unknown,  // flags that match no state: a fault
};

struct FlowWindows {
  platform::Window& main;
  platform::Window& dialog;
  platform::Window& message;
};

// The state the windows' flags stand for.
FlowState flowState(const FlowWindows& w);

// Idle -> TimeEntry: show the time dialog; lock the main window.
void openTimeDialog(const FlowWindows& w);
// TimeEntry -> Idle: unlock the main window; hide the time dialog.
void cancelTimeDialog(const FlowWindows& w);
// TimeEntry -> Checking: lock the time dialog.
void startChecking(const FlowWindows& w);
// Checking -> TimeEntry, when a failure ends the OK press: unlock the dialog.
void giveDialogBack(const FlowWindows& w);
// Checking -> MessageOverDialog: show the message window.
void showMessageOverDialog(const FlowWindows& w);
// Checking -> MessageOverMain, a completed run: unlock and hide the time
// dialog; show the message window.
void showCompletionOverMain(const FlowWindows& w);
// Idle or Working -> MessageOverMain: lock the main window; show the message
// window.
void showMessageOverMain(const FlowWindows& w);
// MessageOverDialog -> TimeEntry, MessageOverMain -> Idle, the message
// window's OK: unlock the time dialog if it is visible, else the main window;
// hide the message window; empty its caption.
void dismissMessage(const FlowWindows& w);
// Idle -> Working: lock the main window.
void startWorking(const FlowWindows& w);
// Working -> Idle, when a failure ends the work: unlock the main window.
void stopWorking(const FlowWindows& w);

}  // namespace app
