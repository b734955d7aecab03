#pragma once

// Paths handed to the program from outside: its first argument (Explorer's
// "送る" and a drop onto the exe's icon pass one) and files dropped onto the
// main window.

#include <windows.h>
// The headers below need the types <windows.h> declares.
#include <shellapi.h>

#include <functional>
#include <string>

namespace shell {

// The first argument after the program's name, as the C runtime splits the
// command line; empty without one.
std::wstring firstArgument(const wchar_t* commandLine);

// A path as given, its quotes read as app::unquotedPath reads them ("D:\"
// arrives as D:" and is the drive's root), made absolute against the
// current directory. A path that cannot be made absolute stays as given.
std::wstring absolutePath(std::wstring path);

// Windows' ChangeWindowMessageFilterEx, or a test's stand-in for it.
using MessageFilter = std::function<BOOL(HWND, UINT message, DWORD action)>;

// Run as administrator, a window gets no drop from Explorer (which runs
// with less) unless it lets through WM_DROPFILES, WM_COPYDATA and 0x0049,
// the message that carries the drop's data: these three are allowed.
void letDropsThrough(HWND window, const MessageFilter& filter);
// The same through ChangeWindowMessageFilterEx.
void letDropsThrough(HWND window);

// The first of the dropped items; empty when there is none.
std::wstring firstDropped(HDROP drop);

}  // namespace shell
