#pragma once

// The program's task-bar button. A top-level window with no size on screen
// carries the application title as its caption and owns the main window, so
// the main window gets no button of its own and keeps its own caption.
// Minimising, restoring, activating and closing from the button are passed
// on to the main window.

#include <windows.h>

#include <functional>
#include <string_view>

#include "platform/win32/message_target.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

class ApplicationWindow final : public MessageTarget {
 public:
  // The window that is to take the activation the button gives: the main
  // window, or the dialog that keeps it locked.
  using ActivationTarget = std::function<HWND()>;

  ApplicationWindow() = default;
  ~ApplicationWindow() override;
  ApplicationWindow(const ApplicationWindow&) = delete;
  ApplicationWindow& operator=(const ApplicationWindow&) = delete;

  // Created hidden; shown with the main window.
  bool create(std::string_view title);
  void destroy();
  HWND hwnd() const { return hwnd_; }

  // The main window, created with this window as its owner. The button
  // follows its minimised state, and goes when it is destroyed.
  void follow(HWND mainWindow, ActivationTarget activationTarget);

  // The first showing: the button appears with the main window, without
  // taking the activation from it.
  void show();

  LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static LRESULT CALLBACK watchMainWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR self);
  void mainWindowSized(WPARAM sizeType);
  void activateTarget(bool always);

  HWND hwnd_ = nullptr;
  HWND mainWindow_ = nullptr;
  ActivationTarget activationTarget_;
};

}  // namespace shell
