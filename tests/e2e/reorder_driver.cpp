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
#include "shell/control_ids.h"
#include "shell/window_classes.h"

namespace {

// The menu's command identifier, as the program's menu sends it.
constexpr int kReorderOnCard = app::commandId(app::Command::reorderOnCard);

using namespace e2e;

std::string printable(const std::wstring& text) {
  std::string line = narrow(text);
  for (std::size_t at = 0; (at = line.find("\r\n", at)) != std::string::npos;) {
    line.replace(at, 2, "\\n");
  }
  return line;
}

// The program's message window with its label and OK.
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
  if (argc < 4) {
    std::fprintf(stderr, "usage: reorder_driver <exe> <folder> <entries>\n");
    return 2;
  }
  const std::wstring exe = argv[1];
  const std::wstring folder = argv[2];
  const int entries = _wtoi(argv[3]);
  const bool byName = argc > 4 && std::wstring(argv[4]) == L"byname";

  Program program;
  if (!startProgram(exe, L" \"" + folder + L"\"", program)) return finish();
  const DWORD pid = program.pid;
  HWND main = program.main;
  HWND list = program.list;

  check(list && waitFor([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == entries; }),
        "the list shows the card folder's " + std::to_string(entries) + " entries");
  // One click on a column's header sorts the rows. By time the order
  // changes (the caller sets the times so); by name it may already stand
  // (Wine lists a folder sorted by name), so the header's arrow tells.
  const std::vector<std::wstring> listed =
      list ? listedNames(list, pid) : std::vector<std::wstring>{};
  HWND header = list ? FindWindowExW(list, nullptr, WC_HEADERW, nullptr) : nullptr;
  if (header) {
    const int x = byName ? static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0) / 2)
                         : static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0) +
                                            SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0) +
                                            SendMessageW(list, LVM_GETCOLUMNWIDTH, 2, 0) / 2);
    RECT box{};
    GetClientRect(header, &box);
    const LPARAM at = MAKELPARAM(x, box.bottom / 2);
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(header, WM_LBUTTONUP, 0, at);
    if (byName) {
      check(
          waitFor([&] { return (nameHeaderFormat(list, pid) & (HDF_SORTUP | HDF_SORTDOWN)) != 0; },
                  5000),
          "a click on the name header sorts the rows");
    } else {
      check(waitFor([&] { return listedNames(list, pid) != listed || entries < 2; }, 5000),
            "a click on the time header sorts the rows");
    }
  }
  const std::vector<std::wstring> rows =
      list ? listedNames(list, pid) : std::vector<std::wstring>{};
  for (std::size_t k = 0; k < rows.size(); ++k) {
    std::printf("row\t%zu\t%s\n", k, narrow(rows[k]).c_str());
  }
  std::fflush(stdout);

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

  std::wstring text;
  HWND notice = nullptr;
  check(waitFor(
            [&] {
              notice = messageWindow(pid, text);
              return notice != nullptr;
            },
            120000),
        "a message ends the command");
  check(main && !IsWindowEnabled(main), "the main window is locked under the message");
  std::printf("message\t%s\n", printable(text).c_str());
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
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
