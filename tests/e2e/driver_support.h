#pragma once

// What the end-to-end drivers share: the pass and fail count they print,
// reading another process's windows and its list view's texts, starting and
// closing the program, sorting its rows by a header click, and the lines a
// driver prints for its script. Each command's driver takes these from here.

#include <windows.h>
// <commctrl.h> needs the types <windows.h> declares.
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "shell/window_classes.h"

namespace e2e {

inline int passed = 0;
inline int failed = 0;

inline void check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
  std::fflush(stdout);
  (ok ? passed : failed) += 1;
}

// Says how the driver is called; its exit status for a wrong command line.
inline int usage(const char* line) {
  std::fprintf(stderr, "usage: %s\n", line);
  return 2;
}

// Prints the count of checks; the driver's exit status.
inline int finish() {
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}

inline std::string narrow(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

inline std::wstring windowText(HWND hwnd) {
  wchar_t buffer[1024] = {};
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  return buffer;
}

inline std::wstring className(HWND hwnd) {
  wchar_t buffer[128] = {};
  GetClassNameW(hwnd, buffer, 128);
  return buffer;
}

// Polls until the predicate holds or the time is up.
inline bool waitFor(const std::function<bool()>& done, int milliseconds = 20000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

inline std::vector<HWND> topWindowsOf(DWORD processId) {
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == s->pid) s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline std::vector<HWND> descendants(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

inline HWND visibleTopWindow(DWORD pid, const std::function<bool(HWND)>& match) {
  for (HWND hwnd : topWindowsOf(pid)) {
    if (IsWindowVisible(hwnd) && match(hwnd)) return hwnd;
  }
  return nullptr;
}

// The list's columns, as the program lays them out.
constexpr int kNameColumn = 0;
constexpr int kTimeColumn = 2;

// One column's texts as the list shows them, top to bottom; nothing when the
// program's memory cannot be reached. The list view answers LVM_GETITEMTEXTW
// into memory of its own process, so the request and its buffer are placed
// there.
inline std::optional<std::vector<std::wstring>> listedTexts(HWND list, DWORD pid, int column) {
  HANDLE target =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!target) return std::nullopt;
  std::vector<std::wstring> texts;
  constexpr int kChars = 300;
  void* remote = VirtualAllocEx(target, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t),
                                MEM_COMMIT, PAGE_READWRITE);
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; remote && row < rows; ++row) {
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
    WriteProcessMemory(target, remote, &item, sizeof(item), nullptr);
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
    wchar_t text[kChars] = {};
    ReadProcessMemory(target, item.pszText, text, sizeof(text) - sizeof(wchar_t), nullptr);
    texts.push_back(text);
  }
  if (remote) VirtualFreeEx(target, remote, 0, MEM_RELEASE);
  CloseHandle(target);
  return texts;
}

// The names the list shows, top to bottom.
inline std::vector<std::wstring> listedNames(HWND list, DWORD pid) {
  return listedTexts(list, pid, kNameColumn).value_or(std::vector<std::wstring>{});
}

// The format flags of the name column's header item, read like the texts.
inline int nameHeaderFormat(HWND list, DWORD pid) {
  HWND header = FindWindowExW(list, nullptr, WC_HEADERW, nullptr);
  HANDLE target =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!header || !target) return 0;
  int format = 0;
  if (void* remote = VirtualAllocEx(target, nullptr, sizeof(HDITEMW), MEM_COMMIT, PAGE_READWRITE)) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    WriteProcessMemory(target, remote, &item, sizeof(item), nullptr);
    if (SendMessageW(header, HDM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote)) &&
        ReadProcessMemory(target, remote, &item, sizeof(item), nullptr)) {
      format = item.fmt;
    }
    VirtualFreeEx(target, remote, 0, MEM_RELEASE);
  }
  CloseHandle(target);
  return format;
}

// The program started as Explorer starts it, and what of it the drivers use.
struct Program {
  PROCESS_INFORMATION process{};
  DWORD pid = 0;
  HWND main = nullptr;  // the main window, "Chronoseq"
  HWND list = nullptr;  // the entry list in it
};

// Starts exe (shown normally, the command line the quoted exe and then
// arguments) and waits for its main window; false, after a failed check,
// when it cannot be started.
inline bool startProgram(const std::wstring& exe, const std::wstring& arguments, Program& program) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  std::wstring commandLine = L"\"" + exe + L"\"" + arguments;
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &program.process)) {
    check(false, "start the program (error " + std::to_string(GetLastError()) + ")");
    return false;
  }
  program.pid = program.process.dwProcessId;
  check(waitFor([&] {
          // Another window may carry the same text; the main window's class
          // tells it apart.
          program.main = visibleTopWindow(program.pid, [](HWND h) {
            return windowText(h) == L"Chronoseq" && className(h) == shell::kMainWindowClass;
          });
          return program.main != nullptr;
        }),
        "the main window \"Chronoseq\" appears");
  for (HWND child : program.main ? descendants(program.main) : std::vector<HWND>{}) {
    if (className(child) == WC_LISTVIEWW) program.list = child;
  }
  check(program.list != nullptr, "the entry list exists");
  return true;
}

// Closes the main window, checks that the program ends, and prints the
// count; the driver's exit status.
inline int closeProgram(Program& program) {
  PostMessageW(program.main, WM_CLOSE, 0, 0);
  check(WaitForSingleObject(program.process.hProcess, 20000) == WAIT_OBJECT_0,
        "closing the main window ends the program");
  CloseHandle(program.process.hThread);
  CloseHandle(program.process.hProcess);
  return finish();
}

// Checks that the list comes to show `entries` rows, "the list shows the
// <whose> N entries".
inline void checkListShows(HWND list, int entries, const std::string& whose) {
  check(list && waitFor([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == entries; }),
        "the list shows the " + whose + " " + std::to_string(entries) + " entries");
}

// Posts a left click onto the middle of a column's header item, as the
// mouse gives it; false when the list has no header.
inline bool clickColumnHeader(HWND list, int column) {
  HWND header = list ? FindWindowExW(list, nullptr, WC_HEADERW, nullptr) : nullptr;
  if (!header) return false;
  LRESULT x = SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0) / 2;
  for (int left = 0; left < column; ++left) x += SendMessageW(list, LVM_GETCOLUMNWIDTH, left, 0);
  RECT box{};
  GetClientRect(header, &box);
  const LPARAM at = MAKELPARAM(static_cast<int>(x), box.bottom / 2);
  PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(header, WM_LBUTTONUP, 0, at);
  return true;
}

// One click on the time column's header sorts the rows by their times,
// which the caller sets so that this order is not the names' order.
inline void sortByTime(HWND list, DWORD pid, int entries) {
  const std::vector<std::wstring> listed =
      list ? listedNames(list, pid) : std::vector<std::wstring>{};
  if (clickColumnHeader(list, kTimeColumn)) {
    check(waitFor([&] { return listedNames(list, pid) != listed || entries < 2; }, 5000),
          "a click on the time header sorts the rows");
  }
}

// Prints "row<TAB>k<TAB>name" for each row the list shows, top to bottom.
inline void printRows(HWND list, DWORD pid) {
  const std::vector<std::wstring> rows =
      list ? listedNames(list, pid) : std::vector<std::wstring>{};
  for (std::size_t k = 0; k < rows.size(); ++k) {
    std::printf("row\t%zu\t%s\n", k, narrow(rows[k]).c_str());
  }
  std::fflush(stdout);
}

// A text for one line of the driver's output: its line ends as \n.
inline std::string printable(const std::wstring& text) {
  std::string line = narrow(text);
  for (std::size_t at = 0; (at = line.find("\r\n", at)) != std::string::npos;) {
    line.replace(at, 2, "\\n");
  }
  return line;
}

// The program's message window with its label and OK; text gets the label.
inline HWND messageWindow(DWORD pid, std::wstring& text) {
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

// Prints "readback<TAB>name" for each entry of folder, as FindFirstFileW
// gives them back: as the program read the folder.
inline void printReadback(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") std::printf("readback\t%s\n", narrow(name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
}

// The end of a command that writes to folder: waits for the message that
// ends it (a long run may take a while) with the main window locked under
// it, prints "message<TAB>text" and the folder's read-back, and checks that
// the caption is the program's again and that the message's OK gives the
// main window back. `what` names the command in the check, "the copy".
inline void acceptClosingMessage(const Program& program, const std::wstring& folder,
                                 const std::string& what) {
  HWND main = program.main;
  std::wstring text;
  HWND notice = nullptr;
  check(waitFor(
            [&] {
              notice = messageWindow(program.pid, text);
              return notice != nullptr;
            },
            120000),
        "a message ends " + what);
  check(main && !IsWindowEnabled(main), "the main window is locked under the message");
  std::printf("message\t%s\n", printable(text).c_str());
  printReadback(folder);
  check(windowText(main) == L"Chronoseq", "the caption is the program's again");
  for (HWND child : notice ? descendants(notice) : std::vector<HWND>{}) {
    if (className(child) == L"Button" && windowText(child) == L"OK") {
      PostMessageW(child, BM_CLICK, 0, 0);
    }
  }
  check(waitFor([&] { return IsWindowEnabled(main) != FALSE; }),
        "the message's OK gives the main window back");
}

// Wine starts a Linux program through ntdll's own export.
using SpawnFunction = LONG(__cdecl*)(char* const argv[], int wait);

// The whole screen, as the X server shows it, into the PNG file that
// CHRONOSEQ_E2E_SCREENSHOT names (a Linux path), taken before the driver
// goes on. Nothing without that name or outside Wine.
inline void screenshot() {
  char path[1024] = {};
  if (!GetEnvironmentVariableA("CHRONOSEQ_E2E_SCREENSHOT", path, sizeof path)) return;
  const auto spawn = reinterpret_cast<SpawnFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
  if (!spawn) return;
  std::string target = std::string("png:") + path;
  char import[] = "import", window[] = "-window", root[] = "root";
  char* const argv[] = {import, window, root, target.data(), nullptr};
  spawn(argv, 1);
}

}  // namespace e2e
