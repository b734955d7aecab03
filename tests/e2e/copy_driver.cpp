// Drives the built Chronoseq.exe from outside through "この順番でコピー(&C)...":
// waits for the start folder's rows, sends the menu command, answers the
// system's folder picker with a destination as a user would type it, and
// reports the rows and the message the copy ends with. Of the program it
// knows only the menu command's identifier.
//
// Usage: chronoseq_e2e_copy_driver <Chronoseq.exe> <entries listed at start>
//        <destination> [bytime] [stop]
// Prints "row<TAB>k<TAB>name" per row before the copy, then
// "message<TAB>text" (line ends as \n), "readback<TAB>name" per entry of the
// destination as FindFirstFileW gives them, and "N passed, N failed". With
// "bytime" the rows are first sorted by a click on the time column's header;
// with "stop", Esc is pressed once the caption shows two rows copied.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "driver_support.h"

namespace {

// The menu's command identifier, as the program's menu sends it.
constexpr int kCopyInOrder = app::commandId(app::Command::copyInOrder);

using namespace e2e;

// The folder picker: types the destination into its name field and presses
// its default button.
bool answerPicker(DWORD pid, const std::wstring& destination) {
  HWND picker = nullptr;
  if (!waitFor([&] {
        picker = visibleTopWindow(
            pid, [](HWND h) { return windowText(h) == L"コピー先のフォルダを選んでください"; });
        return picker != nullptr;
      })) {
    return false;
  }
  Sleep(500);  // the dialog fills its views after it is shown
  HWND edit = nullptr;
  for (HWND child : descendants(picker)) {
    if (className(child) == L"Edit" && IsWindowVisible(child)) edit = child;
  }
  if (!edit) return false;
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(destination.c_str()));
  PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(picker, IDOK)));
  return waitFor([&] { return !IsWindow(picker) || !IsWindowVisible(picker); }, 10000);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return usage("copy_driver <exe> <entries> <destination> [bytime] [stop]");
  const std::wstring exe = argv[1];
  const int entries = _wtoi(argv[2]);
  const std::wstring destination = argv[3];
  bool stop = false;
  bool byTime = false;
  for (int i = 4; i < argc; ++i) {
    stop = stop || std::wstring(argv[i]) == L"stop";
    byTime = byTime || std::wstring(argv[i]) == L"bytime";
  }

  Program program;
  if (!startProgram(exe, L"", program)) return finish();
  const DWORD pid = program.pid;
  HWND main = program.main;
  HWND list = program.list;

  checkListShows(list, entries, "start folder's");
  if (byTime) sortByTime(list, pid, entries);
  printRows(list, pid);

  PostMessageW(main, WM_COMMAND, MAKEWPARAM(kCopyInOrder, 0), 0);
  check(answerPicker(pid, destination), "the folder picker takes the destination");

  if (stop) {
    // Once a few rows are copied: "コピー n / N" with n of 2 or more.
    check(waitFor(
              [&] {
                const std::wstring caption = windowText(main);
                return caption.rfind(L"コピー ", 0) == 0 && _wtoi(caption.c_str() + 4) >= 2;
              },
              30000),
          "the caption shows the copy's progress");
    check(!IsWindowEnabled(main), "the main window is locked while it copies");
    PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
  }

  acceptClosingMessage(program, destination, "the copy");

  return closeProgram(program);
}
