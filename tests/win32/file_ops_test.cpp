// The Win32 file operations of the stamping run against the real file system
// (under Wine here): attributes, existence, the two opens with their share
// modes, SetFileTime on files and folders, long paths and any script.
#include "platform/file_ops.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "fakes/disk_fixture.h"
#include "platform/path.h"
#include "platform/win32/utf.h"

namespace {

using platform::FileTime;
using testdisk::DiskTimes;

constexpr FileTime kOld = 126'300'000'000'000'000ULL;  // in 2001

class Win32FileOps : public testing::Test {
 protected:
  platform::FileOps& fs = platform::systemFileOps();
  testdisk::TempFolder dir;
};

HANDLE openOther(const std::string& path, DWORD access, DWORD share, DWORD flags = 0) {
  return CreateFileW(platform::widen(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                     flags, nullptr);
}

TEST_F(Win32FileOps, AttributesAndExistence) {
  const std::string file = dir.addFile("file.txt");
  const std::string folder = dir.addFolder("folder");
  const std::string readOnly = dir.addFile("readonly.txt");
  testdisk::setReadOnly(readOnly, true);
  const std::string missing = dir.pathOf("missing.txt");
  const std::string inMissing = platform::joinPath(dir.pathOf("nofolder"), "x.txt");

  EXPECT_EQ(fs.readAttributes(file) & (platform::kAttrDirectory | platform::kAttrReadOnly), 0u);
  EXPECT_NE(fs.readAttributes(folder) & platform::kAttrDirectory, 0u);
  EXPECT_NE(fs.readAttributes(readOnly) & platform::kAttrReadOnly, 0u);
  EXPECT_EQ(fs.readAttributes(missing), platform::kInvalidAttributes);
  EXPECT_EQ(fs.readAttributes(inMissing), platform::kInvalidAttributes);

  EXPECT_TRUE(fs.fileExists(file));
  EXPECT_TRUE(fs.fileExists(readOnly));
  EXPECT_FALSE(fs.fileExists(folder));
  EXPECT_FALSE(fs.fileExists(missing));
  EXPECT_FALSE(fs.fileExists(inMissing));

  EXPECT_TRUE(fs.folderExists(folder));
  EXPECT_FALSE(fs.folderExists(file));
  EXPECT_FALSE(fs.folderExists(missing));
}

TEST_F(Win32FileOps, OpenFailuresCarryTheWindowsCode) {
  const std::string folder = dir.addFolder("folder");
  struct Case {
    std::string path;
    bool asFolder;
    platform::OsErrorCode expected;
  };
  const Case cases[] = {
      {dir.pathOf("missing.txt"), false, ERROR_FILE_NOT_FOUND},
      {platform::joinPath(dir.pathOf("nofolder"), "x.txt"), false, ERROR_PATH_NOT_FOUND},
      {dir.pathOf("missing"), true, ERROR_FILE_NOT_FOUND},
      {folder, false, ERROR_ACCESS_DENIED},  // a folder is no file
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const platform::OpenResult r = c.asFolder ? fs.openFolder(c.path) : fs.openFile(c.path);
    EXPECT_EQ(r.entry, nullptr);
    EXPECT_EQ(r.error, c.expected);
  }
}

TEST_F(Win32FileOps, FileOpenSharesNothing) {
  const std::string file = dir.addFile("file.txt");
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
  const std::string folder = dir.addFolder("folder");
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

TEST_F(Win32FileOps, SetTimesChangesOnlyTheGivenTimes) {
  for (const bool folder : {false, true}) {
    SCOPED_TRACE(folder ? "folder" : "file");
    const std::string path = folder ? dir.addFolder("f") : dir.addFile("f.txt");
    testdisk::writeTimes(path, {kOld, kOld + 10'000'000, kOld + 20'000'000});
    const DiskTimes before = testdisk::readTimes(path);
    // Sub-second ticks: the value is set as given, to 100 ns.
    const FileTime write = kOld + 3'600'000'000'000ULL + 1'234'567;
    {
      platform::OpenResult r = folder ? fs.openFolder(path) : fs.openFile(path);
      ASSERT_NE(r.entry, nullptr) << r.error;
      EXPECT_EQ(r.entry->setTimes(nullptr, nullptr, write), 0u);
    }
    DiskTimes after = testdisk::readTimes(path);
    EXPECT_EQ(after.lastWrite, write);
    EXPECT_EQ(after.lastAccess, before.lastAccess);
    if (!testdisk::creationTimeUnsupported()) EXPECT_EQ(after.creation, before.creation);

    const FileTime all = write + 60 * platform::kTicksPerSecond;
    {
      platform::OpenResult r = folder ? fs.openFolder(path) : fs.openFile(path);
      ASSERT_NE(r.entry, nullptr) << r.error;
      EXPECT_EQ(r.entry->setTimes(&all, &all, all), 0u);
    }
    after = testdisk::readTimes(path);
    EXPECT_EQ(after.lastWrite, all);
    EXPECT_EQ(after.lastAccess, all);
    if (!testdisk::creationTimeUnsupported()) EXPECT_EQ(after.creation, all);
    testdisk::removeEntry(path);
  }
  if (const auto reason = testdisk::creationTimeUnsupported()) {
    GTEST_SKIP() << "creation times unchecked: " << *reason;
  }
}

TEST_F(Win32FileOps, NamesInAnyScript) {
  for (const char* name : {"文件.txt", "Ελληνικά.txt", "\xF0\x9F\x98\x80.txt", "ｶﾀｶﾅ①.txt"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.addFile(name);
    EXPECT_TRUE(fs.fileExists(path));
    EXPECT_NE(fs.readAttributes(path), platform::kInvalidAttributes);
    platform::OpenResult r = fs.openFile(path);
    ASSERT_NE(r.entry, nullptr) << r.error;
    EXPECT_EQ(r.entry->setTimes(nullptr, nullptr, kOld), 0u);
    r.entry.reset();
    EXPECT_EQ(testdisk::readTimes(path).lastWrite, kOld);
  }
}

TEST_F(Win32FileOps, PathsLongerThanMaxPath) {
  // Nested folders made through the "\\?\" form until the path is long.
  std::string folder = dir.path();
  while (folder.size() < MAX_PATH + 40) {
    folder = platform::joinPath(folder, std::string(60, 'd'));
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + platform::widen(folder)).c_str(), nullptr));
  }
  const std::string file = platform::joinPath(folder, "long.txt");
  const HANDLE h = CreateFileW((L"\\\\?\\" + platform::widen(file)).c_str(), GENERIC_WRITE,
                               0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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

TEST_F(Win32FileOps, LinkIsTakenAsItself) {
  const std::string target = dir.addFile("target.txt");
  testdisk::writeTimes(target, {kOld, kOld, kOld});
  const std::string link = dir.pathOf("link.txt");
  if (!testdisk::makeSymlink(target, link, false)) {
    GTEST_SKIP() << "symbolic links cannot be made here (Wine 8's CreateSymbolicLinkW reports "
                    "success and makes no link)";
  }
  EXPECT_NE(fs.readAttributes(link) & platform::kAttrReparsePoint, 0u);
  EXPECT_TRUE(fs.fileExists(link));
  platform::OpenResult r = fs.openFile(link);
  ASSERT_NE(r.entry, nullptr) << r.error;
  const FileTime write = kOld + 600 * platform::kTicksPerSecond;
  EXPECT_EQ(r.entry->setTimes(nullptr, nullptr, write), 0u);
  r.entry.reset();
  EXPECT_EQ(testdisk::readTimes(link).lastWrite, write);
  EXPECT_EQ(testdisk::readTimes(target).lastWrite, kOld);
}

bool wineAsRoot() {
  wchar_t name[64];
  DWORD size = 64;
  return testdisk::runningUnderWine() && GetUserNameW(name, &size) && std::wstring(name) == L"root";
}

TEST_F(Win32FileOps, ReadOnlyFileCannotBeOpenedForWriting) {
  if (wineAsRoot()) {
    GTEST_SKIP() << "Wine leaves the read-only check to the Unix permission bits, which do not "
                    "bind root";
  }
  const std::string file = dir.addFile("readonly.txt");
  testdisk::setReadOnly(file, true);
  const platform::OpenResult r = fs.openFile(file);
  EXPECT_EQ(r.entry, nullptr);
  EXPECT_EQ(r.error, static_cast<platform::OsErrorCode>(ERROR_ACCESS_DENIED));
}

}  // namespace
