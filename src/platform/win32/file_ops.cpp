// The file-system operations of the stamping run on Windows. Every call
// takes a link or junction as itself: attribute reads and FindFirstFileW
// report the link's own entry, and both opens carry
// FILE_FLAG_OPEN_REPARSE_POINT so that SetFileTime reaches the link, never
// its target.
#include "platform/file_ops.h"

#include <windows.h>

#include <string>
#include <utility>

#include "platform/win32/file_time_calls.h"
#include "platform/win32/filetime.h"
#include "platform/win32/handles.h"
#include "platform/win32/long_path.h"
#include "platform/win32/utf.h"

namespace platform {

namespace {

using win32::fromFiletime;
using win32::toFiletime;

class HandleEntry : public OpenEntry {
 public:
  HandleEntry(win32::UniqueHandle handle, const win32::FileTimeCalls& calls)
      : handle_(std::move(handle)), calls_(calls) {}

  OsErrorCode setTimes(const FileTime* creation, const FileTime* lastAccess,
                       const FileTime& lastWrite) override {
    const FILETIME c = creation ? toFiletime(*creation) : FILETIME{};
    const FILETIME a = lastAccess ? toFiletime(*lastAccess) : FILETIME{};
    const FILETIME w = toFiletime(lastWrite);
    if (calls_.setFileTime(handle_.get(), creation ? &c : nullptr, lastAccess ? &a : nullptr, &w)) {
      return 0;
    }
    return GetLastError();
  }

  OsErrorCode readTimes(EntryTimes& times) override {
    FILETIME c{};
    FILETIME a{};
    FILETIME w{};
    if (!calls_.getFileTime(handle_.get(), &c, &a, &w)) return GetLastError();
    times.creation = fromFiletime(c);
    times.lastAccess = fromFiletime(a);
    times.lastWrite = fromFiletime(w);
    return 0;
  }

 private:
  win32::UniqueHandle handle_;
  const win32::FileTimeCalls& calls_;  // the file operations' own, which outlive the entry
};

OpenResult open(const std::string& path, DWORD access, DWORD share, DWORD flags,
                const win32::FileTimeCalls& calls) {
  win32::UniqueHandle handle =
      win32::adoptHandle(CreateFileW(win32::toWinPath(path).c_str(), access, share, nullptr,
                                     OPEN_EXISTING, flags | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!handle) return {nullptr, GetLastError()};
  return {std::make_unique<HandleEntry>(std::move(handle), calls), 0};
}

class Win32FileOps : public FileOps {
 public:
  explicit Win32FileOps(win32::FileTimeCalls calls = {}) : calls_(std::move(calls)) {}

  std::uint32_t readAttributes(const std::string& path) override {
    // INVALID_FILE_ATTRIBUTES is kInvalidAttributes.
    return GetFileAttributesW(win32::toWinPath(path).c_str());
  }

  bool fileExists(const std::string& path) override { return win32::fileExistsAt(path); }

  bool folderExists(const std::string& path) override {
    const DWORD attributes = GetFileAttributesW(win32::toWinPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

  OpenResult openFile(const std::string& path) override {
    // No sharing: the open fails while any other program has the file open.
    return open(path, GENERIC_READ | GENERIC_WRITE, 0, FILE_ATTRIBUTE_NORMAL, calls_);
  }

  OpenResult openFolder(const std::string& path) override {
    // Reading the attributes as well lets the old times be kept before they change.
    return open(path, GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                FILE_FLAG_BACKUP_SEMANTICS, calls_);
  }

 private:
  win32::FileTimeCalls calls_;
};

}  // namespace

FileOps& systemFileOps() {
  static Win32FileOps ops;  // holds only the system's calls
  return ops;
}

std::unique_ptr<FileOps> win32::fileOpsWithTimeCalls(win32::FileTimeCalls calls) {
  return std::make_unique<Win32FileOps>(std::move(calls));
}

}  // namespace platform
