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

}  // namespace platform::win32
