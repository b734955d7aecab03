#include "shell/program.h"

#include <commctrl.h>

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

Program::Program(ProgramOptions options)
    : options_(std::move(options)),
      errorBox_([this] {
        return std::array<HWND, 3>{mainWindow_.hwnd(), timeDialog_.hwnd(), messageWindow_.hwnd()};
      }),
      mainWindow_(app_, options_.treeRoot, options_.onMainWindowDestroyed),
      timeDialog_(app_),
      messageWindow_(app_),
      folderPicker_([this] { return mainWindow_.hwnd(); }),
      confirmation_([this] {
        return std::array<HWND, 3>{mainWindow_.hwnd(), timeDialog_.hwnd(), messageWindow_.hwnd()};
      }) {
  app_.title = options_.title;
  app_.errorBox = &errorBox_;
  app_.textFiles = options_.textFiles;
  app_.screen = &screen_;
  mainWindow_.setMessageFilter(options_.messageFilter);
}

Program::~Program() {
  // No handler runs while the windows go; the objects go after them.
  mainWindow_.attach(nullptr);
  timeDialog_.attach(nullptr);
  messageWindow_.attach(nullptr);
  messageWindow_.destroy();
  timeDialog_.destroy();
  mainWindow_.destroy();
}

bool Program::create() {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES |
                                                    ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);

  if (!mainWindow_.create()) return false;
  platform::FileOps& files = options_.fileOps ? *options_.fileOps : platform::systemFileOps();
  objects_ = std::make_unique<app::AppObjects>(
      app_,
      app::WindowControls{mainWindow_.controls(), timeDialog_.controls(),
                          messageWindow_.controls()},
      files, options_.folderRoutes ? *options_.folderRoutes : platform::systemFolderRoutes(),
      app::CopyServices{options_.copyOps ? *options_.copyOps : platform::systemCopyOps(),
                        options_.folderPicker ? *options_.folderPicker
                                              : static_cast<platform::FolderPicker&>(folderPicker_),
                        mainWindow_.copyStop(), confirmation_},
      options_.clock);
  objects_->folder.setSeparators(platform::userDateTimeSeparators());
  mainWindow_.attach(objects_.get());
  objects_->mainWindowCreated();
  if (options_.afterFormCreate) options_.afterFormCreate(1);
  mainWindow_.populateTree();

  if (!timeDialog_.create(mainWindow_.hwnd())) return false;
  timeDialog_.attach(&objects_->timeEntry);
  objects_->timeDialogCreated();
  if (options_.afterFormCreate) options_.afterFormCreate(2);

  if (!messageWindow_.create(mainWindow_.hwnd())) return false;
  messageWindow_.attach(&objects_->messages);
  objects_->messageWindowCreated();
  if (options_.afterFormCreate) options_.afterFormCreate(3);
  return true;
}

void Program::showMainWindow(int showCommand) {
  int command = SW_SHOWNORMAL;
  if (showCommand == SW_SHOWMAXIMIZED) command = SW_SHOWMAXIMIZED;
  if (showCommand == SW_SHOWMINNOACTIVE) command = SW_SHOWMINNOACTIVE;
  ShowWindow(mainWindow_.hwnd(), command);
  UpdateWindow(mainWindow_.hwnd());
}

bool Program::translateDialogMessage(MSG& message) {
  for (HWND dialog : {timeDialog_.hwnd(), messageWindow_.hwnd()}) {
    if (!dialog || !message.hwnd) continue;
    if (message.hwnd == dialog || IsChild(dialog, message.hwnd)) {
      return IsDialogMessageW(dialog, &message) != FALSE;
    }
  }
  return false;
}

void Program::openStartPath() {
  if (!options_.startPath.empty()) mainWindow_.openPath(options_.startPath);
}

int runEventLoop(Program& windows, int showCommand) {
  windows.showMainWindow(showCommand);
  windows.openStartPath();
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) return 1;
    if (got == 0) return static_cast<int>(message.wParam);
    if (windows.translateDialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace shell
