// What only the Win32 text files have: share modes while reading and at the
// writability check. The contract both backends keep is tested with the
// settings file in tests/core/settings_file_test.cpp.
#include "platform/text_files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "fakes/temp_folder.h"
#include "platform/win32/utf.h"

namespace {

HANDLE openOther(const std::string& path, DWORD access, DWORD share) {
  return CreateFileW(platform::widen(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

class Win32TextFiles : public testing::Test {
 protected:
  platform::TextFiles& files = platform::systemTextFiles();
  testsupport::TempFolder dir;
  std::string path = dir.createFile("Chronoseq.INI", "1\r\n");
};

TEST_F(Win32TextFiles, ReadingLetsOthersReadButNotWrite) {
  platform::Opened<platform::ReadStream> opened = files.openForReading(path);
  ASSERT_TRUE(opened.stream);
  const HANDLE reader = openOther(path, GENERIC_READ, FILE_SHARE_READ);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
  const HANDLE writer = openOther(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
}

TEST_F(Win32TextFiles, AFileAnotherProgramWritesCannotBeRead) {
  const HANDLE writer = openOther(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const platform::Opened<platform::ReadStream> opened = files.openForReading(path);
  EXPECT_FALSE(opened.stream);
  EXPECT_EQ(opened.error, static_cast<platform::OsErrorCode>(ERROR_SHARING_VIOLATION));
  CloseHandle(writer);
}

TEST_F(Win32TextFiles, TheWritabilityCheckMeetsOtherHandlesAndTheReadOnlyAttribute) {
  const struct {
    const char* what;
    DWORD access;
    DWORD share;
    platform::OsErrorCode expected;
  } cases[] = {
      {"a reader that shares reading only", GENERIC_READ, FILE_SHARE_READ, ERROR_SHARING_VIOLATION},
      {"a reader that shares nothing", GENERIC_READ, 0, ERROR_SHARING_VIOLATION},
      {"a reader that shares writing", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0},
  };
  for (const auto& c : cases) {
    const HANDLE other = openOther(path, c.access, c.share);
    ASSERT_NE(other, INVALID_HANDLE_VALUE) << c.what;
    EXPECT_EQ(files.checkWritable(path), c.expected) << c.what;
    CloseHandle(other);
  }
  EXPECT_EQ(files.checkWritable(path), 0u) << "nobody holds it";
  SetFileAttributesW(platform::widen(path).c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(files.checkWritable(path), static_cast<platform::OsErrorCode>(ERROR_ACCESS_DENIED));
  SetFileAttributesW(platform::widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32TextFiles, ReplacingPutsTheNewFileInPlaceOfTheOld) {
  const std::string fresh = dir.createFile("Chronoseq.INI.tmp", "2\r\n");
  ASSERT_EQ(files.replace(fresh, path), 0u);
  EXPECT_EQ(GetFileAttributesW(platform::widen(fresh).c_str()), INVALID_FILE_ATTRIBUTES);
  platform::Opened<platform::ReadStream> opened = files.openForReading(path);
  ASSERT_TRUE(opened.stream);
  char buffer[16] = {};
  std::size_t got = 0;
  ASSERT_EQ(opened.stream->read(buffer, sizeof buffer, got), 0u);
  EXPECT_EQ(std::string(buffer, got), "2\r\n");
}

}  // namespace
