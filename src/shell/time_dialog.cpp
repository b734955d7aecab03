#include "shell/time_dialog.h"

#include <algorithm>
#include <string_view>

#include "platform/win32/design_fonts.h"
#include "shell/control_ids.h"
#include "shell/window_classes.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

namespace {

constexpr std::string_view kCaption = "TIME変更";
// The design's 313 x 192, grown by the preview line between the options and
// the buttons (which move down by as much) and, where its longest text needs
// it, in width.
constexpr int kPreviewGrowth = 20;
constexpr DesignRect kClient{239, 231, 313, 192 + kPreviewGrowth};
constexpr int kButtonTop = 160 + kPreviewGrowth;
constexpr int kPreviewTop = 157;
constexpr int kPreviewHeight = 16;
constexpr int kMargin = 8;
// The longest preview line the dialog is made wide enough for: counts of up
// to six digits. Longer ones end in an ellipsis.
constexpr std::string_view kWidestPreview =
    "1 行目 0000/00/00 00:00:00 ～ 000000 行目 0000/00/00 00:00:00";

// Child positions are given within their group box or panel; the controls
// themselves are all children of the dialog, so they are offset here.
constexpr DesignRect inside(DesignRect parent, int left, int top, int width, int height) {
  return DesignRect{parent.left + left, parent.top + top, width, height};
}

constexpr DesignRect kDateBox{8, 8, 153, 65};
constexpr DesignRect kTimeBox{168, 8, 137, 65};
constexpr DesignRect kStepBox{8, 80, 201, 33};
constexpr DesignRect kExtraTimesBox{8, 119, 297, 34};

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP;
constexpr DWORD kField = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP;
constexpr DWORD kSeparator = SS_LEFT | SS_NOPREFIX | WS_GROUP;
// A panel's raised inner and lowered outer bevel is the etched edge.
constexpr DWORD kPanel = SS_ETCHEDFRAME | WS_GROUP;

struct Field {
  DesignRect bounds;
  int maxLength;
};

constexpr std::array<Field, 6> kFields{{
    {inside(kDateBox, 16, 24, 41, 21), 4},
    {inside(kDateBox, 72, 24, 25, 21), 2},
    {inside(kDateBox, 112, 24, 25, 21), 2},
    {inside(kTimeBox, 16, 24, 25, 21), 2},
    {inside(kTimeBox, 56, 24, 25, 21), 2},
    {inside(kTimeBox, 96, 24, 25, 21), 2},
}};
constexpr std::array<DesignRect, 4> kSeparators{{
    inside(kDateBox, 60, 24, 11, 21),
    inside(kDateBox, 100, 24, 11, 21),
    inside(kTimeBox, 45, 23, 11, 21),
    inside(kTimeBox, 85, 23, 11, 21),
}};
constexpr std::array<std::string_view, 4> kSeparatorTexts{"/", "/", "：", "："};

}  // namespace

bool TimeDialog::create(HWND owner) {
  if (!createFrame(kTimeDialogClass, kCaption, owner, kClient)) return false;

  // The preview line needs this much room; the dialog grows to give it.
  const int previewWidth =
      std::max(kClient.width - 2 * kMargin, designTextWidth(kWidestPreview, kFormFontHeight) + 4);
  if (previewWidth + 2 * kMargin > kClient.width) {
    setClientSize(previewWidth + 2 * kMargin, kClient.height);
  }

  // Creation order is tab order: the buttons, the date fields, the time
  // fields, "現在時刻", then the two panels' options.
  addControl(L"Button", "OK", kButton, 0, {120, kButtonTop, 89, 25}, kTimeOk, kFormFontHeight);
  addControl(L"Button", "キャンセル", kButton, 0, {216, kButtonTop, 89, 25}, kTimeCancel,
             kFormFontHeight);
  addFields();
  addControl(L"Button", "現在時刻", kButton, 0, {216, 80, 89, 33}, kTimeNow, kFormFontHeight);
  addOptions();
  preview_.attach(addControl(L"Static", "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0,
                             {kMargin, kPreviewTop, previewWidth, kPreviewHeight}, kTimePreview,
                             kFormFontHeight));

  // Checking one option of the pair clears the other, as clicking does.
  // The preview follows the step, however it is chosen.
  minuteStep_.setOnChecked([this] {
    twoSecondStep_.setChecked(false);
    syncRadioTabStops();
    run(&app::TimeEntry::fieldsChanged);
  });
  twoSecondStep_.setOnChecked([this] {
    minuteStep_.setChecked(false);
    syncRadioTabStops();
    run(&app::TimeEntry::fieldsChanged);
  });
  return true;
}

void TimeDialog::addFields() {
  addControl(L"Button", "年/月/日", BS_GROUPBOX | WS_GROUP, 0, kDateBox, kDateGroup,
             kFormFontHeight);
  addField(0);
  addSeparator(0);
  addField(1);
  addSeparator(1);
  addField(2);

  addControl(L"Button", "時：分：秒", BS_GROUPBOX | WS_GROUP, 0, kTimeBox, kTimeGroup,
             kFormFontHeight);
  addField(3);
  addSeparator(2);
  addField(4);
  addSeparator(3);
  addField(5);
}

void TimeDialog::addField(std::size_t i) {
  HWND edit = addControl(L"Edit", "", kField, WS_EX_CLIENTEDGE, kFields[i].bounds,
                         kFirstTimeField + static_cast<int>(i), kFieldFontHeight);
  SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(kFields[i].maxLength), 0);
  // The fields are only just wide enough for their digits: the margins a
  // CJK font brings by default would hide the last of them.
  SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
  fields_[i].attach(edit);
}

void TimeDialog::addSeparator(std::size_t i) {
  addControl(L"Static", kSeparatorTexts[i], kSeparator, 0, kSeparators[i],
             kFirstFieldSeparator + static_cast<int>(i), kSeparatorFontHeight);
}

void TimeDialog::addOptions() {
  addControl(L"Static", "", kPanel, 0, kStepBox, kStepPanel, kFormFontHeight);
  minuteStep_.attach(addControl(L"Button", "分を繰り上げ",
                                BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0,
                                inside(kStepBox, 8, 8, 89, 17), kMinuteStep, kFormFontHeight));
  twoSecondStep_.attach(addControl(L"Button", "秒を繰り上げ", BS_AUTORADIOBUTTON, 0,
                                   inside(kStepBox, 104, 8, 89, 17), kTwoSecondStep,
                                   kFormFontHeight));

  constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP;
  addControl(L"Static", "", kPanel, 0, kExtraTimesBox, kExtraTimesPanel, kFormFontHeight);
  alsoCreation_.attach(addControl(L"Button", "作成日時も変更", kCheck, 0,
                                  inside(kExtraTimesBox, 8, 9, 105, 17), kAlsoCreation,
                                  kFormFontHeight));
  alsoAccess_.attach(addControl(L"Button", "アクセス日時も変更", kCheck, 0,
                                inside(kExtraTimesBox, 128, 9, 129, 17), kAlsoAccess,
                                kFormFontHeight));
}

app::TimeEntryControls TimeDialog::controls() {
  return app::TimeEntryControls{
      window(),      {&fields_[0], &fields_[1], &fields_[2], &fields_[3], &fields_[4], &fields_[5]},
      minuteStep_,   twoSecondStep_,
      alsoCreation_, alsoAccess_,
      paintPump_,    &preview_};
}

void TimeDialog::run(void (app::TimeEntry::*handler)()) {
  if (entry_) app::runHandler(app_, [this, handler] { (entry_->*handler)(); });
}

void TimeDialog::syncRadioTabStops() {
  const bool second = twoSecondStep_.isChecked();
  const auto setTabStop = [](HWND button, bool on) {
    auto style = GetWindowLongPtrW(button, GWL_STYLE);
    style = on ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrW(button, GWL_STYLE, style);
  };
  setTabStop(minuteStep_.hwnd(), !second);
  setTabStop(twoSecondStep_.hwnd(), second);
}

void TimeDialog::command(int id, int notification) {
  if (notification == EN_CHANGE && id >= kFirstTimeField && id < kFirstTimeField + 6) {
    run(&app::TimeEntry::fieldsChanged);
    return;
  }
  if (notification != BN_CLICKED) return;
  switch (id) {
    case kTimeOk:
      run(&app::TimeEntry::confirm);
      break;
    case kTimeCancel:
      run(&app::TimeEntry::cancel);
      break;
    case kTimeNow:
      run(&app::TimeEntry::fillNow);
      break;
    case kMinuteStep:
    case kTwoSecondStep:
      syncRadioTabStops();
      run(&app::TimeEntry::fieldsChanged);
      break;
    default:
      break;
  }
}

}  // namespace shell
