// Dragging rows on the real list view with real mouse input: xdotool moves
// the X server's pointer and presses its buttons, and Wine delivers what
// the X server sends, as it does for a user's mouse.

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "app/form1.h"
#include "gui/gui_fixture.h"
#include "platform/win32/utf.h"

namespace gui {
namespace {

// Wine starts a Linux program through ntdll's own export.
using SpawnFunction = LONG(__cdecl*)(char* const argv[], int wait);

class RowDragTest : public GuiFixture {
 protected:
  void SetUp() override {
    GuiFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    spawn_ = reinterpret_cast<SpawnFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    if (!spawn_) GTEST_SKIP() << "not under Wine: no way to reach the X server's pointer";
    if (!xdotool({"version"})) GTEST_SKIP() << "xdotool is not installed";
    // Enough rows for the list to scroll.
    for (int i = 0; i < 60; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "f%02d.txt", i);
      std::ofstream(folder() / name) << "x";
    }
    start();
    windows_->form1().ShellTreeView1Change();
    pump();
    SetForegroundWindow(mainWindow());
    pump(100);
    before_ = listedNames();
    ASSERT_GE(before_.size(), 60u);
  }

  bool xdotool(std::vector<std::string> args) {
    std::vector<std::string> line{"xdotool"};
    line.insert(line.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : line) argv.push_back(a.data());
    argv.push_back(nullptr);
    return spawn_(argv.data(), 1) == 0;
  }
  // The pointer to a point of the list's client area, in screen pixels.
  void pointerTo(POINT client) {
    ClientToScreen(list(), &client);
    ASSERT_TRUE(xdotool({"mousemove", std::to_string(client.x), std::to_string(client.y)}));
    pump(40);
  }
  POINT rowPoint(int row, int dy = 0) {
    RECT box{};
    ListView_GetItemRect(list(), row, &box, LVIR_LABEL);
    return POINT{box.left + 20, (box.top + box.bottom) / 2 + dy};
  }
  void button(const char* action) {
    ASSERT_TRUE(xdotool({action, "1"}));
    pump(40);
  }
  // Pointer to the row, press, then in small steps to the point, so the
  // control sees the drag begin before the pointer arrives.
  void pressAndMove(int row, POINT to) {
    const POINT from = rowPoint(row);
    pointerTo(from);
    button("mousedown");
    for (int k = 1; k <= 4; ++k) {
      pointerTo(POINT{from.x + (to.x - from.x) * k / 4, from.y + (to.y - from.y) * k / 4});
    }
  }
  void selectOnly(const std::vector<int>& rows) {
    ListView_SetItemState(list(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (int row : rows) ListView_SetItemState(list(), row, LVIS_SELECTED, LVIS_SELECTED);
    pump();
  }
  std::vector<int> selectedRows() {
    std::vector<int> out;
    for (int row = ListView_GetNextItem(list(), -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list(), row, LVNI_SELECTED)) {
      out.push_back(row);
    }
    return out;
  }
  int focusedRow() { return ListView_GetNextItem(list(), -1, LVNI_FOCUSED); }
  // Lets a move's 10 ms steps run to the end.
  void waitForTheMove() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    do {
      pump(30);
    } while (windows_->form1().moveInProgress() && std::chrono::steady_clock::now() < end);
    EXPECT_FALSE(windows_->form1().moveInProgress());
  }
  std::vector<std::wstring> reordered(std::vector<int> order) {
    std::vector<std::wstring> out;
    for (int i : order) out.push_back(before_[static_cast<std::size_t>(i)]);
    for (std::size_t i = order.size(); i < before_.size(); ++i) out.push_back(before_[i]);
    return out;
  }

  SpawnFunction spawn_ = nullptr;
  std::vector<std::wstring> before_;
};

TEST_F(RowDragTest, OneRowMovesDown) {
  selectOnly({1});
  pressAndMove(1, rowPoint(3));
  // While dragging: the list holds the capture and draws row 3 as the target.
  EXPECT_TRUE(windows_->mainWindow().rowDrag().active());
  EXPECT_EQ(GetCapture(), list());
  EXPECT_EQ(windows_->mainWindow().list().dropTarget(), 3);
  // Drawn once, by the program alone, in the highlight colours: the control
  // knows of no drop state of its own that Windows would draw as well.
  EXPECT_EQ(ListView_GetCallbackMask(list()) & LVIS_DROPHILITED, 0u);
  EXPECT_EQ(ListView_GetItemState(list(), 3, LVIS_DROPHILITED), 0u);
  for (const int row : {2, 3}) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = list();
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.clrText = CLR_DEFAULT;
    draw.clrTextBk = CLR_DEFAULT;
    const LRESULT answer = SendMessageW(mainWindow(), WM_NOTIFY, GetDlgCtrlID(list()),
                                        reinterpret_cast<LPARAM>(&draw));
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(answer, row == 3 ? CDRF_NEWFONT : CDRF_DODEFAULT);
    EXPECT_EQ(draw.clrTextBk, row == 3 ? GetSysColor(COLOR_HIGHLIGHT) : CLR_DEFAULT);
    EXPECT_EQ(draw.clrText, row == 3 ? GetSysColor(COLOR_HIGHLIGHTTEXT) : CLR_DEFAULT);
  }
  button("mouseup");
  waitForTheMove();
  EXPECT_EQ(listedNames(), reordered({0, 2, 3, 1, 4}));
  EXPECT_EQ(selectedRows(), (std::vector<int>{3}));
  EXPECT_EQ(focusedRow(), 3);
  EXPECT_EQ(panelText(1), before_[1]);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(windows_->mainWindow().list().dropTarget(), -1);
}

TEST_F(RowDragTest, SeveralSelectedRowsGatherBelowTheDropRow) {
  selectOnly({1, 3});
  pressAndMove(3, rowPoint(6));
  button("mouseup");
  waitForTheMove();
  // A B C D E F G -> A C E F G B D
  EXPECT_EQ(listedNames(), reordered({0, 2, 4, 5, 6, 1, 3}));
  EXPECT_EQ(selectedRows(), (std::vector<int>{5, 6}));
  EXPECT_EQ(focusedRow(), 6);
  EXPECT_EQ(panelText(1), before_[3]);
}

TEST_F(RowDragTest, ADragReleasedInTheLowerScrollZoneLeavesNoScrollingBehind) {
  selectOnly({1});
  RECT client{};
  GetClientRect(list(), &client);
  pressAndMove(1, POINT{40, client.bottom - 3});
  pump(600);
  const int scrolledTo = ListView_GetTopIndex(list());
  EXPECT_GT(scrolledTo, 0) << "the list scrolls while the pointer is in the zone";
  button("mouseup");
  waitForTheMove();
  const int atRelease = ListView_GetTopIndex(list());
  pump(600);
  EXPECT_EQ(ListView_GetTopIndex(list()), atRelease) << "scrolling went on after the drag";
  windows_->form1().Timer2Timer();
  EXPECT_EQ(ListView_GetTopIndex(list()), atRelease) << "a late tick still scrolls";
}

TEST_F(RowDragTest, APressWithCtrlAndAMoveDoNotDrag) {
  selectOnly({1});
  ASSERT_TRUE(xdotool({"keydown", "ctrl"}));
  pump(40);
  pressAndMove(1, rowPoint(4));
  EXPECT_FALSE(windows_->mainWindow().rowDrag().dragging());
  button("mouseup");
  ASSERT_TRUE(xdotool({"keyup", "ctrl"}));
  waitForTheMove();
  EXPECT_EQ(listedNames(), before_);
}

TEST_F(RowDragTest, EscCancelsTheDrag) {
  selectOnly({1});
  pressAndMove(1, rowPoint(4));
  ASSERT_TRUE(windows_->mainWindow().rowDrag().active());
  ASSERT_TRUE(xdotool({"key", "Escape"}));
  pump(40);
  EXPECT_FALSE(windows_->mainWindow().rowDrag().dragging());
  EXPECT_EQ(GetCapture(), nullptr);
  pointerTo(rowPoint(5));
  button("mouseup");
  waitForTheMove();
  EXPECT_EQ(listedNames(), before_);
  EXPECT_EQ(windows_->mainWindow().list().dropTarget(), -1);
}

TEST_F(RowDragTest, LosingTheCaptureCancelsTheDragAndItsScrolling) {
  selectOnly({1});
  RECT client{};
  GetClientRect(list(), &client);
  pressAndMove(1, POINT{40, client.bottom - 3});
  ASSERT_TRUE(windows_->mainWindow().rowDrag().active());
  // Another window takes the mouse, as a window popping up does.
  SetCapture(mainWindow());
  pump(40);
  ReleaseCapture();
  EXPECT_FALSE(windows_->mainWindow().rowDrag().dragging());
  const int top = ListView_GetTopIndex(list());
  windows_->form1().Timer2Timer();
  EXPECT_EQ(ListView_GetTopIndex(list()), top) << "a late tick still scrolls";
  pump(400);
  EXPECT_EQ(ListView_GetTopIndex(list()), top);
  button("mouseup");
  waitForTheMove();
  EXPECT_EQ(listedNames(), before_);
}

TEST_F(RowDragTest, AltDownMovesTheSelection) {
  // A click selects row 1 and gives the list the keyboard.
  pointerTo(rowPoint(1));
  button("click");
  ASSERT_EQ(selectedRows(), (std::vector<int>{1}));
  ASSERT_TRUE(xdotool({"key", "alt+Down"}));
  pump(60);
  EXPECT_EQ(listedNames(), reordered({0, 2, 1}));
  EXPECT_EQ(selectedRows(), (std::vector<int>{2}));
  EXPECT_EQ(focusedRow(), 2);
  ASSERT_TRUE(xdotool({"key", "alt+Up", "alt+Up"}));
  pump(60);
  EXPECT_EQ(listedNames(), reordered({1, 0, 2}));
  EXPECT_EQ(selectedRows(), (std::vector<int>{0}));
}

}  // namespace
}  // namespace gui
