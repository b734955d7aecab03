// Putting a folder in order with the system's own file operations, on real
// temporary folders: a move keeps contents and times and never replaces, a
// file held by another handle is refused by the exclusive open, the list
// file is written new, and a whole run leaves every entry as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cardorder/card_reorder.h"
#include "fakes/temp_folder.h"
#include "platform/copy_ops.h"
#include "platform/path.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

using Outcome = cardorder::ReorderResult::Outcome;

std::string contentOf(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::u8path(path), ignored);
}

folderlist::ListEntry fileRow(std::string name) { return {std::move(name), "", {}}; }
folderlist::ListEntry folderRow(std::string name) {
  return {std::move(name), std::string(folderlist::kFolderKind), {}};
}

constexpr platform::FileTime kTime = 133'000'000'000'000'000ULL;

TEST(ReorderOnDisk, AMoveKeepsContentsAndTimesAndNeverReplaces) {
  testsupport::TempFolder temp;
  const std::string file = temp.createFile("曲.mp3", "music");
  const std::string folder = temp.createFolder("アルバム");
  temp.createFile("アルバム/中.mp3", "inner");
  temp.createFolder("作業");
  testsupport::setTimes(file, kTime + 10'000'000, kTime + 20'000'000);
  testsupport::setTimes(folder, kTime, kTime);
  platform::CopyOps& ops = platform::systemCopyOps();

  ASSERT_EQ(ops.moveEntry(file, temp.pathOf("作業/曲.mp3")), 0u);
  ASSERT_EQ(ops.moveEntry(folder, temp.pathOf("作業/アルバム")), 0u);
  // The times first: reading the contents may move the access time.
  const testsupport::EntryTimes moved = testsupport::readTimes(temp.pathOf("作業/曲.mp3"));
  EXPECT_EQ(moved.lastWrite, kTime + 10'000'000);
  EXPECT_EQ(moved.lastAccess, kTime + 20'000'000);
  EXPECT_EQ(testsupport::readTimes(temp.pathOf("作業/アルバム")).lastWrite, kTime);
  EXPECT_FALSE(exists(file));
  EXPECT_EQ(contentOf(temp.pathOf("作業/曲.mp3")), "music");
  EXPECT_EQ(contentOf(temp.pathOf("作業/アルバム/中.mp3")), "inner");

  // An entry in the way stays as it is.
  temp.createFile("曲.mp3", "other");
  EXPECT_EQ(ops.moveEntry(temp.pathOf("作業/曲.mp3"), file), platform::kErrorAlreadyExists);
  EXPECT_EQ(contentOf(file), "other");
  EXPECT_EQ(contentOf(temp.pathOf("作業/曲.mp3")), "music");
}

TEST(ReorderOnDisk, TheExclusiveOpenRefusesAFileAnotherHandleHolds) {
  testsupport::TempFolder temp;
  const std::string file = temp.createFile("曲.mp3", "music");
  platform::CopyOps& ops = platform::systemCopyOps();
  EXPECT_EQ(ops.openExclusive(file), 0u);
  EXPECT_EQ(ops.openExclusive(file), 0u) << "the first open was let go";
  {
#ifdef _WIN32
    const auto hold = testsupport::holdWithoutDeleteSharing(file);
    ASSERT_NE(hold, nullptr);
#else
    // No share modes: a lock another program holds is what POSIX can see.
    const int fd = ::open(file.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_SH), 0);
#endif
    EXPECT_EQ(ops.openExclusive(file), platform::kErrorSharingViolation);
#ifndef _WIN32
    ::close(fd);
#endif
  }
  EXPECT_EQ(ops.openExclusive(file), 0u);
  EXPECT_NE(ops.openExclusive(temp.pathOf("無い.mp3")), 0u);
}

TEST(ReorderOnDisk, TheListIsWrittenNewReadWholeAndItsFolderRemovedOnlyEmpty) {
  testsupport::TempFolder temp;
  platform::CopyOps& ops = platform::systemCopyOps();
  const std::string work = temp.pathOf("Chronoseq 並べ替え中");
  ASSERT_EQ(ops.createFolder(work), 0u);
  EXPECT_EQ(ops.createFolder(work), platform::kErrorAlreadyExists);
  const std::string list = work + platform::kPathSeparator + "order.txt";
  const std::string bytes = "順番:\r\n曲.mp3\r\n" + std::string(40'000, 'x');
  ASSERT_EQ(ops.writeNewFile(list, bytes), 0u);
  // CREATE_NEW's own code on Windows, EEXIST's elsewhere.
#ifdef _WIN32
  constexpr platform::OsErrorCode kExists = 80;  // ERROR_FILE_EXISTS
#else
  constexpr platform::OsErrorCode kExists = platform::kErrorAlreadyExists;
#endif
  EXPECT_EQ(ops.writeNewFile(list, "again"), kExists);
  std::string read;
  ASSERT_EQ(ops.readWholeFile(list, read), 0u);
  EXPECT_EQ(read, bytes);
  EXPECT_NE(ops.removeFolder(work), 0u);
  EXPECT_TRUE(exists(list));
  ASSERT_EQ(ops.removeFile(list), 0u);
  EXPECT_EQ(ops.removeFolder(work), 0u);
  EXPECT_FALSE(exists(work));
}

TEST(ReorderOnDisk, AWholeRunLeavesEveryEntryAsItWasAndNoWorkFolder) {
  testsupport::TempFolder temp;
  temp.createFolder("カード");
  const std::vector<std::pair<std::string, std::string>> files{
      {"カード/曲3.mp3", "three"}, {"カード/曲1.mp3", "one"}, {"カード/曲2.mp3", "two!"}};
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string path = temp.createFile(files[i].first, files[i].second);
    testsupport::setTimes(path, kTime + i * 10'000'000, kTime + i * 10'000'000);
  }
  temp.createFolder("カード/アルバム");
  temp.createFile("カード/アルバム/a.mp3", "a");
  const folderlist::EntryRows rows{fileRow("曲1.mp3"), fileRow("曲2.mp3"), folderRow("アルバム"),
                                   fileRow("曲3.mp3")};
  const std::string folder = temp.pathOf("カード");

  const cardorder::ReorderResult result =
      cardorder::reorderInPlace(rows, folder, platform::systemCopyOps());
  ASSERT_EQ(result.outcome, Outcome::Completed) << result.text();
  // The order read back depends on the file system under the test (a Linux
  // folder is listed by hash or, under Wine, by name); the count does not.
  EXPECT_EQ(result.text().rfind("並べ替えました (4 個)", 0), 0u) << result.text();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string path = temp.pathOf(files[i].first);
    EXPECT_EQ(contentOf(path), files[i].second);
    EXPECT_EQ(testsupport::readTimes(path).lastWrite, kTime + i * 10'000'000);
  }
  EXPECT_EQ(contentOf(temp.pathOf("カード/アルバム/a.mp3")), "a");
  std::vector<std::string> beside;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::u8path(temp.path()))) {
    const std::u8string name = entry.path().filename().u8string();
    beside.emplace_back(name.begin(), name.end());
  }
  EXPECT_EQ(beside, std::vector<std::string>{"カード"});
}

}  // namespace
