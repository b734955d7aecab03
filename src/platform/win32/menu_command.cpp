#include "platform/win32/menu_command.h"

namespace platform::win32 {

void MenuItemCommand::setEnabled(bool enabled) {
  const HMENU menu = window_ ? GetMenu(window_) : nullptr;
  if (!menu) return;
  EnableMenuItem(menu, static_cast<UINT>(id_), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  DrawMenuBar(window_);
}

bool MenuItemCommand::isEnabled() const {
  const HMENU menu = window_ ? GetMenu(window_) : nullptr;
  if (!menu) return false;
  const UINT state = GetMenuState(menu, static_cast<UINT>(id_), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

void MenuCheckItem::setChecked(bool checked) {
  const HMENU menu = window_ ? GetMenu(window_) : nullptr;
  if (!menu) return;
  CheckMenuItem(menu, static_cast<UINT>(id_), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool MenuCheckItem::isChecked() const {
  const HMENU menu = window_ ? GetMenu(window_) : nullptr;
  if (!menu) return false;
  const UINT state = GetMenuState(menu, static_cast<UINT>(id_), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

}  // namespace platform::win32
