#pragma once

#include <windows.h>

#include "platform/ui.h"

namespace platform::win32 {

// An item of a window's menu bar's sub-menus, greyed out and enabled again
// by its command identifier.
class MenuItemCommand final : public platform::MenuCommand {
 public:
  void attach(HWND window, int id) {
    window_ = window;
    id_ = id;
  }
  void setEnabled(bool enabled) override;
  bool isEnabled() const override;

 private:
  HWND window_ = nullptr;
  int id_ = 0;
};

// A check item of a window's menu bar's sub-menus, by its command identifier.
class MenuCheckItem final : public platform::CheckControl {
 public:
  void attach(HWND window, int id) {
    window_ = window;
    id_ = id;
  }
  void setChecked(bool checked) override;
  bool isChecked() const override;

 private:
  HWND window_ = nullptr;
  int id_ = 0;
};

}  // namespace platform::win32
