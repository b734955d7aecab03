#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace platform::win32 {

// A window's text (caption, edit contents, label) as UTF-8.
std::string windowText(HWND hwnd);
void setWindowText(HWND hwnd, std::string_view text);

// A child control of a standard class at a place in its parent's client area.
HWND createControl(const wchar_t* className, std::string_view text, DWORD style, DWORD exStyle,
                   RECT bounds, HWND parent, int id);

}  // namespace platform::win32
