#include "shell/main_menu.h"

#include <array>

#include "app/command_table.h"
#include "platform/win32/utf.h"

namespace shell {

HMENU createMainMenu() {
  HMENU bar = CreateMenu();
  if (!bar) return nullptr;
  for (std::size_t menu = 0; menu < app::kMenuCaptions.size(); ++menu) {
    HMENU popup = CreatePopupMenu();
    if (!popup) continue;
    for (const app::CommandRow& row : app::kCommands) {
      if (row.menu != static_cast<int>(menu)) continue;
      AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(row.id),
                  platform::widen(row.caption).c_str());
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                platform::widen(app::kMenuCaptions[menu]).c_str());
  }
  return bar;
}

}  // namespace shell
