// The stop of a long command on the real windows: a close posted while it
// runs asks for the stop and is spent, even when it came too late to be
// looked at (the entries were moving back), so the program stays with the
// result to read; a close with nothing running closes as ever.
#include "shell/copy_stop.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

struct PlainWindow {
  PlainWindow()
      : hwnd(CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr)) {}
  ~PlainWindow() { DestroyWindow(hwnd); }
  bool closeWaiting() const {
    MSG message;
    return PeekMessageW(&message, hwnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE) != FALSE;
  }
  HWND hwnd;
};

TEST(CopyStop, ACloseThatCameWhileItRanIsSpentWhenItEnds) {
  const struct {
    bool postedWhileArmed;
    bool closeLeft;
  } cases[] = {{true, false}, {false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.postedWhileArmed ? "posted while it ran" : "posted after it ended");
    PlainWindow window;
    ASSERT_NE(window.hwnd, nullptr);
    shell::CopyStop stop;
    stop.setMainWindow(window.hwnd);
    stop.arm("並べ替え中");
    if (c.postedWhileArmed) ASSERT_TRUE(PostMessageW(window.hwnd, WM_CLOSE, 0, 0));
    stop.disarm();
    if (!c.postedWhileArmed) ASSERT_TRUE(PostMessageW(window.hwnd, WM_CLOSE, 0, 0));
    EXPECT_EQ(window.closeWaiting(), c.closeLeft);
    MSG message;
    while (PeekMessageW(&message, window.hwnd, 0, 0, PM_REMOVE)) {
    }
  }
}

}  // namespace
