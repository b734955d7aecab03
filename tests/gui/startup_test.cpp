// Start-up: the order the windows are created in, where they stand, their
// captions, menus, controls and fonts.

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "app/app_objects.h"
#include "gui/gui_fixture.h"
#include "shell/control_ids.h"
#include "shell/window_classes.h"

namespace gui {
namespace {

using namespace platform::win32;
using namespace shell;

// What a CBT hook sees of the program's top-level windows as they are created.
struct Creation {
  std::wstring className;
  int rowsListedBefore;  // rows in the entry list when the window was created
};

struct CreationLog {
  std::vector<Creation> created;
  HWND mainWindow = nullptr;
};
CreationLog* activeLog = nullptr;  // the hook procedure has no context argument

LRESULT CALLBACK recordCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && activeLog) {
    const auto hwnd = reinterpret_cast<HWND>(wParam);
    const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    if (!(create->style & WS_CHILD)) {
      wchar_t name[64] = {};
      GetClassNameW(hwnd, name, 64);
      if (std::wstring(name) == shell::kMainWindowClass) activeLog->mainWindow = hwnd;
      HWND list = activeLog->mainWindow ? GetDlgItem(activeLog->mainWindow, kEntryList) : nullptr;
      const int rows = list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : -1;
      activeLog->created.push_back({name, rows});
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

using StartupOrderTest = GuiFixture;

TEST_F(StartupOrderTest, MainWindowThenTimeDialogThenMessageWindowWithTheListingBeforeTheDialogs) {
  CreationLog log;
  activeLog = &log;
  HHOOK hook = SetWindowsHookExW(WH_CBT, recordCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  start();
  UnhookWindowsHookEx(hook);
  activeLog = nullptr;

  std::vector<std::wstring> ours;
  for (const Creation& c : log.created) {
    for (const wchar_t* window :
         {shell::kMainWindowClass, shell::kTimeDialogClass, shell::kMessageWindowClass}) {
      if (c.className == window) ours.push_back(c.className);
    }
  }
  EXPECT_EQ(ours, (std::vector<std::wstring>{shell::kMainWindowClass, shell::kTimeDialogClass,
                                             shell::kMessageWindowClass}));
  // The tree's own selection of its top node listed the folder while the
  // main window was being created, before the time dialog existed.
  for (const Creation& c : log.created) {
    if (c.className == shell::kTimeDialogClass) {
      EXPECT_EQ(c.rowsListedBefore, 5);
    }
  }
}

// The time dialog's design width, or more where its preview line needs it:
// the line's right edge and the margin.
int timeDialogWidthOf(HWND dialog) {
  RECT r{};
  HWND preview = GetDlgItem(dialog, kTimePreview);
  GetWindowRect(preview, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  const int needed = MulDiv(r.right, 96, static_cast<int>(GetDpiForWindow(dialog))) + 8;
  return std::max(313, needed);
}

TEST_F(GuiTest, WindowsStandAtTheirDesignPlacesWithTheirDesignClientSizes) {
  const auto timeDialogWidth = [this] { return timeDialogWidthOf(timeDialog()); };
  struct Expected {
    const char* name;
    HWND hwnd;
    int left, top, clientWidth, clientHeight;
  };
  const std::array<Expected, 3> windows{{
      {"main window", mainWindow(), 0, 0, 792, 553},
      // The design's 313 x 192 with the preview line: 20 higher, and as wide
      // as that line needs (checked in the layout test).
      {"time dialog", timeDialog(), 239, 231, timeDialogWidth(), 192 + 20},
      {"message window", messageWindow(), 286, 216, 209, 170},
  }};
  for (const Expected& w : windows) {
    RECT outer{}, client{};
    GetWindowRect(w.hwnd, &outer);
    GetClientRect(w.hwnd, &client);
    EXPECT_EQ(outer.left, scaled(w.hwnd, w.left)) << w.name;
    EXPECT_EQ(outer.top, scaled(w.hwnd, w.top)) << w.name;
    EXPECT_EQ(client.right, scaled(w.hwnd, w.clientWidth)) << w.name;
    EXPECT_EQ(client.bottom, scaled(w.hwnd, w.clientHeight)) << w.name;
  }
}

TEST_F(GuiTest, AtStartTheMainWindowIsShownAndTheDialogsHidden) {
  EXPECT_EQ(flags(), (WindowFlags{true, true, false, true, false, true}));
}

RECT childRect(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void expectRect(HWND parent, HWND child, int left, int top, int width, int height,
                const std::string& what) {
  ASSERT_NE(child, nullptr) << what;
  const RECT r = childRect(parent, child);
  EXPECT_EQ(r.left, scaled(parent, left)) << what;
  EXPECT_EQ(r.top, scaled(parent, top)) << what;
  EXPECT_EQ(r.right - r.left, scaled(parent, width)) << what;
  EXPECT_EQ(r.bottom - r.top, scaled(parent, height)) << what;
}

TEST_F(GuiTest, MainWindowLayoutTreeSplitterListAndStatusBar) {
  expectRect(mainWindow(), tree(), 0, 0, 201, 553 - 19, "folder tree");
  expectRect(mainWindow(), item(mainWindow(), kSplitter), 201, 0, 4, 553 - 19, "Splitter1");
  // The list fills the rest: 205 to 792 at 96 DPI, whatever the rounding.
  RECT client{};
  GetClientRect(mainWindow(), &client);
  const RECT splitter = childRect(mainWindow(), item(mainWindow(), kSplitter));
  const RECT listRect = childRect(mainWindow(), list());
  EXPECT_EQ(listRect.left, splitter.right);
  EXPECT_EQ(listRect.top, 0);
  EXPECT_EQ(listRect.right, client.right);
  EXPECT_EQ(listRect.bottom, splitter.bottom);
  expectRect(mainWindow(), statusBar(), 0, 553 - 19, 792, 19, "status bar");

  std::array<int, 2> edges{};
  ASSERT_EQ(SendMessageW(statusBar(), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges.data())), 2);
  EXPECT_EQ(edges[0], scaled(mainWindow(), 170));
  EXPECT_EQ(edges[1], -1);  // to the right end of the bar

  EXPECT_EQ(SendMessageW(tree(), TVM_GETINDENT, 0, 0), scaled(mainWindow(), 19));
  const auto treeStyle = GetWindowLongPtrW(tree(), GWL_STYLE);
  EXPECT_FALSE(treeStyle & TVS_LINESATROOT);
  EXPECT_FALSE(treeStyle & TVS_EDITLABELS);

  const auto listStyle = GetWindowLongPtrW(list(), GWL_STYLE);
  EXPECT_EQ(listStyle & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_FALSE(listStyle & LVS_SINGLESEL);
  EXPECT_FALSE(listStyle & LVS_EDITLABELS);
}

TEST_F(GuiTest, EntryListColumns) {
  struct Column {
    const char* header;
    int width;
  };
  const std::array<Column, 3> columns{{{"名前", 350}, {"種類", 70}, {"更新日時", 120}}};
  HWND header = reinterpret_cast<HWND>(SendMessageW(list(), LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
  for (int i = 0; i < 3; ++i) {
    wchar_t text[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = text;
    column.cchTextMax = 64;
    ASSERT_TRUE(SendMessageW(list(), LVM_GETCOLUMNW, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(std::wstring(text), wide(columns[static_cast<std::size_t>(i)].header));
    EXPECT_EQ(column.cx, scaled(mainWindow(), columns[static_cast<std::size_t>(i)].width));
  }
}

TEST_F(GuiTest, CaptionsAndMenu) {
  EXPECT_EQ(windowText(mainWindow()), L"Chronoseq");
  EXPECT_EQ(windowText(timeDialog()), wide("TIME変更"));
  EXPECT_EQ(windowText(messageWindow()), L"");

  struct Item {
    int position;
    int id;  // 0 for a sub-menu
    const char* caption;
  };
  HMENU bar = GetMenu(mainWindow());
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 3);
  const auto caption = [](HMENU menu, int position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return std::wstring(text);
  };
  EXPECT_EQ(caption(bar, 0), wide("ファイル（&F）"));
  EXPECT_EQ(caption(bar, 1), wide("表示(&V)"));
  EXPECT_EQ(caption(bar, 2), wide("ヘルプ(&H)"));

  const std::array<std::vector<Item>, 3> menus{{
      {{0, app::commandId(app::Command::changeTimes), "TIME変更（&T）"},
       {1, app::commandId(app::Command::undo), "元に戻す(&U)"},
       {2, app::commandId(app::Command::copyInOrder), "この順番でコピー(&C)..."},
       {3, app::commandId(app::Command::reorderOnCard), "カード上でこの順番にする(&R)..."},
       {4, app::commandId(app::Command::exit), "終了(&X)"}},
      {{0, app::commandId(app::Command::numericOrder), "数字を数値として並べる(&N)"},
       {1, app::commandId(app::Command::captureTimes), "撮影日時を表示(&D)"}},
      {{0, app::commandId(app::Command::showVersion), "バージョン情報(&A)"}},
  }};
  for (std::size_t m = 0; m < menus.size(); ++m) {
    HMENU popup = GetSubMenu(bar, static_cast<int>(m));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(GetMenuItemCount(popup), static_cast<int>(menus[m].size()));
    for (const Item& i : menus[m]) {
      EXPECT_EQ(caption(popup, i.position), wide(i.caption));
      EXPECT_EQ(static_cast<int>(GetMenuItemID(popup, i.position)), i.id);
    }
  }
  // Nothing has been stamped yet, so there is nothing to take back.
  EXPECT_EQ(GetMenuState(bar, app::commandId(app::Command::undo), MF_BYCOMMAND) & MF_GRAYED,
            static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(GetMenuState(bar, app::commandId(app::Command::changeTimes), MF_BYCOMMAND) & MF_GRAYED,
            0u);
  // Off at first: the design's name order.
  EXPECT_EQ(
      GetMenuState(bar, app::commandId(app::Command::numericOrder), MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(GuiTest, DialogWindowMenusHoldOnlyMoveAfterFormCreate) {
  for (HWND dialog : {timeDialog(), messageWindow()}) {
    HMENU menu = GetSystemMenu(dialog, FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 1);
    EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(SC_MOVE));
    EXPECT_EQ(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    const auto style = GetWindowLongPtrW(dialog, GWL_STYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    // Owned by the main window, so it stays above it.
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), mainWindow());
  }
  // The main window keeps its Close.
  EXPECT_NE(GetMenuState(GetSystemMenu(mainWindow(), FALSE), SC_CLOSE, MF_BYCOMMAND),
            static_cast<UINT>(-1));
}

struct DesignedControl {
  int id;
  const char* className;
  const char* caption;           // nullptr: not checked (the fields)
  int left, top, width, height;  // in the dialog, parent offsets added
};

void expectControls(HWND dialog, const std::vector<DesignedControl>& controls) {
  for (const DesignedControl& c : controls) {
    const std::string what = "control " + std::to_string(c.id);
    HWND control = GetDlgItem(dialog, c.id);
    ASSERT_NE(control, nullptr) << what;
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    EXPECT_EQ(_wcsicmp(className, wide(c.className).c_str()), 0) << what;
    if (c.caption) {
      EXPECT_EQ(windowText(control), wide(c.caption)) << what;
    }
    expectRect(dialog, control, c.left, c.top, c.width, c.height, what);
  }
}

TEST_F(GuiTest, TimeDialogControlsStandWhereTheDesignPutsThem) {
  // The date box at 8,8, the time box at 168,8, the step panel at 8,80 and the
  // extra-times panel at 8,119:
  // their controls' places are given within them.
  expectControls(timeDialog(),
                 {
                     {kTimeOk, "Button", "OK", 120, 160 + 20, 89, 25},
                     {kTimeCancel, "Button", "キャンセル", 216, 160 + 20, 89, 25},
                     {kDateGroup, "Button", "年/月/日", 8, 8, 153, 65},
                     {kFirstTimeField, "Edit", nullptr, 8 + 16, 8 + 24, 41, 21},
                     {kFirstFieldSeparator, "Static", "/", 8 + 60, 8 + 24, 11, 21},
                     {kFirstTimeField + 1, "Edit", nullptr, 8 + 72, 8 + 24, 25, 21},
                     {kFirstFieldSeparator + 1, "Static", "/", 8 + 100, 8 + 24, 11, 21},
                     {kFirstTimeField + 2, "Edit", nullptr, 8 + 112, 8 + 24, 25, 21},
                     {kTimeGroup, "Button", "時：分：秒", 168, 8, 137, 65},
                     {kFirstTimeField + 3, "Edit", nullptr, 168 + 16, 8 + 24, 25, 21},
                     {kFirstFieldSeparator + 2, "Static", "：", 168 + 45, 8 + 23, 11, 21},
                     {kFirstTimeField + 4, "Edit", nullptr, 168 + 56, 8 + 24, 25, 21},
                     {kFirstFieldSeparator + 3, "Static", "：", 168 + 85, 8 + 23, 11, 21},
                     {kFirstTimeField + 5, "Edit", nullptr, 168 + 96, 8 + 24, 25, 21},
                     {kTimeNow, "Button", "現在時刻", 216, 80, 89, 33},
                     {kStepPanel, "Static", "", 8, 80, 201, 33},
                     {kMinuteStep, "Button", "分を繰り上げ", 8 + 8, 80 + 8, 89, 17},
                     {kTwoSecondStep, "Button", "秒を繰り上げ", 8 + 104, 80 + 8, 89, 17},
                     {kExtraTimesPanel, "Static", "", 8, 119, 297, 34},
                     {kAlsoCreation, "Button", "作成日時も変更", 8 + 8, 119 + 9, 105, 17},
                     {kAlsoAccess, "Button", "アクセス日時も変更", 8 + 128, 119 + 9, 129, 17},
                     // The preview line, between the options and the buttons.
                     {kTimePreview, "Static", "", 8, 157, timeDialogWidthOf(timeDialog()) - 16, 16},
                 });
}

TEST_F(GuiTest, TimeDialogFieldsAndOptions) {
  const std::array<int, 6> maxLengths{4, 2, 2, 2, 2, 2};
  for (int i = 0; i < 6; ++i) {
    HWND edit = item(timeDialog(), kFirstTimeField + i);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), maxLengths[static_cast<std::size_t>(i)])
        << "Edit" << i + 1;
  }
  // The dialog's creation turns the one-minute step on; the extra-time options start off.
  EXPECT_EQ(SendMessageW(item(timeDialog(), kMinuteStep), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(item(timeDialog(), kTwoSecondStep), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(item(timeDialog(), kAlsoCreation), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(item(timeDialog(), kAlsoAccess), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  // Neither button is the dialog's default.
  for (int id : {kTimeOk, kTimeCancel, kTimeNow}) {
    EXPECT_EQ(GetWindowLongPtrW(item(timeDialog(), id), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  }
}

TEST_F(GuiTest, TimeDialogTabOrder) {
  const std::vector<int> order{kTimeOk,
                               kTimeCancel,
                               kFirstTimeField,
                               kFirstTimeField + 1,
                               kFirstTimeField + 2,
                               kFirstTimeField + 3,
                               kFirstTimeField + 4,
                               kFirstTimeField + 5,
                               kTimeNow,
                               kMinuteStep,
                               kAlsoCreation,
                               kAlsoAccess};
  HWND current = item(timeDialog(), order.front());
  for (std::size_t i = 1; i <= order.size(); ++i) {
    current = GetNextDlgTabItem(timeDialog(), current, FALSE);
    EXPECT_EQ(GetDlgCtrlID(current), order[i % order.size()]) << "stop " << i;
  }
}

TEST_F(GuiTest, MessageWindowControls) {
  expectControls(messageWindow(), {
                                      {kMessageOk, "Button", "OK", 64, 136, 81, 25},
                                      {kMessagePanel, "Static", "", 8, 8, 193, 113},
                                      {kMessageLabel, "Static", "", 8 + 8, 8 + 24, 177, 65},
                                  });
  const auto style = GetWindowLongPtrW(item(messageWindow(), kMessageLabel), GWL_STYLE);
  EXPECT_EQ(style & SS_TYPEMASK, SS_CENTER);
  EXPECT_EQ(GetNextDlgTabItem(messageWindow(), nullptr, FALSE), item(messageWindow(), kMessageOk));
}

TEST_F(GuiTest, EveryControlUsesTheDesignTypefaceAtItsHeight) {
  struct Font {
    const char* what;
    HWND control;
    int height;
  };
  const std::vector<Font> fonts{
      {"tree", tree(), 12},
      {"list", list(), 12},
      {"status bar", statusBar(), 12},
      {"time dialog OK", item(timeDialog(), kTimeOk), 12},
      {"time dialog group box", item(timeDialog(), kDateGroup), 12},
      {"year field", item(timeDialog(), kFirstTimeField), 16},
      {"second field", item(timeDialog(), kFirstTimeField + 5), 16},
      {"separator", item(timeDialog(), kFirstFieldSeparator), 21},
      {"two-second step", item(timeDialog(), kTwoSecondStep), 12},
      {"message OK", item(messageWindow(), kMessageOk), 12},
      {"message label", item(messageWindow(), kMessageLabel), 12},
  };
  for (const Font& f : fonts) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(f.control, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr) << f.what;
    LOGFONTW info{};
    ASSERT_TRUE(GetObjectW(font, sizeof(info), &info)) << f.what;
    EXPECT_EQ(std::wstring(info.lfFaceName), wide("ＭＳ Ｐゴシック")) << f.what;
    EXPECT_EQ(info.lfHeight, -scaled(mainWindow(), f.height)) << f.what;
    EXPECT_EQ(info.lfCharSet, SHIFTJIS_CHARSET) << f.what;
  }
}

TEST_F(StartupOrderTest, TheSettingsLoadTimerIsSwitchedOnAtCreationAndOffByItsFirstTick) {
  start(false);
  shell::MainWindow& main = windows_->mainWindow();
  EXPECT_TRUE(main.controls().settingsLoadTimer.isEnabled());
  pump(200);
  EXPECT_FALSE(main.controls().settingsLoadTimer.isEnabled());
  EXPECT_FALSE(main.controls().moveStepTimer.isEnabled());
  EXPECT_FALSE(main.controls().dragScrollTimer.isEnabled());
}

}  // namespace
}  // namespace gui
