#pragma once

// The system calls through which the Win32 copy operations reach files,
// folders and volumes. A test puts its own in their place to see each
// argument as it reaches the system (a path in its long form), or to answer
// as Windows does where Wine does not (a short read, a removable drive, a
// failing flush or close).

#include <windows.h>

#include <functional>
#include <memory>

#include "platform/copy_ops.h"

namespace platform::win32 {

struct CopyCalls {
  std::function<HANDLE(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)>
      createFile = ::CreateFileW;
  std::function<HANDLE(LPCWSTR, FINDEX_INFO_LEVELS, LPVOID, FINDEX_SEARCH_OPS, LPVOID, DWORD)>
      findFirstFile = ::FindFirstFileExW;
  std::function<BOOL(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)> readFile = ::ReadFile;
  std::function<BOOL(HANDLE)> flushFileBuffers = ::FlushFileBuffers;
  // Closes a copy's new file, the one close whose result counts.
  std::function<BOOL(HANDLE)> closeHandle = ::CloseHandle;
  std::function<UINT(LPCWSTR)> getDriveType = ::GetDriveTypeW;
  std::function<BOOL(LPCWSTR, LPWSTR, DWORD, LPDWORD, LPDWORD, LPDWORD, LPWSTR, DWORD)>
      getVolumeInformation = ::GetVolumeInformationW;
};

// The system's copy operations with their calls going through these.
std::unique_ptr<CopyOps> copyOpsWithCalls(CopyCalls calls);

}  // namespace platform::win32
