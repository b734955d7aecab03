#pragma once

// The two system calls through which the file operations set and read an
// entry's times. A test puts its own in their place to see each argument as
// it reaches the system: Wine accepts a creation time and drops it, so only
// the call itself shows which time went where.

#include <windows.h>

#include <functional>
#include <memory>

#include "platform/file_ops.h"

namespace platform::win32 {

struct FileTimeCalls {
  // Arguments in SetFileTime's order: creation, last access, last write; a
  // null one leaves that time unchanged.
  std::function<BOOL(HANDLE, const FILETIME*, const FILETIME*, const FILETIME*)> setFileTime =
      ::SetFileTime;
  std::function<BOOL(HANDLE, FILETIME*, FILETIME*, FILETIME*)> getFileTime = ::GetFileTime;
};

// The system's file operations with the times going through calls.
std::unique_ptr<FileOps> fileOpsWithTimeCalls(FileTimeCalls calls);

}  // namespace platform::win32
