#pragma once

// What the end-to-end drivers share: the pass and fail count they print, and
// reading another process's windows and its list view's texts.

#include <windows.h>
// <commctrl.h> needs the types <windows.h> declares.
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <functional>
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

// The names the list shows, top to bottom. The list view answers
// LVM_GETITEMTEXTW into memory of its own process, so the request and its
// buffer are placed there.
inline std::vector<std::wstring> listedNames(HWND list, DWORD pid) {
  std::vector<std::wstring> names;
  HANDLE target =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!target) return names;
  constexpr int kChars = 300;
  void* remote = VirtualAllocEx(target, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t),
                                MEM_COMMIT, PAGE_READWRITE);
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; remote && row < rows; ++row) {
    LVITEMW item{};
    item.iSubItem = 0;
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
    WriteProcessMemory(target, remote, &item, sizeof(item), nullptr);
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
    wchar_t name[kChars] = {};
    ReadProcessMemory(target, item.pszText, name, sizeof(name) - sizeof(wchar_t), nullptr);
    names.push_back(name);
  }
  if (remote) VirtualFreeEx(target, remote, 0, MEM_RELEASE);
  CloseHandle(target);
  return names;
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
