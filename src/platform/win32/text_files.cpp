// Small text files on Windows: read sharing readers only, written to a new
// file that is moved over the old one in one step.
#include "platform/text_files.h"

#include <windows.h>

#include <string>

#include "platform/win32/long_path.h"
#include "platform/win32/utf.h"

namespace platform {

namespace {

class HandleReadStream : public ReadStream {
 public:
  explicit HandleReadStream(HANDLE handle) : handle_(handle) {}
  HandleReadStream(const HandleReadStream&) = delete;
  HandleReadStream& operator=(const HandleReadStream&) = delete;
  ~HandleReadStream() override { CloseHandle(handle_); }

  OsErrorCode read(char* buffer, std::size_t capacity, std::size_t& got) override {
    DWORD read = 0;
    const DWORD asked = capacity > 0x10000 ? 0x10000 : static_cast<DWORD>(capacity);
    got = 0;
    if (!ReadFile(handle_, buffer, asked, &read, nullptr)) return GetLastError();
    got = read;
    return 0;
  }

 private:
  HANDLE handle_;
};

class HandleWriteStream : public WriteStream {
 public:
  explicit HandleWriteStream(HANDLE handle) : handle_(handle) {}
  HandleWriteStream(const HandleWriteStream&) = delete;
  HandleWriteStream& operator=(const HandleWriteStream&) = delete;
  ~HandleWriteStream() override { close(); }

  OsErrorCode write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const DWORD asked = bytes.size() > 0x10000 ? 0x10000 : static_cast<DWORD>(bytes.size());
      DWORD written = 0;
      if (!WriteFile(handle_, bytes.data(), asked, &written, nullptr)) return GetLastError();
      if (written == 0) return ERROR_WRITE_FAULT;
      bytes.remove_prefix(written);
    }
    return 0;
  }

  OsErrorCode flush() override { return FlushFileBuffers(handle_) ? 0 : GetLastError(); }

  OsErrorCode close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return 0;
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) ? 0 : GetLastError();
  }

 private:
  HANDLE handle_;
};

class Win32TextFiles : public TextFiles {
 public:
  bool fileExists(const std::string& path) override { return win32::fileExistsAt(path); }

  Opened<ReadStream> openForReading(const std::string& path) override {
    const HANDLE handle = CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {nullptr, GetLastError()};
    return {std::make_unique<HandleReadStream>(handle), 0};
  }

  OsErrorCode checkWritable(const std::string& path) override {
    // Windows refuses the open below for a read-only file; Wine running as
    // root leaves that to the Unix permission bits, which do not bind root.
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      return ERROR_ACCESS_DENIED;
    }
    const HANDLE handle = CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return GetLastError();
    CloseHandle(handle);
    return 0;
  }

  Opened<WriteStream> create(const std::string& path) override {
    // Others may read it while it is written, not write it.
    const HANDLE handle = CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {nullptr, GetLastError()};
    return {std::make_unique<HandleWriteStream>(handle), 0};
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
