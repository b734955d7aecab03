// Files read at offsets on Windows: ReadFile with the offset in an
// OVERLAPPED on a synchronous handle. The file is shared with readers,
// writers and deleters alike, so reading it never stands in another
// program's way; a file another program holds without sharing reading
// gives nothing.
#include "platform/random_access.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/long_path.h"

namespace platform {

namespace {

class HandleFile : public RandomAccessFile {
 public:
  HandleFile(win32::UniqueHandle handle, std::uint64_t size)
      : handle_(std::move(handle)), size_(size) {}

  std::uint64_t size() const override { return size_; }

  std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
    std::size_t got = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (got < count) {
      const std::uint64_t at = offset + got;
      OVERLAPPED where{};
      where.Offset = static_cast<DWORD>(at & 0xFFFF'FFFFu);
      where.OffsetHigh = static_cast<DWORD>(at >> 32);
      const std::size_t left = count - got;
      const DWORD asked = left > 0x10'0000 ? 0x10'0000 : static_cast<DWORD>(left);
      DWORD read = 0;
      if (!ReadFile(handle_.get(), bytes + got, asked, &read, &where) || read == 0) break;
      got += read;
    }
    return got;
  }

 private:
  win32::UniqueHandle handle_;
  std::uint64_t size_;
};

}  // namespace

std::unique_ptr<RandomAccessFile> openRandomAccess(const std::string& path) {
  win32::UniqueHandle handle =
      win32::adoptHandle(CreateFileW(win32::toWinPath(path).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return nullptr;
  // A device or a pipe by a file's name has no size of its own.
  if (GetFileType(handle.get()) != FILE_TYPE_DISK) return nullptr;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle.get(), &size) || size.QuadPart < 0) return nullptr;
  return std::make_unique<HandleFile>(std::move(handle), static_cast<std::uint64_t>(size.QuadPart));
}

}  // namespace platform
