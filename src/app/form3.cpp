#include "app/form3.h"

namespace app {

void TForm3::FormCreate() {
  // Position 1 is Close; without it the window is left only through OK.
  controls_.window.deleteWindowMenuItem(1);
}

void TForm3::Button1Click() { dismissMessage(flow_); }

}  // namespace app
