#pragma once

// The three windows built on the in-memory window system, created in the
// program's order.

#include <memory>

#include "app/app_objects.h"
#include "app/application.h"
#include "app/command_table.h"
#include "capturetime/capture_reader.h"
#include "fakes/fake_copy_ui.h"
#include "fakes/fake_folder_routes.h"
#include "fakes/fake_ui.h"
#include "fakes/memory_file_ops.h"
#include "fakes/recording_copy_ops.h"
#include "platform/copy_ops.h"

namespace fakes {

struct FakeApp {
  static platform::LocalDateTime fixedNow() { return {2026, 12, 8, 9, 5, 7}; }

  explicit FakeApp(platform::FileOps* fileOps = nullptr, app::TimeEntry::Clock clock = fixedNow)
      : FakeApp(fileOps, std::move(clock), 3) {
    mainWindow.show();  // the event loop shows the main window first
  }

  // Only the first `windows` windows created (createWindow makes the
  // others), none shown: what an early tick can meet during start-up.
  struct Partly {
    int windows;
  };
  explicit FakeApp(Partly partly) : FakeApp(nullptr, fixedNow, partly.windows) {}

  // Creates window 1 (the main window), 2 (the time dialog) or 3 (the
  // message window) in the program's order.
  void createWindow(int window) {
    if (window == 1) objects->mainWindowCreated();
    if (window == 2) objects->timeDialogCreated();
    if (window == 3) objects->messageWindowCreated();
  }

 private:
  FakeApp(platform::FileOps* fileOps, app::TimeEntry::Clock clock, int windows) {
    application.title = "Chronoseq";
    application.errorBox = &errorBox;
    objects = std::make_unique<app::AppObjects>(
        application,
        app::WindowControls{
            {mainWindow, tree, list, statusBar, menu, moveStepTimer, dragScrollTimer,
             settingsLoadTimer, captureTimer},
            {dialog,
             {&fields[0], &fields[1], &fields[2], &fields[3], &fields[4], &fields[5]},
             minuteStep,
             twoSecondStep,
             alsoCreation,
             alsoAccess,
             paintPump,
             &preview},
            {messageWindow, label}},
        fileOps ? *fileOps : memoryFiles, routes,
        app::CopyServices{copyOps, picker, copyStop, confirmation}, std::move(clock),
        [this](const std::string& path) {
          return readCapture ? readCapture(path) : capturetime::readCaptureTimeOfFile(path);
        });
    confirmation.answer = false;
    listing = &objects->listing;
    order = &objects->order;
    mover = &objects->mover;
    commands = &objects->commands;
    timeEntry = &objects->timeEntry;
    messages = &objects->messages;
    settingsTiming = &objects->settingsTiming;
    captures = &objects->captures;
    // The real tree lists a newly selected folder through its change event.
    tree.onSelectionChanged = [this] { listing->listSelectedFolder(); };
    for (int window = 1; window <= windows; ++window) createWindow(window);
  }

 public:
  // Runs a handler as the event loop does.
  template <class F>
  bool event(F&& handler) {
    return app::runHandler(application, std::forward<F>(handler));
  }

  void setFieldTexts(const std::array<const char*, 6>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) fields[i].setText(texts[i]);
  }

  // The listed folder: rows and path.
  app::ListedFolder& folder() { return objects->folder; }
  const app::ListedFolder& folder() const { return objects->folder; }

  // The menu item of a command: greyed out or not, checked or not.
  bool itemEnabled(app::Command command) const { return menu.isEnabled(app::commandId(command)); }
  bool itemChecked(app::Command command) const { return menu.isChecked(app::commandId(command)); }

  app::Application application;
  FakeErrorBox errorBox;
  MemoryFileOps memoryFiles;
  // The routes to a folder as Windows gives them: each path its own
  // canonical path unless a test says otherwise, no shortcut.
  FakeFolderRoutes routes;

  FakeWindow mainWindow;
  FakeTree tree;
  FakeList list;
  FakeStatusBar statusBar;
  FakeCommandMenu menu;
  // The designed intervals.
  FakeTimer moveStepTimer{10}, dragScrollTimer{100}, settingsLoadTimer{10}, captureTimer{50};
  // Reads a file's capture time on the reading thread; empty: the file's
  // own. Set before the column shows, never while it reads.
  std::function<capturetime::CaptureTime(const std::string&)> readCapture;

  FakeWindow dialog;
  FakeText fields[6];
  FakeCheck minuteStep, twoSecondStep, alsoCreation, alsoAccess;
  FakePaintPump paintPump;
  FakeText preview;  // the line under the fields

  FakeWindow messageWindow;
  FakeMessageLabel label;

  // Copying in order works on real folders; the picker and the stop request
  // are the test's.
  RecordingCopyOps copyOps;
  FakePicker picker;
  FakeStop copyStop;
  // Asked before the folder is put in order, and at a listing beside an
  // unfinished run; declines unless a test says otherwise.
  FakeConfirmation confirmation;

  std::unique_ptr<app::AppObjects> objects;
  app::FolderListing* listing = nullptr;
  app::ListOrder* order = nullptr;
  app::RowMover* mover = nullptr;
  app::MainCommands* commands = nullptr;
  app::TimeEntry* timeEntry = nullptr;
  app::Messages* messages = nullptr;
  app::SettingsTiming* settingsTiming = nullptr;
  app::CaptureColumn* captures = nullptr;
};

}  // namespace fakes
