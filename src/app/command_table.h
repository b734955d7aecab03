#pragma once

// The main window's menu as one table: each command's menu, caption,
// identifier, handler and the rules that grey it out and check it. The menu
// bar is built from it and its commands are routed through it; a new
// command is one row here and one handler of MainCommands.

#include <array>
#include <string_view>

#include "app/main_commands.h"

namespace app {

// When a command can be chosen.
enum class Availability { always, whileRowsListed, whileUndoKept };
// When its item shows a check mark.
enum class CheckRule { never, whileNumericNames, whileCaptureColumnShown };

struct CommandRow {
  Command command;
  int menu;  // the index in kMenuCaptions
  std::string_view caption;
  int id;  // the WM_COMMAND identifier; none is IDOK or IDCANCEL
  Availability availability;
  CheckRule check;
  void (MainCommands::*handler)();
};

inline constexpr std::array<std::string_view, 3> kMenuCaptions{"ファイル（&F）", "表示(&V)",
                                                               "ヘルプ(&H)"};

inline constexpr std::array<CommandRow, 8> kCommands{{
    {Command::changeTimes, 0, "TIME変更（&T）", 101, Availability::always, CheckRule::never,
     &MainCommands::showTimeDialog},
    {Command::undo, 0, "元に戻す(&U)", 104, Availability::whileUndoKept, CheckRule::never,
     &MainCommands::undo},
    {Command::copyInOrder, 0, "この順番でコピー(&C)...", 105, Availability::whileRowsListed,
     CheckRule::never, &MainCommands::copyInOrder},
    {Command::reorderOnCard, 0, "カード上でこの順番にする(&R)...", 107,
     Availability::whileRowsListed, CheckRule::never, &MainCommands::reorderOnCard},
    {Command::exit, 0, "終了(&X)", 102, Availability::always, CheckRule::never,
     &MainCommands::exit},
    {Command::numericOrder, 1, "数字を数値として並べる(&N)", 106, Availability::always,
     CheckRule::whileNumericNames, &MainCommands::toggleNumericOrder},
    {Command::captureTimes, 1, "撮影日時を表示(&D)", 108, Availability::always,
     CheckRule::whileCaptureColumnShown, &MainCommands::toggleCaptureTimes},
    {Command::showVersion, 2, "バージョン情報(&A)", 103, Availability::always, CheckRule::never,
     &MainCommands::showVersion},
}};

// Every command has its row, at its own place, and no identifier serves two
// commands or a dialog's buttons: a command without a row cannot build.
constexpr bool everyCommandAtItsPlace() {
  if (kCommands.size() != static_cast<std::size_t>(Command::count)) return false;
  for (std::size_t i = 0; i < kCommands.size(); ++i) {
    if (kCommands[i].command != static_cast<Command>(i)) return false;
  }
  return true;
}
constexpr bool identifiersUnique() {
  constexpr int kIdOk = 1;
  constexpr int kIdCancel = 2;
  for (std::size_t i = 0; i < kCommands.size(); ++i) {
    if (kCommands[i].id == kIdOk || kCommands[i].id == kIdCancel) return false;
    for (std::size_t j = i + 1; j < kCommands.size(); ++j) {
      if (kCommands[i].id == kCommands[j].id) return false;
    }
  }
  return true;
}
static_assert(everyCommandAtItsPlace(), "kCommands needs one row per Command, in its order");
static_assert(identifiersUnique(), "each command needs an identifier of its own");

// The row of a command.
constexpr const CommandRow& commandRow(Command command) {
  return kCommands.at(static_cast<std::size_t>(command));  // Command::count throws
}

// The WM_COMMAND identifier of a command.
constexpr int commandId(Command command) { return commandRow(command).id; }

// The row with a WM_COMMAND identifier; null for none.
constexpr const CommandRow* commandWithId(int id) {
  for (const CommandRow& row : kCommands) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

}  // namespace app
