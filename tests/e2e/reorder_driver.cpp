// Drives the built Chronoseq.exe from outside through "カード上でこの順番にする
// (&R)...": starts it on a card's folder (the first argument), waits for the
// folder's rows, sorts them with a click on the name or the time column's
// header,
// sends the menu command, reads and accepts the confirmation, and reports
// the rows, the question and the message the command ends with. Of the
// program it knows only the menu command's identifier.
//
// Usage: chronoseq_e2e_reorder_driver <Chronoseq.exe> <folder> <entries>
//        [byname|bytime]
// Prints "row<TAB>k<TAB>name" per row before the command,
// "question<TAB>text" and "message<TAB>text" (line ends as \n),
// "readback<TAB>name" per entry of the folder as FindFirstFileW gives them,
// and "N passed, N failed".

#include <windows.h>
// <commctrl.h> needs the types <windows.h> declares.
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "driver_support.h"

namespace {

// The menu's command identifier, as the program's menu sends it.
constexpr int kReorderOnCard = app::commandId(app::Command::reorderOnCard);

using namespace e2e;

// The system's message box asking OK or Cancel: its longest static text.
HWND questionBox(DWORD pid, std::wstring& text) {
  return visibleTopWindow(pid, [&](HWND hwnd) {
    if (className(hwnd) != L"#32770" || !GetDlgItem(hwnd, IDCANCEL)) return false;
    for (HWND child : descendants(hwnd)) {
      if (className(child) == L"Static" && windowText(child).size() > text.size()) {
        text = windowText(child);
      }
    }
    return !text.empty();
  });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return usage("reorder_driver <exe> <folder> <entries>");
  const std::wstring exe = argv[1];
  const std::wstring folder = argv[2];
  const int entries = _wtoi(argv[3]);
  const bool byName = argc > 4 && std::wstring(argv[4]) == L"byname";

  Program program;
  if (!startProgram(exe, L" \"" + folder + L"\"", program)) return finish();
  const DWORD pid = program.pid;
  HWND main = program.main;
  HWND list = program.list;

  checkListShows(list, entries, "card folder's");
  // One click on a column's header sorts the rows. By time the order
  // changes (the caller sets the times so); by name it may already stand
  // (Wine lists a folder sorted by name), so the header's arrow tells.
  if (!byName) {
    sortByTime(list, pid, entries);
  } else if (clickColumnHeader(list, kNameColumn)) {
    check(waitFor([&] { return (nameHeaderFormat(list, pid) & (HDF_SORTUP | HDF_SORTDOWN)) != 0; },
                  5000),
          "a click on the name header sorts the rows");
  }
  printRows(list, pid);

  PostMessageW(main, WM_COMMAND, MAKEWPARAM(kReorderOnCard, 0), 0);
  std::wstring question;
  HWND box = nullptr;
  check(waitFor([&] {
          question.clear();
          box = questionBox(pid, question);
          return box != nullptr;
        }),
        "the command asks first");
  std::printf("question\t%s\n", printable(question).c_str());
  std::fflush(stdout);
  if (box) {
    Sleep(300);  // the box takes its input once it is shown
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  }

  acceptClosingMessage(program, folder, "the command");

  return closeProgram(program);
}
