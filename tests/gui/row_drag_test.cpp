// Dragging rows on the real list view with real mouse input: xdotool moves
// the X server's pointer and presses its buttons, and Wine delivers what
// the X server sends, as it does for a user's mouse.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/app_objects.h"
#include "gui/gui_fixture.h"
#include "platform/win32/utf.h"

namespace gui {
namespace {

// Wine starts a Linux program through ntdll's own export.
using SpawnFunction = LONG(__cdecl*)(char* const argv[], int wait);

// The point of the last mouse message this thread took from its queue, for
// as long as it lives.
class MouseSeen {
 public:
  MouseSeen() : hook_(SetWindowsHookExW(WH_MOUSE, record, nullptr, GetCurrentThreadId())) {
    last_ = POINT{-1, -1};
  }
  ~MouseSeen() { UnhookWindowsHookEx(hook_); }
  MouseSeen(const MouseSeen&) = delete;
  MouseSeen& operator=(const MouseSeen&) = delete;
  POINT last() const { return last_; }

 private:
  static LRESULT CALLBACK record(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0) last_ = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->pt;
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline thread_local POINT last_{-1, -1};
  HHOOK hook_;
};

class RowDragTest : public GuiFixture {
 protected:
  void SetUp() override {
    GuiFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    spawn_ = reinterpret_cast<SpawnFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    if (!spawn_) {
      CHRONOSEQ_SKIP_FOR_WANT_OF("not under Wine: no way to reach the X server's pointer");
    }
    if (!xdotool({"version"})) CHRONOSEQ_SKIP_FOR_WANT_OF("xdotool is not installed");
    // Enough rows for the list to scroll.
    for (int i = 0; i < 60; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "f%02d.txt", i);
      std::ofstream(folder() / name) << "x";
    }
    start();
    windows_->objects().listing.listSelectedFolder();
    pump();
    SetForegroundWindow(mainWindow());
    // Keys reach the window only once the window manager has given it the
    // keyboard.
    pumpUntil([&] { return GetForegroundWindow() == mainWindow(); });
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
  // Delivers what comes until `done` holds or a second has passed (a loaded
  // machine may take a while to hand on the X server's events).
  void pumpUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (!done() && std::chrono::steady_clock::now() < end) pump(20);
  }
  // The share of a row's pixels, as the screen shows them, in the system's
  // highlight colour.
  double highlightShare(int row) {
    RECT box{};
    ListView_GetItemRect(list(), row, &box, LVIR_BOUNDS);
    RECT client{};
    GetClientRect(list(), &client);
    box.right = std::min(box.right, client.right);
    POINT origin{box.left, box.top};
    ClientToScreen(list(), &origin);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    if (width <= 0 || height <= 0) return 0;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height);
    const int lines = GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (lines != height) return 0;
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    // A DIB pixel is 0x00RRGGBB, a COLORREF 0x00BBGGRR.
    const DWORD wanted =
        (GetRValue(highlight) << 16) | (GetGValue(highlight) << 8) | GetBValue(highlight);
    const auto count = std::count_if(pixels.begin(), pixels.end(),
                                     [wanted](DWORD p) { return (p & 0xFFFFFF) == wanted; });
    return static_cast<double>(count) / static_cast<double>(pixels.size());
  }
  // Lets a move's 10 ms steps run to the end.
  void waitForTheMove() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    do {
      pump(30);
    } while (windows_->objects().mover.moving() && std::chrono::steady_clock::now() < end);
    EXPECT_FALSE(windows_->objects().mover.moving());
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
  // What the user sees: the target row in the highlight colour, the rows
  // that are neither target nor selected not.
  pumpUntil([&] { return highlightShare(3) > 0.3; });
  const double target = highlightShare(3);
  const double other = highlightShare(5);
  std::printf("highlight share: target row %.3f, another row %.3f\n", target, other);
  EXPECT_GT(target, 0.3) << "the drop target is not drawn highlighted";
  EXPECT_EQ(other, 0.0);
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
  pumpUntil([&] { return ListView_GetTopIndex(list()) > 0; });
  EXPECT_GT(ListView_GetTopIndex(list()), 0) << "the list scrolls while the pointer is in the zone";
  button("mouseup");
  waitForTheMove();
  // What scrolls is the drag's timer: it is off, and a tick that was due
  // already does nothing.
  EXPECT_FALSE(windows_->mainWindow().controls().dragScrollTimer.isEnabled())
      << "scrolling goes on";
  const int atRelease = ListView_GetTopIndex(list());
  pump();
  EXPECT_EQ(ListView_GetTopIndex(list()), atRelease) << "scrolling went on after the drag";
  windows_->objects().mover.scrollTick();
  EXPECT_EQ(ListView_GetTopIndex(list()), atRelease) << "a late tick still scrolls";
}

TEST_F(RowDragTest, APressWithCtrlAndAMoveDoNotDrag) {
  selectOnly({1});
  ASSERT_TRUE(xdotool({"keydown", "ctrl"}));
  // The press must find Ctrl held where Wine keeps the keys' state, which it
  // learns from the X server's events in its own time.
  pumpUntil([] { return GetAsyncKeyState(VK_CONTROL) < 0; });
  ASSERT_LT(GetAsyncKeyState(VK_CONTROL), 0) << "Wine never saw Ctrl pressed";
  pressAndMove(1, rowPoint(4));
  EXPECT_FALSE(windows_->mainWindow().rowDrag().dragging());
  button("mouseup");
  ASSERT_TRUE(xdotool({"keyup", "ctrl"}));
  pumpUntil([] { return GetAsyncKeyState(VK_CONTROL) >= 0; });
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
  windows_->objects().mover.scrollTick();
  EXPECT_EQ(ListView_GetTopIndex(list()), top) << "a late tick still scrolls";
  pump(400);
  EXPECT_EQ(ListView_GetTopIndex(list()), top);
  button("mouseup");
  waitForTheMove();
  EXPECT_EQ(listedNames(), before_);
}

TEST_F(RowDragTest, TheDragBeginsFivePixelsFromThePress) {
  // Four pixels either way is still a click; five, either way, a drag.
  struct Case {
    int dx, dy;
    bool active;
  };
  const Case cases[] = {{0, 4, false}, {4, 0, false}, {4, 4, false},
                        {0, 5, true},  {5, 0, true},  {0, -5, true}};
  // Each press on a row of its own: two presses on one spot in quick
  // succession would make a double click.
  int row = 2;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.dx) + "," + std::to_string(c.dy));
    selectOnly({row});
    const POINT from = rowPoint(row);
    pointerTo(from);
    button("mousedown");
    const MouseSeen seen;
    const POINT to{from.x + c.dx, from.y + c.dy};
    pointerTo(to);
    // The list has had the move once its message at that point is taken
    // from the queue; a drag that was to begin has begun by then.
    POINT screen = to;
    ClientToScreen(list(), &screen);
    ASSERT_TRUE(GuiFixture::pumpUntil(
        [&] { return seen.last().x == screen.x && seen.last().y == screen.y; }));
    EXPECT_EQ(windows_->mainWindow().rowDrag().active(), c.active);
    button("mouseup");
    waitForTheMove();
    EXPECT_EQ(listedNames(), before_) << "the press row is the drop row: nothing moves";
    row += 2;
  }
}

TEST_F(RowDragTest, AltUpAndDownLeaveTheFocusedRowInView) {
  pointerTo(rowPoint(1));
  button("click");
  // The window settings load first: they may resize the list.
  pumpUntil([&] { return !windows_->mainWindow().controls().settingsLoadTimer.isEnabled(); });
  pump(100);
  const int perPage = ListView_GetCountPerPage(list());
  const int last = rowCount() - 1;
  ASSERT_LT(perPage + 2, last) << "the list must be longer than the view";
  ListView_EnsureVisible(list(), last, FALSE);
  pump();
  const int endTop = ListView_GetTopIndex(list());  // the first row in view at the end
  struct Case {
    const char* what;
    const char* keys;
    int inView;  // the row the list is scrolled to first
    std::vector<int> selected;
    int focused;
    int focusedAfter;
  };
  const Case cases[] = {
      {"the last row in view moves down", "alt+Down", 0, {perPage - 1}, perPage - 1, perPage},
      {"the first row in view moves up", "alt+Up", last, {endTop}, endTop, endTop - 1},
      // The row moving out of view does not take the focus with it: the
      // focused last row, blocked at the end, is the one to show (Wine's
      // list view scrolls by itself to a row that is given the focus, but
      // this focus stays where it is).
      {"a row moves out of view, the focused last row stays",
       "alt+Down",
       0,
       {perPage - 1, last},
       last,
       last},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    pump(100);  // the keys of the case before are all handled
    selectOnly(c.selected);
    ListView_SetItemState(list(), c.focused, LVIS_FOCUSED, LVIS_FOCUSED);
    ListView_EnsureVisible(list(), c.inView, FALSE);
    SetFocus(list());
    pump();
    ASSERT_EQ(ListView_GetTopIndex(list()), c.inView == 0 ? 0 : endTop);
    const std::vector<std::wstring> shown = listedNames();
    ASSERT_TRUE(xdotool({"key", c.keys}));
    const auto inView = [&] {
      const int top = ListView_GetTopIndex(list());
      return c.focusedAfter >= top && c.focusedAfter < top + perPage;
    };
    pumpUntil([&] { return focusedRow() == c.focusedAfter && listedNames() != shown && inView(); });
    EXPECT_NE(listedNames(), shown) << "nothing moved";
    EXPECT_EQ(focusedRow(), c.focusedAfter);
    const int top = ListView_GetTopIndex(list());
    EXPECT_GE(c.focusedAfter, top) << "the focused row is above the view";
    EXPECT_LT(c.focusedAfter, top + perPage) << "the focused row is below the view";
  }
}

TEST_F(RowDragTest, AltDownMovesTheSelection) {
  // A click selects row 1 and gives the list the keyboard.
  pointerTo(rowPoint(1));
  button("click");
  ASSERT_EQ(selectedRows(), (std::vector<int>{1}));
  // The keys reach the window in the X server's time: wait for the moved
  // rows, not for a fixed time.
  ASSERT_TRUE(xdotool({"key", "alt+Down"}));
  pumpUntil([&] { return listedNames() == reordered({0, 2, 1}) && focusedRow() == 2; });
  EXPECT_EQ(listedNames(), reordered({0, 2, 1}));
  EXPECT_EQ(selectedRows(), (std::vector<int>{2}));
  EXPECT_EQ(focusedRow(), 2);
  ASSERT_TRUE(xdotool({"key", "alt+Up", "alt+Up"}));
  pumpUntil([&] { return listedNames() == reordered({1, 0, 2}) && focusedRow() == 0; });
  EXPECT_EQ(listedNames(), reordered({1, 0, 2}));
  EXPECT_EQ(selectedRows(), (std::vector<int>{0}));
}

}  // namespace
}  // namespace gui
