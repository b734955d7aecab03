#pragma once

// FILETIME and the program's file time hold the same 100-ns ticks since
// 1601: as two halves, and as one number.

#include <windows.h>

#include "platform/file_time.h"

namespace platform::win32 {

inline FILETIME toFiletime(FileTime t) {
  return FILETIME{static_cast<DWORD>(t & 0xFFFF'FFFFu), static_cast<DWORD>(t >> 32)};
}

inline FileTime fromFiletime(const FILETIME& ft) {
  return (static_cast<FileTime>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

}  // namespace platform::win32
