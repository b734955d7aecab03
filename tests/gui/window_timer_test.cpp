// A timer the system refuses fails in the program's words with the OS code.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/os_error.h"
#include "platform/win32/controls.h"

namespace {

TEST(WindowTimer, ARefusedTimerFailsInTheProgramsWordsWithTheOsCode) {
  // A handle that names no window any more: SetTimer refuses it.
  HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(gone, nullptr);
  DestroyWindow(gone);
  // The code the OS itself gives for it (Windows: 1400, Wine: 6).
  SetLastError(0);
  ASSERT_EQ(SetTimer(gone, 8, 10, nullptr), 0u);
  const DWORD expected = GetLastError();
  ASSERT_NE(expected, 0u);

  platform::win32::WindowTimer timer(7, 10);
  timer.attach(gone);
  try {
    timer.setEnabled(true);
    ADD_FAILURE() << "no failure raised";
  } catch (const platform::OsError& failure) {
    EXPECT_EQ(failure.code(), expected);
    EXPECT_EQ(std::string(failure.what()),
              "タイマーを開始できません (エラー " + std::to_string(expected) + ")");
  }
  EXPECT_FALSE(timer.isEnabled());
}

}  // namespace
