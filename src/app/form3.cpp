#include "app/form3.h"

#include "app/form1.h"
#include "app/form2.h"
#include "app/window_flow.h"

namespace app {

TForm3::TForm3(Application& app, Form3Controls controls) : app_(app), controls_(controls) {}

void TForm3::FormCreate() {
  // Position 1 is Close; without it the window is left only through OK.
  controls_.window.deleteWindowMenuItem(1);
}

void TForm3::showMessage(std::string_view text) {
  controls_.label1.setText(text);
  controls_.window.show();
}

void TForm3::Button1Click() { dismissMessage(flowWindows(app_)); }

}  // namespace app
