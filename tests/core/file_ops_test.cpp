// The system file operations of the stamping run, the same contract on both
// backends: POSIX natively, Win32 under Wine.
#include "platform/file_ops.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/temp_folder.h"
#include "platform/path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

using platform::FileTime;
using testsupport::EntryTimes;

constexpr FileTime kOld = 126'300'000'000'000'000ULL;  // in 2001

// True when permissions bind this process: root (and Wine running as root,
// which leaves the check to the Unix permission bits) opens anything.
bool permissionsBind() {
#ifdef _WIN32
  wchar_t name[64];
  DWORD size = 64;
  return !(testsupport::runningUnderWine() && GetUserNameW(name, &size) &&
           std::wstring(name) == L"root");
#else
  return geteuid() != 0;
#endif
}

class SystemFileOps : public testing::Test {
 protected:
  platform::FileOps& fs = platform::systemFileOps();
  testsupport::TempFolder dir;
};

TEST_F(SystemFileOps, AttributesAndExistence) {
  const std::string file = dir.createFile("file.txt");
  const std::string folder = dir.createFolder("folder");
  const std::string readOnly = dir.createFile("readonly.txt");
  testsupport::setReadOnly(readOnly, true);
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
  const std::string folder = dir.createFolder("folder");
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
  const std::string file = dir.createFile("readonly.txt");
  testsupport::setReadOnly(file, true);
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
    const std::string path = folder ? dir.createFolder("f") : dir.createFile("f.txt");
    testsupport::setTimes(path, {kOld, kOld + 10'000'000, kOld + 20'000'000});
    const EntryTimes before = testsupport::readTimes(path);
    // Sub-second ticks: the value is set as given, to 100 ns.
    const FileTime write = kOld + 3'600'000'000'000ULL + 1'234'567;
    {
      platform::OpenResult r = folder ? fs.openFolder(path) : fs.openFile(path);
      ASSERT_NE(r.entry, nullptr) << r.error;
      EXPECT_EQ(r.entry->setTimes(nullptr, nullptr, write), 0u);
    }
    EntryTimes after = testsupport::readTimes(path);
    EXPECT_EQ(after.lastWrite, write);
    EXPECT_EQ(after.lastAccess, before.lastAccess);
    if (!testsupport::creationTimeUnsupported()) {
      EXPECT_EQ(after.creation, before.creation);
    }

    const FileTime all = write + 60 * platform::kTicksPerSecond;
    {
      platform::OpenResult r = folder ? fs.openFolder(path) : fs.openFile(path);
      ASSERT_NE(r.entry, nullptr) << r.error;
      // A creation time where none can be set is left out, not a failure.
      EXPECT_EQ(r.entry->setTimes(&all, &all, all), 0u);
    }
    after = testsupport::readTimes(path);
    EXPECT_EQ(after.lastWrite, all);
    EXPECT_EQ(after.lastAccess, all);
    if (!testsupport::creationTimeUnsupported()) {
      EXPECT_EQ(after.creation, all);
    }
    testsupport::removeEntry(path);
  }
  if (const auto reason = testsupport::creationTimeUnsupported()) {
    GTEST_SKIP() << "creation times unchecked: " << *reason;
  }
}

TEST_F(SystemFileOps, NamesInAnyScript) {
  for (const char* name : {"文件.txt", "Ελληνικά.txt", "\xF0\x9F\x98\x80.txt", "ｶﾀｶﾅ①.txt"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.createFile(name);
    EXPECT_TRUE(fs.fileExists(path));
    EXPECT_NE(fs.readAttributes(path), platform::kInvalidAttributes);
    platform::OpenResult r = fs.openFile(path);
    ASSERT_NE(r.entry, nullptr) << r.error;
    EXPECT_EQ(r.entry->setTimes(nullptr, nullptr, kOld), 0u);
    r.entry.reset();
    EXPECT_EQ(testsupport::readTimes(path).lastWrite, kOld);
  }
}

TEST_F(SystemFileOps, LinksAreTakenAsThemselves) {
  testsupport::TempFolder elsewhere;
  const std::string targetFile = elsewhere.createFile("target.txt");
  const std::string targetFolder = elsewhere.createFolder("target");
  testsupport::setTimes(targetFile, {kOld, kOld, kOld});
  testsupport::setTimes(targetFolder, {kOld, kOld, kOld});
  const std::string fileLink = dir.pathOf("file.lnk");
  const std::string folderLink = dir.pathOf("folder.lnk");
  if (!testsupport::makeSymlink(targetFile, fileLink, false) ||
      !testsupport::makeSymlink(targetFolder, folderLink, true)) {
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
    EXPECT_EQ(testsupport::readTimes(link).lastWrite, write);
    EXPECT_EQ(testsupport::readTimes(link).lastAccess, write);
    const EntryTimes target = testsupport::readTimes(folder ? targetFolder : targetFile);
    EXPECT_EQ(target.lastWrite, kOld);
    EXPECT_EQ(target.lastAccess, kOld);
  }
}

TEST_F(SystemFileOps, DanglingLinkIsAFileOfItsOwn) {
  const std::string link = dir.pathOf("dangling");
  if (!testsupport::makeSymlink(dir.pathOf("nothing-here"), link, false)) {
    GTEST_SKIP() << "symbolic links cannot be made here (Wine 8's CreateSymbolicLinkW reports "
                    "success and makes no link)";
  }
  EXPECT_TRUE(fs.fileExists(link));
  platform::OpenResult r = fs.openFile(link);
  ASSERT_NE(r.entry, nullptr) << r.error;
  EXPECT_EQ(r.entry->setTimes(nullptr, nullptr, kOld), 0u);
  r.entry.reset();
  EXPECT_EQ(testsupport::readTimes(link).lastWrite, kOld);
}

}  // namespace

// A name joined to a root takes the root's own separator: a doubled one is
// taken literally in the long form, and "D:x" is a place in D:'s current
// folder.
struct JoinCase {
  const char* folder;
  const char* name;
  const char* full;
};

class JoinPath : public testing::TestWithParam<JoinCase> {};

TEST_P(JoinPath, PutsOneSeparatorBetweenFolderAndName) {
  EXPECT_EQ(platform::joinPath(GetParam().folder, GetParam().name), GetParam().full);
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(Table, JoinPath,
                         testing::Values(JoinCase{"D:\\", "x.mp3", "D:\\x.mp3"},
                                         JoinCase{"D:", "x.mp3", "D:\\x.mp3"},
                                         JoinCase{"D:\\Music", "x.mp3", "D:\\Music\\x.mp3"},
                                         JoinCase{"\\\\?\\D:\\", "曲", "\\\\?\\D:\\曲"},
                                         JoinCase{"\\\\pc\\share\\", "x", "\\\\pc\\share\\x"}));
#else
INSTANTIATE_TEST_SUITE_P(Table, JoinPath,
                         testing::Values(JoinCase{"/", "x.mp3", "/x.mp3"},
                                         JoinCase{"/card", "x.mp3", "/card/x.mp3"},
                                         JoinCase{"/card/", "曲", "/card/曲"}));
#endif
