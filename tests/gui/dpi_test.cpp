// A window moved to a monitor of another DPI lays itself out again at that
// DPI: sizes, places and fonts.

#include "gui/gui_fixture.h"
#include "shell/control_ids.h"

namespace gui {
namespace {

using namespace platform::win32;
using namespace shell;

constexpr int kNewDpi = 144;

int at144(int designPixels) { return MulDiv(designPixels, kNewDpi, 96); }

int fontHeight(HWND control) {
  LOGFONTW info{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(info), &info);
  return info.lfHeight;
}

RECT rectIn(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void changeDpi(HWND window, RECT suggested) {
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(kNewDpi, kNewDpi),
               reinterpret_cast<LPARAM>(&suggested));
}

TEST_F(GuiTest, TheTimeDialogLaysItselfOutAgainAtTheNewDpi) {
  changeDpi(timeDialog(), RECT{100, 120, 700, 600});
  RECT outer{}, client{};
  GetWindowRect(timeDialog(), &outer);
  GetClientRect(timeDialog(), &client);
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 120);
  EXPECT_GE(client.right, at144(313));
  EXPECT_EQ(client.bottom, at144(192 + 20)) << "the design's height and the preview line";
  const RECT preview = rectIn(timeDialog(), item(timeDialog(), kTimePreview));
  EXPECT_EQ(preview.top, at144(157));
  EXPECT_EQ(client.right, preview.right + at144(8));

  const RECT edit1 = rectIn(timeDialog(), item(timeDialog(), kFirstTimeField));
  EXPECT_EQ(edit1.left, at144(8 + 16));
  EXPECT_EQ(edit1.top, at144(8 + 24));
  EXPECT_EQ(edit1.right - edit1.left, at144(41));
  EXPECT_EQ(fontHeight(item(timeDialog(), kFirstTimeField)), -at144(16));
  EXPECT_EQ(fontHeight(item(timeDialog(), kFirstFieldSeparator)), -at144(21));
  EXPECT_EQ(fontHeight(item(timeDialog(), kTimeOk)), -at144(12));
}

TEST_F(GuiTest, TheMainWindowScalesTreeColumnsAndStatusBarToTheNewDpi) {
  changeDpi(mainWindow(), RECT{0, 0, 1300, 950});
  RECT client{};
  GetClientRect(mainWindow(), &client);
  const RECT treeRect = rectIn(mainWindow(), tree());
  const RECT statusRect = rectIn(mainWindow(), statusBar());
  EXPECT_EQ(treeRect.right - treeRect.left, at144(201));
  EXPECT_EQ(statusRect.bottom - statusRect.top, at144(19));
  EXPECT_EQ(statusRect.bottom, client.bottom);
  EXPECT_EQ(treeRect.bottom, statusRect.top);
  EXPECT_EQ(ListView_GetColumnWidth(list(), 0), at144(350));
  EXPECT_EQ(ListView_GetColumnWidth(list(), 2), at144(120));
  EXPECT_EQ(fontHeight(list()), -at144(12));
  EXPECT_EQ(SendMessageW(tree(), TVM_GETINDENT, 0, 0), at144(19));
}

}  // namespace
}  // namespace gui
