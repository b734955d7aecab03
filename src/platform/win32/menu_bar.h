#pragma once

#include <windows.h>

#include "platform/ui.h"

namespace platform::win32 {

// The items of a window's menu bar's sub-menus, greyed out, enabled and
// checked by their command identifier.
class MenuBar final : public platform::CommandMenu {
 public:
  void attach(HWND window) { window_ = window; }
  void setEnabled(int id, bool enabled) override;
  bool isEnabled(int id) const override;
  void setChecked(int id, bool checked) override;
  bool isChecked(int id) const override;

 private:
  // The item's state flags; nothing without a menu or such an item.
  UINT state(int id) const;

  HWND window_ = nullptr;
};

}  // namespace platform::win32
