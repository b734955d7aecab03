#include "shell/message_window.h"

#include "platform/win32/design_fonts.h"
#include "shell/control_ids.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

namespace {

constexpr wchar_t kClassName[] = L"TForm3";
constexpr DesignRect kClient{286, 216, 209, 170};
constexpr DesignRect kPanel1{8, 8, 193, 113};

}  // namespace

bool MessageWindow::create(HWND owner) {
  if (!createFrame(kClassName, "", owner, kClient)) return false;
  // OK comes first in tab order and takes the focus whenever the window is
  // shown, so Enter and Space press it.
  HWND ok = addControl(L"Button", "OK", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, {64, 136, 81, 25},
                       kForm3Button1, kFormFontHeight);
  window().setFocusOnShow(ok);
  addControl(L"Static", "", SS_ETCHEDFRAME | WS_GROUP, 0, kPanel1, kForm3Panel1, kFormFontHeight);
  // Centred lines, wrapped at words, cut off at the lower edge; a name with
  // "&" in it shows the "&".
  label1_.attach(addControl(L"Static", "", SS_CENTER | SS_NOPREFIX | WS_GROUP, 0,
                            {kPanel1.left + 8, kPanel1.top + 24, 177, 65}, kForm3Label1,
                            kFormFontHeight));
  return true;
}

void MessageWindow::command(int id, int notification) {
  if (notification != BN_CLICKED || id != kForm3Button1 || !form_) return;
  app::runHandler(app_, [this] { form_->Button1Click(); });
}

}  // namespace shell
