#include "shell/time_dialog.h"

#include <algorithm>
#include <string_view>

#include "platform/win32/design_fonts.h"
#include "shell/control_ids.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

namespace {

constexpr wchar_t kClassName[] = L"TForm2";
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

constexpr DesignRect kGroupBox1{8, 8, 153, 65};
constexpr DesignRect kGroupBox2{168, 8, 137, 65};
constexpr DesignRect kPanel1{8, 80, 201, 33};
constexpr DesignRect kPanel2{8, 119, 297, 34};

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP;
constexpr DWORD kField = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP;
constexpr DWORD kSeparator = SS_LEFT | SS_NOPREFIX | WS_GROUP;
// A panel's raised inner and lowered outer bevel is the etched edge.
constexpr DWORD kPanel = SS_ETCHEDFRAME | WS_GROUP;

struct Field {
  DesignRect bounds;
  int maxLength;
};

}  // namespace

bool TimeDialog::create(HWND owner) {
  if (!createFrame(kClassName, kCaption, owner, kClient)) return false;

  // Creation order is tab order: the buttons, the date fields, the time
  // fields, "現在時刻", then the two panels' options.
  // The preview line needs this much room; the dialog grows to give it.
  const int previewWidth =
      std::max(kClient.width - 2 * kMargin, designTextWidth(kWidestPreview, kFormFontHeight) + 4);
  if (previewWidth + 2 * kMargin > kClient.width) {
    setClientSize(previewWidth + 2 * kMargin, kClient.height);
  }

  addControl(L"Button", "OK", kButton, 0, {120, kButtonTop, 89, 25}, kForm2Button1,
             kFormFontHeight);
  addControl(L"Button", "キャンセル", kButton, 0, {216, kButtonTop, 89, 25}, kForm2Button2,
             kFormFontHeight);

  const std::array<Field, 6> fields{{
      {inside(kGroupBox1, 16, 24, 41, 21), 4},
      {inside(kGroupBox1, 72, 24, 25, 21), 2},
      {inside(kGroupBox1, 112, 24, 25, 21), 2},
      {inside(kGroupBox2, 16, 24, 25, 21), 2},
      {inside(kGroupBox2, 56, 24, 25, 21), 2},
      {inside(kGroupBox2, 96, 24, 25, 21), 2},
  }};
  const std::array<DesignRect, 4> separators{{
      inside(kGroupBox1, 60, 24, 11, 21),
      inside(kGroupBox1, 100, 24, 11, 21),
      inside(kGroupBox2, 45, 23, 11, 21),
      inside(kGroupBox2, 85, 23, 11, 21),
  }};
  const std::array<std::string_view, 4> separatorTexts{"/", "/", "：", "："};

  const auto addField = [&](std::size_t i) {
    HWND edit = addControl(L"Edit", "", kField, WS_EX_CLIENTEDGE, fields[i].bounds,
                           kForm2Edit1 + static_cast<int>(i), kFieldFontHeight);
    SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(fields[i].maxLength), 0);
    // The fields are only just wide enough for their digits: the margins a
    // CJK font brings by default would hide the last of them.
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
    edits_[i].attach(edit);
  };
  const auto addSeparator = [&](std::size_t i) {
    addControl(L"Static", separatorTexts[i], kSeparator, 0, separators[i],
               kForm2Separator1 + static_cast<int>(i), kSeparatorFontHeight);
  };

  addControl(L"Button", "年/月/日", BS_GROUPBOX | WS_GROUP, 0, kGroupBox1, kForm2GroupBox1,
             kFormFontHeight);
  addField(0);
  addSeparator(0);
  addField(1);
  addSeparator(1);
  addField(2);

  addControl(L"Button", "時：分：秒", BS_GROUPBOX | WS_GROUP, 0, kGroupBox2, kForm2GroupBox2,
             kFormFontHeight);
  addField(3);
  addSeparator(2);
  addField(4);
  addSeparator(3);
  addField(5);

  addControl(L"Button", "現在時刻", kButton, 0, {216, 80, 89, 33}, kForm2Button3, kFormFontHeight);

  addControl(L"Static", "", kPanel, 0, kPanel1, kForm2Panel1, kFormFontHeight);
  radioButton1_.attach(
      addControl(L"Button", "分を繰り上げ", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0,
                 inside(kPanel1, 8, 8, 89, 17), kForm2RadioButton1, kFormFontHeight));
  radioButton2_.attach(addControl(L"Button", "秒を繰り上げ", BS_AUTORADIOBUTTON, 0,
                                  inside(kPanel1, 104, 8, 89, 17), kForm2RadioButton2,
                                  kFormFontHeight));

  addControl(L"Static", "", kPanel, 0, kPanel2, kForm2Panel2, kFormFontHeight);
  checkBox1_.attach(addControl(L"Button", "作成日時も変更", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP,
                               0, inside(kPanel2, 8, 9, 105, 17), kForm2CheckBox1,
                               kFormFontHeight));
  checkBox2_.attach(addControl(L"Button", "アクセス日時も変更",
                               BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 0,
                               inside(kPanel2, 128, 9, 129, 17), kForm2CheckBox2, kFormFontHeight));

  preview_.attach(addControl(L"Static", "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0,
                             {kMargin, kPreviewTop, previewWidth, kPreviewHeight}, kForm2Preview,
                             kFormFontHeight));

  // Checking one option of the pair clears the other, as clicking does.
  // The preview follows the step, however it is chosen.
  radioButton1_.setOnChecked([this] {
    radioButton2_.setChecked(false);
    syncRadioTabStops();
    if (form_) app::runHandler(app_, [this] { form_->FieldsChange(); });
  });
  radioButton2_.setOnChecked([this] {
    radioButton1_.setChecked(false);
    syncRadioTabStops();
    if (form_) app::runHandler(app_, [this] { form_->FieldsChange(); });
  });
  return true;
}

app::Form2Controls TimeDialog::controls() {
  return app::Form2Controls{
      window(),      {&edits_[0], &edits_[1], &edits_[2], &edits_[3], &edits_[4], &edits_[5]},
      radioButton1_, radioButton2_,
      checkBox1_,    checkBox2_,
      paintPump_,    &preview_};
}

void TimeDialog::syncRadioTabStops() {
  const bool second = radioButton2_.isChecked();
  const auto setTabStop = [](HWND button, bool on) {
    auto style = GetWindowLongPtrW(button, GWL_STYLE);
    style = on ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrW(button, GWL_STYLE, style);
  };
  setTabStop(radioButton1_.hwnd(), !second);
  setTabStop(radioButton2_.hwnd(), second);
}

void TimeDialog::command(int id, int notification) {
  const auto run = [this](void (app::TForm2::*handler)()) {
    if (form_) app::runHandler(app_, [this, handler] { (form_->*handler)(); });
  };
  if (notification == EN_CHANGE && id >= kForm2Edit1 && id < kForm2Edit1 + 6) {
    run(&app::TForm2::FieldsChange);
    return;
  }
  if (notification != BN_CLICKED) return;
  switch (id) {
    case kForm2Button1:
      run(&app::TForm2::Button1Click);
      break;
    case kForm2Button2:
      run(&app::TForm2::Button2Click);
      break;
    case kForm2Button3:
      run(&app::TForm2::Button3Click);
      break;
    case kForm2RadioButton1:
    case kForm2RadioButton2:
      syncRadioTabStops();
      run(&app::TForm2::FieldsChange);
      break;
    default:
      break;
  }
}

}  // namespace shell
