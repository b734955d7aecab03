// Small text files on Windows: read sharing readers only, written to a new
// file that is moved over the old one in one step.
#include "platform/text_files.h"

#include <windows.h>

#include <string>
#include <utility>

#include "platform/win32/handles.h"
#include "platform/win32/long_path.h"
#include "platform/win32/utf.h"

namespace platform {

namespace {

class HandleReadStream : public ReadStream {
 public:
  explicit HandleReadStream(win32::UniqueHandle handle) : handle_(std::move(handle)) {}

  OsErrorCode read(char* buffer, std::size_t capacity, std::size_t& got) override {
    DWORD read = 0;
    const DWORD asked = capacity > 0x10000 ? 0x10000 : static_cast<DWORD>(capacity);
    got = 0;
    if (!ReadFile(handle_.get(), buffer, asked, &read, nullptr)) return GetLastError();
    got = read;
    return 0;
  }

 private:
  win32::UniqueHandle handle_;
};

class HandleWriteStream : public WriteStream {
 public:
  explicit HandleWriteStream(win32::UniqueHandle handle) : handle_(std::move(handle)) {}

  OsErrorCode write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const DWORD asked = bytes.size() > 0x10000 ? 0x10000 : static_cast<DWORD>(bytes.size());
      DWORD written = 0;
      if (!WriteFile(handle_.get(), bytes.data(), asked, &written, nullptr)) return GetLastError();
      if (written == 0) return ERROR_WRITE_FAULT;
      bytes.remove_prefix(written);
    }
    return 0;
  }

  OsErrorCode flush() override { return FlushFileBuffers(handle_.get()) ? 0 : GetLastError(); }

  OsErrorCode close() override { return win32::closeNow(handle_); }

 private:
  win32::UniqueHandle handle_;
};

class Win32TextFiles : public TextFiles {
 public:
  bool fileExists(const std::string& path) override { return win32::fileExistsAt(path); }

  Opened<ReadStream> openForReading(const std::string& path) override {
    win32::UniqueHandle handle =
        win32::adoptHandle(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return {nullptr, GetLastError()};
    return {std::make_unique<HandleReadStream>(std::move(handle)), 0};
  }

  OsErrorCode checkWritable(const std::string& path) override {
    // Windows refuses the open below for a read-only file; Wine running as
    // root leaves that to the Unix permission bits, which do not bind root.
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      return ERROR_ACCESS_DENIED;
    }
    const win32::UniqueHandle handle =
        win32::adoptHandle(CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle ? 0 : GetLastError();
  }

  Opened<WriteStream> create(const std::string& path) override {
    // Others may read it while it is written, not write it.
    win32::UniqueHandle handle =
        win32::adoptHandle(CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return {nullptr, GetLastError()};
    return {std::make_unique<HandleWriteStream>(std::move(handle)), 0};
  }

  OsErrorCode replace(const std::string& from, const std::string& to) override {
    const BOOL moved = MoveFileExW(widen(from).c_str(), widen(to).c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    return moved ? 0 : GetLastError();
  }

  OsErrorCode remove(const std::string& path) override {
    return DeleteFileW(widen(path).c_str()) ? 0 : GetLastError();
  }
};

}  // namespace

TextFiles& systemTextFiles() {
  static Win32TextFiles files;  // stateless
  return files;
}

}  // namespace platform
