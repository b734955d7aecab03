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
// <commctrl.h> needs the types <windows.h> declares.
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/command_table.h"
#include "driver_support.h"
#include "shell/control_ids.h"
#include "shell/window_classes.h"

namespace {

// The menu's command identifiers, as the program's menu sends them.
constexpr int kCopyInOrder = app::commandId(app::Command::copyInOrder);

using namespace e2e;

HWND messageWindow(DWORD pid, std::wstring& text) {
  return visibleTopWindow(pid, [&](HWND hwnd) {
    if (className(hwnd) != shell::kMessageWindowClass) return false;
    HWND ok = nullptr;
    std::wstring label;
    for (HWND child : descendants(hwnd)) {
      if (className(child) == L"Button" && windowText(child) == L"OK") ok = child;
      if (className(child) == L"Static" && !windowText(child).empty()) label = windowText(child);
    }
    if (!ok || label.empty()) return false;
    text = label;
    return true;
  });
}

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
  if (argc < 4) {
    std::fprintf(stderr, "usage: copy_driver <exe> <entries> <destination> [bytime] [stop]\n");
    return 2;
  }
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

  check(list && waitFor([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == entries; }),
        "the list shows the start folder's " + std::to_string(entries) + " entries");
  // One click on the time column's header sorts the rows by their times,
  // which the caller sets so that this order is not the names' order.
  const std::vector<std::wstring> listed =
      list ? listedNames(list, pid) : std::vector<std::wstring>{};
  HWND header = list ? FindWindowExW(list, nullptr, WC_HEADERW, nullptr) : nullptr;
  if (byTime && header) {
    const int x = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0) +
                                   SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0) +
                                   SendMessageW(list, LVM_GETCOLUMNWIDTH, 2, 0) / 2);
    RECT box{};
    GetClientRect(header, &box);
    const LPARAM at = MAKELPARAM(x, box.bottom / 2);
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(header, WM_LBUTTONUP, 0, at);
    check(waitFor([&] { return listedNames(list, pid) != listed || entries < 2; }, 5000),
          "a click on the time header sorts the rows");
  }
  const std::vector<std::wstring> rows =
      list ? listedNames(list, pid) : std::vector<std::wstring>{};
  for (std::size_t k = 0; k < rows.size(); ++k) {
    std::printf("row\t%zu\t%s\n", k, narrow(rows[k]).c_str());
  }
  std::fflush(stdout);

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

  std::wstring text;
  HWND notice = nullptr;
  check(waitFor(
            [&] {
              notice = messageWindow(pid, text);
              return notice != nullptr;
            },
            120000),
        "a message ends the copy");
  check(main && !IsWindowEnabled(main), "the main window is locked under the message");
  std::string printable = narrow(text);
  for (std::size_t at = 0; (at = printable.find("\r\n", at)) != std::string::npos;) {
    printable.replace(at, 2, "\\n");
  }
  std::printf("message\t%s\n", printable.c_str());
  // The destination as FindFirstFileW gives it back, as the program read it.
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((destination + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") std::printf("readback\t%s\n", narrow(name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  check(windowText(main) == L"Chronoseq", "the caption is the program's again");
  for (HWND child : notice ? descendants(notice) : std::vector<HWND>{}) {
    if (className(child) == L"Button" && windowText(child) == L"OK") {
      PostMessageW(child, BM_CLICK, 0, 0);
    }
  }
  check(waitFor([&] { return IsWindowEnabled(main) != FALSE; }),
        "the message's OK gives the main window back");

  return closeProgram(program);
}
