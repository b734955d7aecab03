#pragma once

#include "app/capture_column.h"
#include "app/list_order.h"
#include "app/listed_folder.h"
#include "app/messages.h"
#include "app/row_mover.h"
#include "app/window_flow.h"
#include "platform/ui.h"

namespace app {

class CopyCommand;
class ReorderCommand;
class FolderListing;
class TimeEntry;
class UndoCommand;

// The commands of the main window's menu, in the order they stand there.
// Their captions, identifiers and rules are in command_table.h.
enum class Command {
  changeTimes,
  undo,
  copyInOrder,
  reorderOnCard,
  exit,
  numericOrder,
  captureTimes,
  showVersion,
  // Not a command: how many there are. The table's checks rest on it.
  count
};

// What the menu's commands work with.
struct MainCommandLinks {
  platform::Window& window;
  platform::CommandMenu& menu;
  ListedFolder& folder;
  const FlowWindows& flow;
  RowMover& mover;
  ListOrder& order;
  CaptureColumn& captures;
  FolderListing& listing;
  TimeEntry& timeEntry;
  UndoCommand& undo;
  CopyCommand& copy;
  ReorderCommand& reorder;
  Messages& messages;
};

// The main window's menu commands. A command that changes the rows or
// works on them in their order first finishes a move still running.
class MainCommands {
 public:
  explicit MainCommands(MainCommandLinks links) : links_(links) {}

  // Carries out a command of the table.
  void run(Command command);
  // Greys out and checks every item of the menu by the table's rules: once
  // the windows exist, when a menu opens and when a rule's answer changes.
  void showStates();

  // "TIME変更（&T）": opens the time dialog over a listed folder.
  void showTimeDialog();
  // "元に戻す(&U)": takes back the last stamping run.
  void undo();
  // "この順番でコピー(&C)...": copies the rows in their order.
  void copyInOrder();
  // "カード上でこの順番にする(&R)...": puts the folder's entries in the rows'
  // order where they stand.
  void reorderOnCard();
  // "終了(&X)".
  void exit();
  // "数字を数値として並べる(&N)": switches the name order.
  void toggleNumericOrder();
  // "撮影日時を表示(&D)": shows or takes away the capture time column.
  void toggleCaptureTimes();
  // "バージョン情報(&A)".
  void showVersion();

 private:
  MainCommandLinks links_;
};

}  // namespace app
