// What only the Win32 file operations have: the two opens' share modes and
// paths beyond MAX_PATH. The contract both backends keep is tested in
// tests/core/file_ops_test.cpp.
#include "platform/file_ops.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "fakes/temp_folder.h"
#include "platform/path.h"
#include "platform/win32/utf.h"

namespace {

using platform::FileTime;
using testsupport::EntryTimes;

constexpr FileTime kOld = 126'300'000'000'000'000ULL;  // in 2001

class Win32FileOps : public testing::Test {
 protected:
  platform::FileOps& fs = platform::systemFileOps();
  testsupport::TempFolder dir;
};

HANDLE openOther(const std::string& path, DWORD access, DWORD share, DWORD flags = 0) {
  return CreateFileW(platform::widen(path).c_str(), access, share, nullptr, OPEN_EXISTING, flags,
                     nullptr);
}

TEST_F(Win32FileOps, FileOpenSharesNothing) {
  const std::string file = dir.createFile("file.txt");
  {
    // Held by another handle, even one sharing everything: this open fails.
    const HANDLE other =
        openOther(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const platform::OpenResult r = fs.openFile(file);
    EXPECT_EQ(r.entry, nullptr);
    EXPECT_EQ(r.error, static_cast<platform::OsErrorCode>(ERROR_SHARING_VIOLATION));
    CloseHandle(other);
  }
  {
    // While this one is held, nobody else gets in; closing releases it.
    platform::OpenResult r = fs.openFile(file);
    ASSERT_NE(r.entry, nullptr) << r.error;
    const HANDLE other =
        openOther(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    r.entry.reset();
    const HANDLE after = openOther(file, GENERIC_READ, 0);
    EXPECT_NE(after, INVALID_HANDLE_VALUE);
    CloseHandle(after);
  }
}

TEST_F(Win32FileOps, FolderOpenSharesReadingOnly) {
  const std::string folder = dir.createFolder("folder");
  platform::OpenResult r = fs.openFolder(folder);
  ASSERT_NE(r.entry, nullptr) << r.error;
  const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  const HANDLE reader = openOther(folder, GENERIC_READ, shareAll, FILE_FLAG_BACKUP_SEMANTICS);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE) << "reading is shared";
  CloseHandle(reader);
  const HANDLE writer = openOther(folder, GENERIC_WRITE, shareAll, FILE_FLAG_BACKUP_SEMANTICS);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE) << "writing is not shared";
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
}

TEST_F(Win32FileOps, PathsLongerThanMaxPath) {
  // Nested folders made through the "\\?\" form until the path is long.
  std::string folder = dir.path();
  while (folder.size() < MAX_PATH + 40) {
    folder = platform::joinPath(folder, std::string(60, 'd'));
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + platform::widen(folder)).c_str(), nullptr));
  }
  const std::string file = platform::joinPath(folder, "long.txt");
  const HANDLE h = CreateFileW((L"\\\\?\\" + platform::widen(file)).c_str(), GENERIC_WRITE, 0,
                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);

  EXPECT_TRUE(fs.fileExists(file));
  EXPECT_TRUE(fs.folderExists(folder));
  EXPECT_EQ(fs.readAttributes(file) & platform::kAttrDirectory, 0u);
  platform::OpenResult r = fs.openFile(file);
  ASSERT_NE(r.entry, nullptr) << r.error;
  EXPECT_EQ(r.entry->setTimes(nullptr, nullptr, kOld), 0u);
  r.entry.reset();
  platform::OpenResult f = fs.openFolder(folder);
  ASSERT_NE(f.entry, nullptr) << f.error;
  EXPECT_EQ(f.entry->setTimes(nullptr, nullptr, kOld), 0u);
}

}  // namespace
