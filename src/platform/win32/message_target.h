#pragma once

// Windows of the program's own classes hand their messages to a C++ object:
// the object is passed as the creation parameter and kept in the window's
// user data until the window is gone.

#include <windows.h>

namespace platform::win32 {

class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

struct TargetClass {
  const wchar_t* name;
  int backgroundColor;  // a COLOR_ index for the class brush
  LPCWSTR cursor;       // a system cursor (IDC_ARROW ...)
  UINT style = 0;       // CS_ flags
};

// Registers the class once per process; later calls find it registered.
void registerTargetClass(const TargetClass& windowClass);

// Creates a window of a class registered above whose messages go to target.
HWND createTargetWindow(MessageTarget& target, const wchar_t* className, DWORD exStyle, DWORD style,
                        const wchar_t* title, RECT bounds, HWND parent, HMENU menuOrId);

}  // namespace platform::win32
