// The design's texts fit their places in the fonts the windows really get:
// the time text its column, the year its field, the captions their controls,
// the copy's long messages the message window.

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/open_path.h"
#include "cardcopy/copy_messages.h"
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

RECT rectIn(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// What a static control draws its text in: its client rectangle, with the
// DrawText flags of its style.
RECT staticTextRect(HWND label) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(label, GWL_STYLE));
  UINT format = DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK;
  if ((style & SS_TYPEMASK) == SS_CENTER) format |= DT_CENTER;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & SS_EDITCONTROL) format |= DT_EDITCONTROL;
  const std::wstring text = windowText(label);
  HDC dc = GetDC(label);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  RECT r{0, 0, clientWidth(label), 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  return r;
}

std::string joined(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (const std::string_view part : parts) text += part;
  return text;
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
    HWND preview = item(timeDialog(), kTimePreview);
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
      GetWindowRect(item(timeDialog(), kTimeOk), &r);
      MapWindowPoints(nullptr, timeDialog(), reinterpret_cast<POINT*>(&r), 2);
      return r;
    }();
    EXPECT_LE(line.bottom, ok.top) << "the line stands above the buttons";
  }
}

TEST_F(GuiTest, EveryFieldShowsItsDigitsWhole) {
  const std::pair<int, const wchar_t*> fields[] = {
      {kFirstTimeField, L"2009"},   {kFirstTimeField, L"2888"},   {kFirstTimeField + 1, L"12"},
      {kFirstTimeField + 2, L"28"}, {kFirstTimeField + 3, L"23"}, {kFirstTimeField + 4, L"58"},
      {kFirstTimeField + 5, L"59"},
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
      {kTimeOk, scaled(timeDialog(), 4)},
      {kTimeCancel, scaled(timeDialog(), 4)},
      {kTimeNow, scaled(timeDialog(), 4)},
      {kDateGroup, scaled(timeDialog(), 16)},
      {kTimeGroup, scaled(timeDialog(), 16)},
      {kMinuteStep, box},
      {kTwoSecondStep, box},
      {kAlsoCreation, box},
      {kAlsoAccess, box},
      {kFirstFieldSeparator, 0},
      {kFirstFieldSeparator + 2, 0},
  };
  for (const auto& c : controls) {
    HWND control = item(timeDialog(), c.id);
    ASSERT_NE(control, nullptr) << c.id;
    const std::wstring text = windowText(control);
    EXPECT_LE(textExtent(control, text).cx + c.decoration, clientWidth(control))
        << platform::narrow(text);
  }
  HWND ok = item(messageWindow(), kMessageOk);
  ASSERT_NE(ok, nullptr);
  EXPECT_LE(textExtent(ok, windowText(ok)).cx + scaled(ok, 4), clientWidth(ok));
}

// The copy's messages carry paths and the OS's reason, the message about a
// path handed in from outside its path. Each shows whole: all
// its lines within the label, the label within the panel, the panel and OK
// within the window, the window on the screen, at the design DPI and at 144
// (a message already shown when the DPI changes included). A message of the
// design's own keeps the design's label and window, however long.
TEST_F(GuiTest, TheCopyMessagesShowWholeInTheMessageWindow) {
  namespace m = cardcopy::messages;
  // A relative path of 252 characters: as long as the check lets through
  // onto a card's root.
  std::string longest;
  for (int i = 0; i < 19; ++i) longest += "とても長いフォルダの名前\\";
  longest += "曲.mp3";
  const std::vector<std::string> texts{
      joined({m::kCannotCopy,
              "ライブ録音コレクション２０２４年版\\日本武道館公演・第二夜・アンコール特集\\"
              "いつまでも変わらぬ想いを君に届けたいと願う長い曲名のファイル.mp3\r\n"
              "ディスクがいっぱいです。 (112)"}),
      joined({m::kCannotCopy,
              "Music_Collection_2024\\Live_at_Budokan_Second_Night\\Encore_Medley_Final.mp3\r\n"
              "アクセスが拒否されました。 (5)"}),
      joined({m::kNotEmpty,
              "E:\\カーナビ用の音楽カード_ドライブで聴く曲\\"
              "２０２４年１２月のプレイリスト_その二_冬の夜"}),
      joined({m::kNoSpace, "必要 123456.8 MB / 空き 1024.0 MB"}),
      joined({m::kCompleted, " (88888 個)\r\n\r\n", m::kOrderNotKept}),
      joined({m::kStopped, " (88888 / 88888 個)"}),
      joined({m::kPathTooLong, longest}),
      app::cannotOpenFolderMessage(
          "C:\\Users\\利用者\\Music\\カーナビ用の音楽カード_ドライブで聴く曲\\無いフォルダ"),
  };
  HWND label = item(messageWindow(), kMessageLabel);
  HWND panel = item(messageWindow(), kMessagePanel);
  HWND ok = item(messageWindow(), kMessageOk);
  ASSERT_TRUE(label && panel && ok);
  app::Messages& messages = windows_->objects().messages;

  for (const int dpi : {96, 144}) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
      messages.wholeOverMain(texts[i]);
      pump();
      if (dpi != 96 && i == 0) {
        RECT suggested{100, 120, 800, 600};
        SendMessageW(messageWindow(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
      }
      const std::string what = std::to_string(dpi) + " DPI: " + texts[i];
      EXPECT_EQ(windowText(label), wide(texts[i])) << what;
      const RECT lines = staticTextRect(label);
      RECT room{};
      GetClientRect(label, &room);
      EXPECT_LE(lines.right - lines.left, room.right) << what;
      EXPECT_LE(lines.bottom - lines.top, room.bottom) << what;
      RECT client{};
      GetClientRect(messageWindow(), &client);
      const RECT panelRect = rectIn(messageWindow(), panel);
      const RECT okRect = rectIn(messageWindow(), ok);
      EXPECT_TRUE(inside(rectIn(messageWindow(), label), panelRect)) << what;
      EXPECT_TRUE(inside(panelRect, client)) << what;
      EXPECT_TRUE(inside(okRect, client)) << what;
      EXPECT_GE(okRect.top, panelRect.bottom) << what;
      MONITORINFO monitor{};
      monitor.cbSize = sizeof(monitor);
      GetMonitorInfoW(MonitorFromWindow(messageWindow(), MONITOR_DEFAULTTONEAREST), &monitor);
      // Wine follows the window manager's answer to each earlier move as it
      // comes, so under load the window passes through older places before
      // it rests where it was put.
      RECT outer{};
      const bool inWork = pumpUntil([&] {
        GetWindowRect(messageWindow(), &outer);
        return inside(outer, monitor.rcWork);
      });
      EXPECT_TRUE(inWork) << what << " at " << outer.left << "," << outer.top << " to "
                          << outer.right << "," << outer.bottom;
      click(ok);
    }
    // Shown as the design shows its own messages, even the longest text keeps
    // the design's label and window.
    messages.overMain(joined({m::kPathTooLong, longest}));
    pump();
    RECT room{}, client{};
    GetClientRect(label, &room);
    GetClientRect(messageWindow(), &client);
    const auto at = [dpi](int design) { return MulDiv(design, dpi, 96); };
    EXPECT_EQ(room.right, at(177)) << dpi;
    EXPECT_EQ(room.bottom, at(65)) << dpi;
    EXPECT_EQ(client.right, at(209)) << dpi;
    EXPECT_EQ(client.bottom, at(170)) << dpi;
    EXPECT_EQ(rectIn(messageWindow(), ok).top, at(136)) << dpi;
    click(ok);
  }
}

}  // namespace
}  // namespace gui
