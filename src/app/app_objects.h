#pragma once

// The program's objects, built once and wired to each other here, for the
// real program's windows and for the tests' in-memory ones alike.

#include "app/application.h"
#include "app/capture_column.h"
#include "app/copy_command.h"
#include "app/folder_listing.h"
#include "app/list_order.h"
#include "app/listed_folder.h"
#include "app/main_commands.h"
#include "app/messages.h"
#include "app/reorder_command.h"
#include "app/row_mover.h"
#include "app/settings_timing.h"
#include "app/time_entry.h"
#include "app/undo_command.h"
#include "app/window_flow.h"
#include "platform/copy_ops.h"
#include "platform/copy_ui.h"
#include "platform/file_ops.h"
#include "platform/folder_routes.h"
#include "settings/window_settings.h"

namespace app {

// The controls of the main window.
struct MainWindowControls {
  platform::Window& window;
  platform::FolderTree& tree;
  platform::EntryListView& list;
  platform::StatusBar& statusBar;
  platform::CommandMenu& menu;
  platform::Timer& moveStepTimer;      // 10 ms, one step of a row move
  platform::Timer& dragScrollTimer;    // 100 ms, scrolling during a drag
  platform::Timer& settingsLoadTimer;  // 10 ms, one-shot load of the settings file
  platform::Timer& captureTimer;       // 50 ms, the capture times read so far
};

// The controls of the three windows. The windows themselves may be created
// later, one by one, as long as these objects outlive the ones built on them.
struct WindowControls {
  MainWindowControls main;
  TimeEntryControls timeEntry;
  MessageWindowControls message;
};

// What copying the rows in their order works with besides the windows.
struct CopyServices {
  platform::CopyOps& copyOps;
  platform::FolderPicker& picker;
  platform::StopSignal& stop;  // Esc and the main window's close button
  // The question before putting a card's folder in order.
  platform::Confirmation& confirmation;
};

// Built in the order of the members below: each is given only what stands
// above it, so no constructor ever meets a part that is not built yet (the
// test AppObjects.EachPartStandsBelowWhatItIsGiven checks every such link).
// A part that tells one built after it of an event (undo's availability to
// the menu, a listing's end to the in-place order, the settings file to the
// options) is given a function at construction that reaches it through this
// object; such a function is only ever called from a handler, once all of
// them are built. Nothing is patched in afterwards.
class AppObjects {
 public:
  AppObjects(Application& app, WindowControls controls, platform::FileOps& fileOps,
             platform::FolderRoutes& routes, CopyServices copyServices,
             TimeEntry::Clock clock = platform::localNow, CaptureColumn::Read captureRead = {});
  AppObjects(const AppObjects&) = delete;
  AppObjects& operator=(const AppObjects&) = delete;

  // The program's order, each once its window exists: the main window, the
  // time dialog, then the message window, after which the menu shows what
  // can be chosen and the settings file may be loaded. Each runs as a
  // handler: a failure goes to the error box.
  void mainWindowCreated();
  void timeDialogCreated();
  void messageWindowCreated();

  Application& app;
  FlowWindows flow;        // the three windows
  ListedFolder folder;     // the rows
  Messages messages;       // flow
  RowMover mover;          // folder
  CaptureColumn captures;  // folder
  ListOrder order;         // folder, mover, captures; tells the listing of a new selection
  UndoCommand undo;        // folder, flow, messages; tells the menu of its availability
  CopyCommand copy;        // folder, flow, messages; order's name order
  ReorderCommand reorder;  // folder, flow, messages, captures; lists again through listing
  FolderListing listing;   // folder, mover, order, captures, undo, messages; tells reorder
  TimeEntry timeEntry;     // folder, flow, messages, undo
  MainCommands commands;   // all of the above
  settings::WindowSettings windowSettings;  // the windows; reads and sets order, captures, menu
  SettingsTiming settingsTiming;            // windowSettings
};

}  // namespace app
