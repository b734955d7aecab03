#pragma once

#include <windows.h>

namespace shell {

// The main window's menu bar, built from the command table: its sub-menus
// in order, each with its commands. Null when the system refuses a menu.
HMENU createMainMenu();

}  // namespace shell
