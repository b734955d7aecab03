#include "shell/message_window.h"

#include <algorithm>

#include "platform/win32/design_fonts.h"
#include "platform/win32/dpi.h"
#include "platform/win32/handles.h"
#include "platform/win32/utf.h"
#include "shell/control_ids.h"
#include "shell/window_classes.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

namespace {

constexpr DesignRect kClient{286, 216, 209, 170};
constexpr DesignRect kPanelRect{8, 8, 193, 113};
constexpr DesignRect kLabelRect{kPanelRect.left + 8, kPanelRect.top + 24, 177, 65};
constexpr DesignRect kOkRect{64, 136, 81, 25};
// A whole text's lines are made no wider than this, as a message box's are
// kept to a part of the screen; a longer line (a path) wraps.
constexpr int kWidestLabel = 400;

// Design pixels that hold the device pixels at dpi.
int designCeil(int devicePixels, UINT dpi) {
  return (devicePixels * static_cast<int>(kDesignDpi) + static_cast<int>(dpi) - 1) /
         static_cast<int>(dpi);
}

// The static control's own drawing flags for the label's style.
UINT drawFormat(HWND label) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(label, GWL_STYLE));
  UINT format = DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & SS_EDITCONTROL) format |= DT_EDITCONTROL;
  return format;
}

}  // namespace

void MessageWindow::Label::setText(std::string_view text) {
  text_.setText(text);
  window_.fitText(false);
}

void MessageWindow::Label::setWholeText(std::string_view text) {
  text_.setText(text);
  window_.fitText(true);
}

bool MessageWindow::create(HWND owner) {
  if (!createFrame(kMessageWindowClass, "", owner, kClient)) return false;
  // OK comes first in tab order and takes the focus whenever the window is
  // shown, so Enter and Space press it.
  okButton_ = addControl(L"Button", "OK", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, kOkRect,
                         kMessageOk, kFormFontHeight);
  window().setFocusOnShow(okButton_);
  panel_ = addControl(L"Static", "", SS_ETCHEDFRAME | WS_GROUP, 0, kPanelRect, kMessagePanel,
                      kFormFontHeight);
  // Centred lines, wrapped at words, cut off at the lower edge; a name with
  // "&" in it shows the "&".
  label_.attach(addControl(L"Static", "", SS_CENTER | SS_NOPREFIX | WS_GROUP, 0, kLabelRect,
                           kMessageLabel, kFormFontHeight));
  labelSize_ = {kLabelRect.width, kLabelRect.height};
  return true;
}

void MessageWindow::fitText(bool whole) {
  whole_ = whole;
  HWND label = label_.hwnd();
  // A whole text's word longer than a line (a path) is broken where the line
  // ends, as an edit control breaks it, instead of running past the label.
  const auto style = GetWindowLongPtrW(label, GWL_STYLE);
  SetWindowLongPtrW(label, GWL_STYLE, whole ? style | SS_EDITCONTROL : style & ~SS_EDITCONTROL);
  layOut(whole ? wholeLabelSize() : LabelSize{kLabelRect.width, kLabelRect.height});
  if (whole) keepInWorkArea();
  InvalidateRect(label, nullptr, TRUE);
}

MessageWindow::LabelSize MessageWindow::wholeLabelSize() {
  const LabelSize designed{kLabelRect.width, kLabelRect.height};
  HWND label = label_.hwnd();
  const std::wstring text = platform::widen(label_.text());
  WindowDc dc(label);
  if (!dc) return designed;
  const SelectedObject selected(dc.get(),
                                reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  const UINT format = drawFormat(label) | DT_CALCRECT;
  const auto measure = [&](int width, UINT flags) {
    RECT r{0, 0, width, 0};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, flags);
    return r;
  };
  const UINT dpi = this->dpi();
  const RECT inDesign = measure(scaleToDpi(designed.width, dpi), format);
  LabelSize size = designed;
  if (inDesign.bottom - inDesign.top > scaleToDpi(designed.height, dpi) ||
      inDesign.right - inDesign.left > scaleToDpi(designed.width, dpi)) {
    // What the window adds around the label, and the room its monitor has.
    RECT outer{}, client{};
    GetWindowRect(hwnd(), &outer);
    GetClientRect(hwnd(), &client);
    const int frameWidth = (outer.right - outer.left) - client.right;
    const int frameHeight = (outer.bottom - outer.top) - client.bottom;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int roomWidth =
        designCeil(work.right - work.left - frameWidth, dpi) - 1 - (kClient.width - designed.width);
    const int roomHeight = designCeil(work.bottom - work.top - frameHeight, dpi) - 1 -
                           (kClient.height - designed.height);
    const int widest = std::max(designed.width, std::min(kWidestLabel, roomWidth));
    // As wide as the longest line, unwrapped, within those bounds; then as
    // high as the lines at that width.
    const RECT natural = measure(0, (format & ~(DT_WORDBREAK | DT_EDITCONTROL)));
    size.width = std::clamp(designCeil(natural.right - natural.left, dpi), designed.width, widest);
    const RECT wrapped = measure(scaleToDpi(size.width, dpi), format);
    size.height = std::clamp(designCeil(wrapped.bottom - wrapped.top, dpi), designed.height,
                             std::max(designed.height, roomHeight));
  }
  return size;
}

void MessageWindow::layOut(LabelSize label) {
  if (label == labelSize_) return;
  labelSize_ = label;
  // The panel and the window grow with the label; OK stays centred below it.
  const int wider = label.width - kLabelRect.width;
  const int higher = label.height - kLabelRect.height;
  setClientSize(kClient.width + wider, kClient.height + higher);
  placeControl(panel_, {kPanelRect.left, kPanelRect.top, kPanelRect.width + wider,
                        kPanelRect.height + higher});
  placeControl(label_.hwnd(), {kLabelRect.left, kLabelRect.top, label.width, label.height});
  placeControl(okButton_,
               {kOkRect.left + wider / 2, kOkRect.top + higher, kOkRect.width, kOkRect.height});
}

LRESULT MessageWindow::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = DesignedDialog::handleMessage(hwnd, message, wParam, lParam);
  // The font's new size may need other lines.
  if (message == WM_DPICHANGED && whole_) fitText(true);
  return result;
}

void MessageWindow::command(int id, int notification) {
  if (notification != BN_CLICKED || id != kMessageOk || !messages_) return;
  app::runHandler(app_, [this] { messages_->dismiss(); });
}

}  // namespace shell
