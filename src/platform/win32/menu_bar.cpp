#include "platform/win32/menu_bar.h"

namespace platform::win32 {

namespace {

constexpr UINT kNoItem = static_cast<UINT>(-1);

}  // namespace

UINT MenuBar::state(int id) const {
  const HMENU menu = window_ ? GetMenu(window_) : nullptr;
  if (!menu) return kNoItem;
  return GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND);
}

void MenuBar::setEnabled(int id, bool enabled) {
  const HMENU menu = window_ ? GetMenu(window_) : nullptr;
  if (!menu) return;
  EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  DrawMenuBar(window_);
}

bool MenuBar::isEnabled(int id) const {
  const UINT flags = state(id);
  return flags != kNoItem && (flags & (MF_GRAYED | MF_DISABLED)) == 0;
}

void MenuBar::setChecked(int id, bool checked) {
  const HMENU menu = window_ ? GetMenu(window_) : nullptr;
  if (!menu) return;
  CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool MenuBar::isChecked(int id) const {
  const UINT flags = state(id);
  return flags != kNoItem && (flags & MF_CHECKED) != 0;
}

}  // namespace platform::win32
