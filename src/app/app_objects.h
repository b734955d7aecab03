#pragma once

// The program's objects, built once and wired to each other here, for the
// real program's windows and for the tests' in-memory ones alike.

#include "app/application.h"
#include "app/copy_command.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/listed_folder.h"
#include "app/messages.h"
#include "app/reorder_command.h"
#include "app/undo_command.h"
#include "app/window_flow.h"
#include "platform/copy_ops.h"
#include "platform/copy_ui.h"
#include "platform/file_ops.h"
#include "settings/window_settings.h"

namespace app {

// The controls of the three windows. The windows themselves may be created
// later, one by one, as long as these objects outlive the ones built on them.
struct WindowControls {
  Form1Controls form1;
  Form2Controls form2;
  Form3Controls form3;
  platform::MenuCommand& undoItem;  // "元に戻す(&U)"
  platform::MenuCommand& copyItem;     // "この順番でコピー(&C)..."
  platform::MenuCommand& reorderItem;  // "カード上でこの順番にする(&R)..."
};

// What copying the rows in their order works with besides the windows.
struct CopyServices {
  platform::CopyOps& copyOps;
  platform::FolderPicker& picker;
  platform::StopSignal& stop;  // Esc and the main window's close button
  // The question before putting a card's folder in order.
  platform::Confirmation& confirmation;
};

class AppObjects {
 public:
  AppObjects(Application& app, WindowControls controls, platform::FileOps& fileOps,
             CopyServices copyServices, TForm2::Clock clock = platform::localNow);
  AppObjects(const AppObjects&) = delete;
  AppObjects& operator=(const AppObjects&) = delete;

  // The program's order, each once its window exists: the main window's
  // FormCreate, the time dialog's, then the message window's, after which
  // the undo and copy commands show on the menu and the settings file may be loaded.
  // Each runs as a handler: a failure goes to the error box.
  void createForm1();
  void createForm2();
  void createForm3();

  Application& app;
  FlowWindows flow;
  ListedFolder folder;
  Messages messages;
  UndoCommand undo;
  CopyCommand copy;
  ReorderCommand reorder;
  settings::WindowSettings windowSettings;
  TForm2 form2;
  TForm3 form3;
  TForm1 form1;
};

}  // namespace app
