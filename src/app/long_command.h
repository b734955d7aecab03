#pragma once

// A command that locks windows while it works: the time run, undo and the
// copy. Its work ends by showing a message, which takes the lock over; a
// failure gives the lock back and goes on to the error box.

#include "app/window_flow.h"

namespace app {

// The window flow's steps that take a lock and give it back.
struct WindowLock {
  void (*take)(const FlowWindows&);
  void (*giveBack)(const FlowWindows&);
};

// The main window locked while a menu command works.
inline constexpr WindowLock kMainWindowLock{startWorking, stopWorking};
// The time dialog and the main window locked while OK checks and stamps.
inline constexpr WindowLock kTimeDialogLock{startChecking, giveDialogBack};

// Runs work under the lock. On a failure, unwind runs first, then the lock
// is given back, and the failure goes on.
template <class Work, class Unwind>
void runLocked(const FlowWindows& flow, WindowLock lock, Work&& work, Unwind&& unwind) {
  lock.take(flow);
  try {
    work();
  } catch (...) {
    unwind();
    lock.giveBack(flow);
    throw;
  }
}

}  // namespace app
