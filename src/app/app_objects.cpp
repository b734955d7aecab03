#include "app/app_objects.h"

namespace app {

AppObjects::AppObjects(Application& application, WindowControls controls,
                       platform::FileOps& fileOps, CopyServices copyServices, TForm2::Clock clock)
    : app(application),
      flow{controls.form1.window, controls.form2.window, controls.form3.window},
      folder(controls.form1.tree, controls.form1.list),
      messages(flow, controls.form3.label1),
      undo(folder, flow, messages, controls.undoItem, controls.form2.paintPump, fileOps),
      copy(folder, flow, messages, controls.copyItem, controls.form2.paintPump,
           copyServices.copyOps, copyServices.picker, copyServices.stop),
      // Finishing an earlier run brings entries back: the folder is listed again.
      reorder(folder, flow, messages, controls.reorderItem, controls.form2.paintPump,
              copyServices.copyOps, copyServices.confirmation, copyServices.stop,
              [this] { form1.ShellTreeView1Change(); }),
      windowSettings(application.textFiles, application.screen, controls.form1.window,
                     controls.form1.list, controls.form2.window, controls.form3.window),
      form2(controls.form2, folder, flow, messages, undo, fileOps, std::move(clock)),
      form3(controls.form3, flow),
      form1(controls.form1,
            Form1Links{folder, flow, messages, undo, copy, reorder, form2, windowSettings,
                       fileOps}) {
  windowSettings.linkOptions({[this] { return settings::SettingsOptions{form1.numericNames()}; },
                              [this](const settings::SettingsOptions& options) {
                                form1.setNumericNames(options.numericNames);
                              }});
  // The entries inside a copied folder row stand in the order a click on
  // "名前" would give them.
  copy.setNameOrder(
      [this](std::string_view a, std::string_view b) { return form1.compareNames(a, b); });
}

void AppObjects::createForm1() {
  runHandler(app, [this] { form1.FormCreate(); });
}

void AppObjects::createForm2() {
  runHandler(app, [this] { form2.FormCreate(); });
}

void AppObjects::createForm3() {
  runHandler(app, [this] { form3.FormCreate(); });
  undo.showAvailability();
  copy.showAvailability();
  reorder.showAvailability();
  windowSettings.windowsCreated();
}

}  // namespace app
