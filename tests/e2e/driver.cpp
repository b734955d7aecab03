// Drives the built Chronoseq.exe from outside, as a user would: the menu
// command, the six fields, OK and the message window's OK, then checks the
// stamped times on disk. Finds windows by caption, class and position; of the
// program it knows only the menu command's identifier.
//
// Usage: chronoseq_e2e_driver <Chronoseq.exe> <folder listed at start>
//        <year> <month> <day> <hour> <minute> <second> [minute|2s|undo|sort|argument]
// With "argument" the folder is given to the program as its first argument
// (as Explorer's "送る" gives it) instead of being the desktop listed at start.
// Prints one line per check, then one line per row after the run,
// "row<TAB>k<TAB>name<TAB>time text", for the caller to hold against the
// disk, and ends with "N passed, N failed".

#include <windows.h>
// <commctrl.h> needs the types <windows.h> declares.
#include <commctrl.h>

#include <algorithm>
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
constexpr int kChangeTimes = app::commandId(app::Command::changeTimes);
constexpr int kUndo = app::commandId(app::Command::undo);

using namespace e2e;

HWND childByClassAndText(HWND parent, const wchar_t* cls, const std::wstring& text) {
  for (HWND child : descendants(parent)) {
    if (_wcsicmp(className(child).c_str(), cls) == 0 && windowText(child) == text) return child;
  }
  return nullptr;
}

// The message window: a visible window of the program whose static text is `text`.
HWND messageWindowShowing(DWORD pid, const std::wstring& text) {
  return visibleTopWindow(
      pid, [&](HWND hwnd) { return childByClassAndText(hwnd, L"Static", text) != nullptr; });
}

// Sends a menu command and waits until its handler has returned: whatever
// it shows is then on the screen. A handler still busy after five seconds
// (a modal loop) counts as not done.
bool commandDone(HWND main, int command) {
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(main, WM_COMMAND, MAKEWPARAM(command, 0), 0, SMTO_NORMAL, 5000,
                             &answer) != 0;
}

// Asks the caller for a real mouse click (through the X server) on the
// middle of the name column's header, and waits until the rows satisfy done.
bool clickNameHeader(HWND list, const std::function<bool()>& done) {
  HWND header = FindWindowExW(list, nullptr, WC_HEADERW, nullptr);
  RECT r{};
  if (!header || !GetWindowRect(header, &r)) return false;
  // A click on a window the window manager has not activated yet only
  // activates it.
  if (!waitFor([&] { return GetForegroundWindow() == GetAncestor(list, GA_ROOT); })) return false;
  const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
  std::printf("click header %ld %ld\n", r.left + width / 2, (r.top + r.bottom) / 2);
  std::fflush(stdout);
  return waitFor(done);
}

// Waits for the message window with `text` (a long run may take a while),
// runs the caller's checks of the windows under it, presses its OK and waits
// for the main window to be unlocked.
void acknowledgeNotice(DWORD pid, HWND main, const std::wstring& text,
                       const std::function<void()>& whileShown) {
  HWND notice = nullptr;
  check(waitFor(
            [&] {
              notice = messageWindowShowing(pid, text);
              return notice != nullptr;
            },
            60000),
        "the notice " + narrow(text) + " appears");
  whileShown();
  HWND ok = notice ? childByClassAndText(notice, L"Button", L"OK") : nullptr;
  if (ok) PostMessageW(ok, BM_CLICK, 0, 0);
  check(waitFor([&] { return main && IsWindowEnabled(main); }),
        "the notice's OK gives the main window back");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 9 && argc != 10) {
    return usage("driver <exe> <folder> <y> <m> <d> <h> <n> <s> [minute|2s|undo|sort|argument]");
  }
  const bool twoSeconds = argc == 10 && std::wstring(argv[9]) == L"2s";
  // With "undo", the run is then taken back by "元に戻す(&U)".
  const bool undo = argc == 10 && std::wstring(argv[9]) == L"undo";
  // With "sort", two real clicks on the name header first put the rows in
  // descending name order.
  const bool sortByName = argc == 10 && std::wstring(argv[9]) == L"sort";
  const bool asArgument = argc == 10 && std::wstring(argv[9]) == L"argument";
  const std::wstring exe = argv[1];
  const std::wstring folder = argv[2];
  std::vector<std::wstring> fields(argv + 3, argv + 9);

  Program program;
  if (!startProgram(exe, asArgument ? L" \"" + folder + L"\"" : std::wstring(), program))
    return finish();
  const DWORD pid = program.pid;
  HWND main = program.main;
  HWND list = program.list;

  WIN32_FIND_DATAW found{};
  int entries = 0;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..")
        ++entries;
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  checkListShows(list, entries, asArgument ? "given folder's" : "start folder's");
  std::printf("listed\n");
  std::fflush(stdout);
  screenshot();

  if (sortByName) {
    // Ascending with the arrow up, then descending with the arrow down. The
    // order is the one Windows' Japanese locale gives (Latin before kanji,
    // 日 before 文).
    const std::vector<std::wstring> ascending = {L"alpha.txt", L"beta.txt", L"gamma.txt",
                                                 L"日本語.txt", L"文件.txt"};
    const std::vector<std::wstring> descending(ascending.rbegin(), ascending.rend());
    check(list && clickNameHeader(list,
                                  [&] {
                                    return nameHeaderFormat(list, pid) & HDF_SORTUP &&
                                           listedNames(list, pid) == ascending;
                                  }),
          "a click on the name header sorts the rows by name, arrow up");
    check(list && clickNameHeader(list,
                                  [&] {
                                    return nameHeaderFormat(list, pid) & HDF_SORTDOWN &&
                                           listedNames(list, pid) == descending;
                                  }),
          "a second click on the name header reverses them, arrow down");
  }

  // The three times of every file before the run, to the 100-ns tick.
  std::vector<std::pair<std::wstring, WIN32_FILE_ATTRIBUTE_DATA>> before;
  if (undo) {
    search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW((folder + L"\\" + found.cFileName).c_str(), GetFileExInfoStandard,
                             &data);
        before.emplace_back(found.cFileName, data);
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    // Nothing has been stamped yet: the command does nothing.
    check(commandDone(main, kUndo) && !messageWindowShowing(pid, L"元に戻しました") &&
              IsWindowEnabled(main),
          "元に戻す before any run shows nothing and leaves the main window enabled");
  }

  // "TIME変更（&T）", as the menu sends it. Wine keeps menus per process, so
  // the command's identifier cannot be read from the menu from outside.
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(kChangeTimes, 0), 0);

  HWND dialog = nullptr;
  check(waitFor([&] {
          dialog = visibleTopWindow(pid, [](HWND h) { return windowText(h) == L"TIME変更"; });
          return dialog != nullptr;
        }),
        "the time dialog opens");
  check(main && !IsWindowEnabled(main), "the main window is locked while the dialog is open");

  std::vector<HWND> edits;
  if (dialog) {
    for (HWND child : descendants(dialog)) {
      if (_wcsicmp(className(child).c_str(), L"Edit") == 0) edits.push_back(child);
    }
  }
  std::sort(edits.begin(), edits.end(), [](HWND a, HWND b) {
    RECT ra, rb;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.left < rb.left;
  });
  check(edits.size() == 6, "the dialog has six fields");
  for (std::size_t i = 0; i < edits.size() && i < fields.size(); ++i) {
    SendMessageW(edits[i], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fields[i].c_str()));
  }
  if (twoSeconds) {
    HWND radio = dialog ? childByClassAndText(dialog, L"Button", L"秒を繰り上げ") : nullptr;
    check(radio != nullptr, "the dialog has the two-second step");
    if (radio) SendMessageW(radio, BM_CLICK, 0, 0);
    check(radio && SendMessageW(radio, BM_GETCHECK, 0, 0) == BST_CHECKED,
          "the two-second step is chosen");
  }
  if (undo && dialog) {
    // All three times change, so that all three must come back.
    for (const wchar_t* option : {L"作成日時も変更", L"アクセス日時も変更"}) {
      HWND box = childByClassAndText(dialog, L"Button", option);
      check(box != nullptr, "the dialog has " + narrow(option));
      if (box && SendMessageW(box, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        SendMessageW(box, BM_CLICK, 0, 0);
      }
    }
  }
  HWND ok = dialog ? childByClassAndText(dialog, L"Button", L"OK") : nullptr;
  check(ok != nullptr, "the dialog has its OK button");
  if (ok) PostMessageW(ok, BM_CLICK, 0, 0);

  acknowledgeNotice(pid, main, L"変更しました", [&] {
    check(dialog && !IsWindowVisible(dialog), "the time dialog is hidden after the run");
  });

  // The rows as the list shows them now: name and time text, in order. The
  // caller holds them against the disk and its own reckoning of the times.
  const auto names = listedTexts(list, pid, kNameColumn);
  const auto times = listedTexts(list, pid, kTimeColumn);
  check(names && times, "the list's texts can be read");
  for (std::size_t row = 0; names && times && row < names->size() && row < times->size(); ++row) {
    std::printf("row\t%zu\t%s\t%s\n", row, narrow((*names)[row]).c_str(),
                narrow((*times)[row]).c_str());
  }
  std::fflush(stdout);

  if (undo) {
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(kUndo, 0), 0);
    acknowledgeNotice(pid, main, L"元に戻しました", [&] {
      check(main && !IsWindowEnabled(main), "the main window is locked under the notice");
    });
    int exact = 0;
    for (const auto& [name, old] : before) {
      WIN32_FILE_ATTRIBUTE_DATA now{};
      GetFileAttributesExW((folder + L"\\" + name).c_str(), GetFileExInfoStandard, &now);
      const auto same = [](const FILETIME& a, const FILETIME& b) {
        return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
      };
      if (same(now.ftCreationTime, old.ftCreationTime) &&
          same(now.ftLastAccessTime, old.ftLastAccessTime) &&
          same(now.ftLastWriteTime, old.ftLastWriteTime)) {
        ++exact;
      } else {
        std::printf("%s: times differ after the undo\n", narrow(name).c_str());
      }
    }
    check(!before.empty() && exact == static_cast<int>(before.size()),
          std::to_string(exact) + " of " + std::to_string(before.size()) +
              " files have all three times back to the tick");
    // One level: a second undo does nothing.
    check(commandDone(main, kUndo) && !messageWindowShowing(pid, L"元に戻しました"),
          "a second 元に戻す does nothing");
  }

  return closeProgram(program);
}
