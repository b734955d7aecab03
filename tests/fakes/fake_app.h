#pragma once

// The three windows built on the in-memory window system, created in the
// program's order.

#include <memory>

#include "app/application.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/undo_command.h"
#include "fakes/fake_ui.h"
#include "fakes/memory_file_ops.h"

namespace fakes {

struct FakeApp {
  explicit FakeApp(
      platform::FileOps* fileOps = nullptr,
      app::TForm2::Clock clock = [] { return platform::LocalDateTime{2026, 12, 8, 9, 5, 7}; }) {
    application.title = "Chronoseq";
    application.errorBox = &errorBox;
    form1 = std::make_unique<app::TForm1>(
        application, app::Form1Controls{mainWindow, tree, list, statusBar, timer1, timer2, timer3,
                                        &numericOrder1});
    application.form1 = form1.get();
    form1->FormCreate();
    // The real tree lists a newly selected folder through its change event.
    tree.onSelectionChanged = [this] { form1->ShellTreeView1Change(); };
    form2 = std::make_unique<app::TForm2>(
        application,
        app::Form2Controls{dialog,
                           {&edits[0], &edits[1], &edits[2], &edits[3], &edits[4], &edits[5]},
                           radioButton1,
                           radioButton2,
                           checkBox1,
                           checkBox2,
                           paintPump,
                           &preview},
        fileOps ? *fileOps : memoryFiles, std::move(clock));
    application.form2 = form2.get();
    form2->FormCreate();
    form3 = std::make_unique<app::TForm3>(application, app::Form3Controls{messageWindow, label1});
    application.form3 = form3.get();
    form3->FormCreate();
    undo =
        std::make_unique<app::UndoCommand>(application, undoItem, fileOps ? *fileOps : memoryFiles);
    application.undo = undo.get();
    mainWindow.show();  // the event loop shows the main window first
  }

  // Runs a handler as the event loop does.
  template <class F>
  bool event(F&& handler) {
    return app::runHandler(application, std::forward<F>(handler));
  }

  void setFieldTexts(const std::array<const char*, 6>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) edits[i].setText(texts[i]);
  }

  app::Application application;
  FakeErrorBox errorBox;
  MemoryFileOps memoryFiles;

  FakeWindow mainWindow;
  FakeTree tree;
  FakeList list;
  FakeStatusBar statusBar;
  FakeTimer timer1, timer2, timer3;
  FakeCheck numericOrder1;  // "数字を数値として並べる(&N)"

  FakeWindow dialog;
  FakeText edits[6];
  FakeCheck radioButton1, radioButton2, checkBox1, checkBox2;
  FakePaintPump paintPump;
  FakeText preview;  // the line under the fields

  FakeWindow messageWindow;
  FakeText label1;

  std::unique_ptr<app::TForm1> form1;
  std::unique_ptr<app::TForm2> form2;
  std::unique_ptr<app::TForm3> form3;

  FakeMenuCommand undoItem;  // "元に戻す(&U)"
  std::unique_ptr<app::UndoCommand> undo;
};

}  // namespace fakes
