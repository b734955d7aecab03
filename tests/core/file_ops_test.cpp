// The system file operations of the stamping run, the same contract on both
// backends: POSIX natively, Win32 under Wine.
#include "platform/file_ops.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/disk_fixture.h"
#include "platform/path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

using platform::FileTime;
using testdisk::DiskTimes;

constexpr FileTime kOld = 126'300'000'000'000'000ULL;  // in 2001

// True when permissions bind this process: root (and Wine running as root,
// which leaves the check to the Unix permission bits) opens anything.
bool permissionsBind() {
#ifdef _WIN32
  wchar_t name[64];
  DWORD size = 64;
  return !(testdisk::runningUnderWine() && GetUserNameW(name, &size) &&
           std::wstring(name) == L"root");
#else
  return geteuid() != 0;
#endif
}

class SystemFileOps : public testing::Test {
 protected:
  platform::FileOps& fs = platform::systemFileOps();
  testdisk::TempFolder dir;
};

TEST_F(SystemFileOps, AttributesAndExistence) {
  const std::string file = dir.addFile("file.txt");
  const std::string folder = dir.addFolder("folder");
  const std::string readOnly = dir.addFile("readonly.txt");
  testdisk::setReadOnly(readOnly, true);
  const std::string missing = dir.pathOf("missing.txt");
  const std::string inMissing = platform::joinPath(dir.pathOf("nofolder"), "x.txt");

  EXPECT_EQ(fs.readAttributes(file) & (platform::kAttrDirectory | platform::kAttrReadOnly), 0u);
  EXPECT_NE(fs.readAttributes(folder) & platform::kAttrDirectory, 0u);
  EXPECT_EQ(fs.readAttributes(folder) & platform::kAttrReadOnly, 0u);
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

TEST_F(SystemFileOps, OpenFailuresCarryTheWindowsCode) {
  const std::string folder = dir.addFolder("folder");
  struct Case {
    std::string path;
    bool asFolder;
    platform::OsErrorCode expected;
  };
  const Case cases[] = {
      {dir.pathOf("missing.txt"), false, platform::kErrorFileNotFound},
      {platform::joinPath(dir.pathOf("nofolder"), "x.txt"), false, platform::kErrorPathNotFound},
      {dir.pathOf("missing"), true, platform::kErrorFileNotFound},
      {platform::joinPath(dir.pathOf("nofolder"), "sub"), true, platform::kErrorPathNotFound},
      {folder, false, platform::kErrorAccessDenied},  // a folder is no file
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const platform::OpenResult r = c.asFolder ? fs.openFolder(c.path) : fs.openFile(c.path);
    EXPECT_EQ(r.entry, nullptr);
    EXPECT_EQ(r.error, c.expected);
  }
}

TEST_F(SystemFileOps, ReadOnlyFileCannotBeOpenedForWriting) {
  const std::string file = dir.addFile("readonly.txt");
  testdisk::setReadOnly(file, true);
  if (!permissionsBind()) {
    GTEST_SKIP() << "running as root, whom the Unix permission bits do not bind";
  }
  const platform::OpenResult r = fs.openFile(file);
  EXPECT_EQ(r.entry, nullptr);
  EXPECT_EQ(r.error, platform::kErrorAccessDenied);
}

TEST_F(SystemFileOps, SetTimesChangesOnlyTheGivenTimes) {
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
    if (!testdisk::creationTimeUnsupported()) {
      EXPECT_EQ(after.creation, before.creation);
    }

    const FileTime all = write + 60 * platform::kTicksPerSecond;
    {
      platform::OpenResult r = folder ? fs.openFolder(path) : fs.openFile(path);
      ASSERT_NE(r.entry, nullptr) << r.error;
      // A creation time where none can be set is left out, not a failure.
      EXPECT_EQ(r.entry->setTimes(&all, &all, all), 0u);
    }
    after = testdisk::readTimes(path);
    EXPECT_EQ(after.lastWrite, all);
    EXPECT_EQ(after.lastAccess, all);
    if (!testdisk::creationTimeUnsupported()) {
      EXPECT_EQ(after.creation, all);
    }
    testdisk::removeEntry(path);
  }
  if (const auto reason = testdisk::creationTimeUnsupported()) {
    GTEST_SKIP() << "creation times unchecked: " << *reason;
  }
}

TEST_F(SystemFileOps, NamesInAnyScript) {
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

TEST_F(SystemFileOps, LinksAreTakenAsThemselves) {
  testdisk::TempFolder elsewhere;
  const std::string targetFile = elsewhere.addFile("target.txt");
  const std::string targetFolder = elsewhere.addFolder("target");
  testdisk::writeTimes(targetFile, {kOld, kOld, kOld});
  testdisk::writeTimes(targetFolder, {kOld, kOld, kOld});
  const std::string fileLink = dir.pathOf("file.lnk");
  const std::string folderLink = dir.pathOf("folder.lnk");
  if (!testdisk::makeSymlink(targetFile, fileLink, false) ||
      !testdisk::makeSymlink(targetFolder, folderLink, true)) {
    GTEST_SKIP() << "symbolic links cannot be made here (Wine 8's CreateSymbolicLinkW reports "
                    "success and makes no link)";
  }
  EXPECT_NE(fs.readAttributes(fileLink) & platform::kAttrReparsePoint, 0u);
  EXPECT_TRUE(fs.fileExists(fileLink));
  EXPECT_NE(fs.readAttributes(folderLink) & platform::kAttrReparsePoint, 0u);
  EXPECT_TRUE(fs.folderExists(folderLink));
  EXPECT_FALSE(fs.fileExists(folderLink));

  const FileTime write = kOld + 600 * platform::kTicksPerSecond;
  for (const bool folder : {false, true}) {
    SCOPED_TRACE(folder ? "folder link" : "file link");
    const std::string& link = folder ? folderLink : fileLink;
    platform::OpenResult r = folder ? fs.openFolder(link) : fs.openFile(link);
    ASSERT_NE(r.entry, nullptr) << r.error;
    EXPECT_EQ(r.entry->setTimes(nullptr, &write, write), 0u);
    r.entry.reset();
    EXPECT_EQ(testdisk::readTimes(link).lastWrite, write);
    EXPECT_EQ(testdisk::readTimes(link).lastAccess, write);
    const DiskTimes target = testdisk::readTimes(folder ? targetFolder : targetFile);
    EXPECT_EQ(target.lastWrite, kOld);
    EXPECT_EQ(target.lastAccess, kOld);
  }
}

TEST_F(SystemFileOps, DanglingLinkIsAFileOfItsOwn) {
  const std::string link = dir.pathOf("dangling");
  if (!testdisk::makeSymlink(dir.pathOf("nothing-here"), link, false)) {
    GTEST_SKIP() << "symbolic links cannot be made here (Wine 8's CreateSymbolicLinkW reports "
                    "success and makes no link)";
  }
  EXPECT_TRUE(fs.fileExists(link));
  platform::OpenResult r = fs.openFile(link);
  ASSERT_NE(r.entry, nullptr) << r.error;
  EXPECT_EQ(r.entry->setTimes(nullptr, nullptr, kOld), 0u);
  r.entry.reset();
  EXPECT_EQ(testdisk::readTimes(link).lastWrite, kOld);
}

}  // namespace
