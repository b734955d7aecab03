#pragma once

// Paths handed to the program from outside: its first argument (Explorer's
// "送る" and a drop onto the exe's icon pass one) and files dropped onto the
// main window.

#include <windows.h>
// The headers below need the types <windows.h> declares.
#include <shellapi.h>

#include <string>

namespace shell {

// The first argument after the program's name, as the C runtime splits the
// command line; empty without one.
std::wstring firstArgument(const wchar_t* commandLine);

// A path as given, made absolute against the current directory. A quoted
// path that ends in a backslash reaches the program with a stray quote at
// its end ("C:\My Dir\" becomes C:\My Dir"), which is taken off; so are
// surrounding quotes. A path that cannot be made absolute stays as given.
std::wstring absolutePath(std::wstring path);

// The first of the dropped items; empty when there is none.
std::wstring firstDropped(HDROP drop);

}  // namespace shell
