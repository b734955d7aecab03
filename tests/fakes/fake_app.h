#pragma once

// The three windows built on the in-memory window system, created in the
// program's order.

#include <memory>

#include "app/app_objects.h"
#include "app/application.h"
#include "fakes/fake_copy_ui.h"
#include "fakes/fake_ui.h"
#include "fakes/memory_file_ops.h"
#include "platform/copy_ops.h"

namespace fakes {

struct FakeApp {
  static platform::LocalDateTime fixedNow() { return {2026, 12, 8, 9, 5, 7}; }

  explicit FakeApp(platform::FileOps* fileOps = nullptr, app::TForm2::Clock clock = fixedNow)
      : FakeApp(fileOps, std::move(clock), 3) {
    mainWindow.show();  // the event loop shows the main window first
  }

  // Only the first `forms` windows created (createForm makes the others),
  // none shown: what an early tick can meet during start-up.
  struct Partly {
    int forms;
  };
  explicit FakeApp(Partly partly) : FakeApp(nullptr, fixedNow, partly.forms) {}

  // Creates window 1, 2 or 3 in the program's order.
  void createForm(int form) {
    if (form == 1) objects->createForm1();
    if (form == 2) objects->createForm2();
    if (form == 3) objects->createForm3();
  }

 private:
  FakeApp(platform::FileOps* fileOps, app::TForm2::Clock clock, int forms) {
    application.title = "Chronoseq";
    application.errorBox = &errorBox;
    objects = std::make_unique<app::AppObjects>(
        application,
        app::WindowControls{
            {mainWindow, tree, list, statusBar, timer1, timer2, timer3, &numericOrder1},
            {dialog,
             {&edits[0], &edits[1], &edits[2], &edits[3], &edits[4], &edits[5]},
             radioButton1,
             radioButton2,
             checkBox1,
             checkBox2,
             paintPump,
             &preview},
            {messageWindow, label1},
            undoItem,
            copyItem,
            reorderItem},
        fileOps ? *fileOps : memoryFiles,
        app::CopyServices{platform::systemCopyOps(), picker, copyStop, confirmation},
        std::move(clock));
    confirmation.answer = false;
    form1 = &objects->form1;
    form2 = &objects->form2;
    form3 = &objects->form3;
    // The real tree lists a newly selected folder through its change event.
    tree.onSelectionChanged = [this] { form1->ShellTreeView1Change(); };
    for (int form = 1; form <= forms; ++form) createForm(form);
  }

 public:
  // Runs a handler as the event loop does.
  template <class F>
  bool event(F&& handler) {
    return app::runHandler(application, std::forward<F>(handler));
  }

  void setFieldTexts(const std::array<const char*, 6>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) edits[i].setText(texts[i]);
  }

  // The listed folder: rows, entry count and path.
  app::ListedFolder& folder() { return objects->folder; }
  const app::ListedFolder& folder() const { return objects->folder; }

  app::Application application;
  FakeErrorBox errorBox;
  MemoryFileOps memoryFiles;

  FakeWindow mainWindow;
  FakeTree tree;
  FakeList list;
  FakeStatusBar statusBar;
  FakeTimer timer1{10}, timer2{100}, timer3{10};  // the designed intervals
  FakeCheck numericOrder1;                        // "数字を数値として並べる(&N)"

  FakeWindow dialog;
  FakeText edits[6];
  FakeCheck radioButton1, radioButton2, checkBox1, checkBox2;
  FakePaintPump paintPump;
  FakeText preview;  // the line under the fields

  FakeWindow messageWindow;
  FakeMessageLabel label1;

  FakeMenuCommand undoItem;  // "元に戻す(&U)"
  FakeMenuCommand copyItem;  // "この順番でコピー(&C)..."
  // Copying in order works on real folders; the picker and the stop request
  // are the test's.
  FakePicker picker;
  FakeStop copyStop;
  FakeMenuCommand reorderItem;  // "カード上でこの順番にする(&R)..."
  // Asked before the folder is put in order, and at a listing beside an
  // unfinished run; declines unless a test says otherwise.
  FakeConfirmation confirmation;

  std::unique_ptr<app::AppObjects> objects;
  app::TForm1* form1 = nullptr;
  app::TForm2* form2 = nullptr;
  app::TForm3* form3 = nullptr;
};

}  // namespace fakes
