// The design's texts fit their places in the fonts the windows really get:
// the time text its column, the year its field, the captions their controls.

#include <string>
#include <utility>
#include <vector>

#include "gui/gui_fixture.h"
#include "platform/win32/utf.h"
#include "shell/control_ids.h"

namespace gui {
namespace {

using namespace platform::win32;
using namespace shell;

// What the list leaves around a cell's text: the margins on its left and
// right (LVSCW_AUTOSIZE sizes a column to the string width plus this).
constexpr int kListCellPadding = 12;

SIZE textExtent(HWND control, const std::wstring& text) {
  HDC dc = GetDC(control);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size;
}

int clientWidth(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  return r.right - r.left;
}

TEST_F(GuiTest, TheTimeTextFitsItsColumnInTheListsFont) {
  const int room = ListView_GetColumnWidth(list(), 2) - scaled(list(), kListCellPadding);
  std::vector<std::wstring> texts{L"2009/03/05 12:30:00", L"2000/08/28 08:08:08"};
  for (int row = 0; row < rowCount(); ++row) texts.push_back(cellText(row, 2));
  for (const std::wstring& text : texts) {
    const int width = ListView_GetStringWidth(list(), text.c_str());
    EXPECT_GT(width, 0);
    EXPECT_LE(width, room) << platform::narrow(text);
  }
  const int kindRoom = ListView_GetColumnWidth(list(), 1) - scaled(list(), kListCellPadding);
  EXPECT_LE(ListView_GetStringWidth(list(), L"<Folder>"), kindRoom);
}

// The longest preview line the dialog is made for (six-digit row counts),
// at the design DPI and at 144 after WM_DPICHANGED.
TEST_F(GuiTest, ThePreviewLineFitsInTheTimeDialog) {
  const std::wstring widest = wide("1 行目 2888/08/28 08:08:08 ～ 888888 行目 2888/08/28 08:08:08");
  for (const UINT dpi : {96u, 144u}) {
    if (dpi != 96) {
      RECT suggested{100, 120, 800, 600};
      SendMessageW(timeDialog(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    }
    HWND preview = item(timeDialog(), kForm2Preview);
    ASSERT_NE(preview, nullptr);
    EXPECT_LE(textExtent(preview, widest).cx, clientWidth(preview)) << dpi;
    EXPECT_GE(textExtent(preview, widest).cy, 1);
    RECT line{}, client{};
    GetWindowRect(preview, &line);
    MapWindowPoints(nullptr, timeDialog(), reinterpret_cast<POINT*>(&line), 2);
    GetClientRect(timeDialog(), &client);
    EXPECT_LE(line.right, client.right) << dpi;
    EXPECT_LE(textExtent(preview, widest).cy, line.bottom - line.top) << dpi;
    const RECT ok = [&] {
      RECT r{};
      GetWindowRect(item(timeDialog(), kForm2Button1), &r);
      MapWindowPoints(nullptr, timeDialog(), reinterpret_cast<POINT*>(&r), 2);
      return r;
    }();
    EXPECT_LE(line.bottom, ok.top) << "the line stands above the buttons";
  }
}

TEST_F(GuiTest, EveryFieldShowsItsDigitsWhole) {
  const std::pair<int, const wchar_t*> fields[] = {
      {kForm2Edit1, L"2009"},   {kForm2Edit1, L"2888"},   {kForm2Edit1 + 1, L"12"},
      {kForm2Edit1 + 2, L"28"}, {kForm2Edit1 + 3, L"23"}, {kForm2Edit1 + 4, L"58"},
      {kForm2Edit1 + 5, L"59"},
  };
  for (const auto& [id, digits] : fields) {
    HWND edit = item(timeDialog(), id);
    ASSERT_NE(edit, nullptr) << id;
    const LRESULT margins = SendMessageW(edit, EM_GETMARGINS, 0, 0);
    const int room = clientWidth(edit) - LOWORD(margins) - HIWORD(margins);
    EXPECT_LE(textExtent(edit, digits).cx, room) << id << " " << platform::narrow(digits);
  }
}

TEST_F(GuiTest, TheDialogsCaptionsAreNotClipped) {
  // A check box or radio button draws its box, then a gap, then the text.
  const int box = GetSystemMetrics(SM_CXMENUCHECK) + scaled(timeDialog(), 4);
  const struct {
    int id;
    int decoration;  // what the control draws besides its text, in pixels
  } controls[] = {
      {kForm2Button1, scaled(timeDialog(), 4)},
      {kForm2Button2, scaled(timeDialog(), 4)},
      {kForm2Button3, scaled(timeDialog(), 4)},
      {kForm2GroupBox1, scaled(timeDialog(), 16)},
      {kForm2GroupBox2, scaled(timeDialog(), 16)},
      {kForm2RadioButton1, box},
      {kForm2RadioButton2, box},
      {kForm2CheckBox1, box},
      {kForm2CheckBox2, box},
      {kForm2Separator1, 0},
      {kForm2Separator1 + 2, 0},
  };
  for (const auto& c : controls) {
    HWND control = item(timeDialog(), c.id);
    ASSERT_NE(control, nullptr) << c.id;
    const std::wstring text = windowText(control);
    EXPECT_LE(textExtent(control, text).cx + c.decoration, clientWidth(control))
        << platform::narrow(text);
  }
  HWND ok = item(messageWindow(), kForm3Button1);
  ASSERT_NE(ok, nullptr);
  EXPECT_LE(textExtent(ok, windowText(ok)).cx + scaled(ok, 4), clientWidth(ok));
}

}  // namespace
}  // namespace gui
