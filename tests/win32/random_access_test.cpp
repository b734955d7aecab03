// Reading files at offsets on Windows: shared with every other program's
// open that allows reading, refused where another holds the file without
// sharing it, and under paths beyond MAX_PATH and in any script.
#include "platform/random_access.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "fakes/temp_folder.h"
#include "platform/path.h"
#include "platform/win32/utf.h"

namespace {

const std::string kContent = "0123456789abcdefghij";

std::string readAll(platform::RandomAccessFile& file, std::uint64_t at, std::size_t count) {
  std::string out(count, '\0');
  out.resize(file.readAt(at, out.data(), count));
  return out;
}

TEST(Win32RandomAccess, ReadsAtOffsetsUpToTheEnd) {
  testsupport::TempFolder dir;
  const std::string path = dir.createFile("写真 2024.jpg", kContent);
  const auto file = platform::openRandomAccess(path);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->size(), kContent.size());
  EXPECT_EQ(readAll(*file, 10, 5), "abcde");
  EXPECT_EQ(readAll(*file, 0, 3), "012");
  EXPECT_EQ(readAll(*file, 15, 100), "fghij");
  EXPECT_EQ(readAll(*file, 20, 4), "");
  EXPECT_EQ(readAll(*file, 1ull << 40, 4), "");
}

TEST(Win32RandomAccess, SharesTheFileAndGivesWayToAnExclusiveHolder) {
  testsupport::TempFolder dir;
  const std::string path = dir.createFile("held.mp4", kContent);
  {
    // Another program writing the file while it is read.
    const HANDLE writer = CreateFileW(platform::widen(path).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    const auto file = platform::openRandomAccess(path);
    EXPECT_NE(file, nullptr);
    CloseHandle(writer);
  }
  {
    const auto hold = testsupport::holdExclusively(path);
    ASSERT_NE(hold, nullptr);
    EXPECT_EQ(platform::openRandomAccess(path), nullptr);
  }
  EXPECT_EQ(platform::openRandomAccess(dir.pathOf("missing.jpg")), nullptr);
  EXPECT_EQ(platform::openRandomAccess(dir.path()), nullptr) << "a folder is no file";
}

TEST(Win32RandomAccess, PathsLongerThanMaxPath) {
  testsupport::TempFolder dir;
  std::string folder = dir.path();
  while (folder.size() < MAX_PATH + 40) {
    folder = platform::joinPath(folder, std::string(60, 'd'));
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + platform::widen(folder)).c_str(), nullptr));
  }
  const std::string path = platform::joinPath(folder, "long.jpg");
  const HANDLE h = CreateFileW((L"\\\\?\\" + platform::widen(path)).c_str(), GENERIC_WRITE, 0,
                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(h, kContent.data(), static_cast<DWORD>(kContent.size()), &written, nullptr);
  CloseHandle(h);
  const auto file = platform::openRandomAccess(path);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(readAll(*file, 5, 5), "56789");
}

}  // namespace
