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
      folderPicker_([this] { return mainWindow_.hwnd(); }) {
  app_.title = options_.title;
  app_.errorBox = &errorBox_;
  app_.textFiles = options_.textFiles;
  app_.screen = &screen_;
}

Program::~Program() {
  // No handler runs while the windows go; the forms go after them.
  mainWindow_.attach(nullptr);
  timeDialog_.attach(nullptr);
  messageWindow_.attach(nullptr);
  app_.undo = nullptr;
  app_.copy = nullptr;
  messageWindow_.destroy();
  timeDialog_.destroy();
  mainWindow_.destroy();
  applicationWindow_.destroy();
}

bool Program::create() {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES |
                                                    ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);

  if (!applicationWindow_.create(options_.title)) return false;
  if (!mainWindow_.create(applicationWindow_.hwnd())) return false;
  applicationWindow_.follow(mainWindow_.hwnd(), [this] {
    // The dialog on top holds the lock while the main window is disabled.
    for (HWND window : {messageWindow_.hwnd(), timeDialog_.hwnd()}) {
      if (window && IsWindowVisible(window) && IsWindowEnabled(window)) return window;
    }
    return mainWindow_.hwnd();
  });
  form1_ = std::make_unique<app::TForm1>(app_, mainWindow_.controls());
  app_.form1 = form1_.get();
  form1_->setSeparators(platform::userDateTimeSeparators());
  mainWindow_.attach(form1_.get());
  app::runHandler(app_, [this] { form1_->FormCreate(); });
  if (options_.afterFormCreate) options_.afterFormCreate(1);
  mainWindow_.populateTree();

  if (!timeDialog_.create(mainWindow_.hwnd())) return false;
  platform::FileOps& files = options_.fileOps ? *options_.fileOps : platform::systemFileOps();
  form2_ = std::make_unique<app::TForm2>(app_, timeDialog_.controls(), files, options_.clock);
  app_.form2 = form2_.get();
  timeDialog_.attach(form2_.get());
  app::runHandler(app_, [this] { form2_->FormCreate(); });
  if (options_.afterFormCreate) options_.afterFormCreate(2);

  if (!messageWindow_.create(mainWindow_.hwnd())) return false;
  form3_ = std::make_unique<app::TForm3>(app_, messageWindow_.controls());
  app_.form3 = form3_.get();
  messageWindow_.attach(form3_.get());
  app::runHandler(app_, [this] { form3_->FormCreate(); });

  undo_ = std::make_unique<app::UndoCommand>(app_, mainWindow_.undoItem(), files);
  app_.undo = undo_.get();
  platform::CopyOps& copyOps = options_.copyOps ? *options_.copyOps : platform::systemCopyOps();
  platform::FolderPicker& picker = options_.folderPicker
                                       ? *options_.folderPicker
                                       : static_cast<platform::FolderPicker&>(folderPicker_);
  copy_ = std::make_unique<app::CopyCommand>(app_, mainWindow_.copyItem(), copyOps, picker,
                                             mainWindow_.copyStop());
  app_.copy = copy_.get();
  if (options_.afterFormCreate) options_.afterFormCreate(3);
  return true;
}

void Program::showMainWindow(int showCommand) {
  int command = SW_SHOWNORMAL;
  if (showCommand == SW_SHOWMAXIMIZED) command = SW_SHOWMAXIMIZED;
  if (showCommand == SW_SHOWMINNOACTIVE) command = SW_SHOWMINNOACTIVE;
  applicationWindow_.show();
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

int runEventLoop(Program& windows, int showCommand) {
  windows.showMainWindow(showCommand);
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
