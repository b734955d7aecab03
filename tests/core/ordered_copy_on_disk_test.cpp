// Copying the rows in their order with the system's own file operations, on
// real temporary folders: contents, times (read back by the OS's own calls),
// a sub-folder with Japanese names, the source untouched, and the checks that
// need a real file system.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cardcopy/ordered_copy.h"
#include "fakes/temp_folder.h"
#include "platform/copy_ops.h"
#include "platform/path.h"

namespace {

using testsupport::EntryTimes;
using Outcome = cardcopy::CopyResult::Outcome;

int byteOrder(std::string_view a, std::string_view b) { return a.compare(b); }

std::string contentOf(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

folderlist::ListEntry fileRow(std::string name) { return {std::move(name), "", {}}; }
folderlist::ListEntry folderRow(std::string name) {
  return {std::move(name), std::string(folderlist::kFolderKind), {}};
}

class OrderedCopyOnDisk : public testing::Test {
 protected:
  void SetUp() override {
    const std::string a = source.createFile("曲2.mp3", "second");
    const std::string folder = source.createFolder("アルバム");
    const std::string inner = source.createFile("アルバム/b.mp3", std::string(100'000, 'b'));
    source.createFile("アルバム/a.mp3", "aa");
    const std::string c = source.createFile("曲1.mp3", "first");
    testsupport::setTimes(a, 126'543'210'123'456'700ULL, 126'543'210'987'654'300ULL);
    testsupport::setTimes(inner, 130'000'000'000'000'000ULL, 130'000'000'100'000'000ULL);
    testsupport::setTimes(c, 133'000'000'000'000'000ULL, 133'000'000'000'000'000ULL);
    testsupport::setTimes(folder, 129'999'999'999'999'900ULL, 129'999'999'999'999'900ULL);
    rows = {fileRow("曲2.mp3"), folderRow("アルバム"), fileRow("曲1.mp3")};
  }

  std::string sourcePath(const std::string& relative) {
    std::string path = relative;
    for (char& ch : path) {
      if (ch == '/') ch = platform::kPathSeparator;
    }
    return source.pathOf(path);
  }

  testsupport::TempFolder source;
  testsupport::TempFolder card;
  folderlist::EntryRows rows;
};

TEST_F(OrderedCopyOnDisk, ContentsAndTimesOfFilesAndTheSubFolder) {
  const std::vector<std::string> entries{"曲2.mp3", "アルバム", "アルバム/b.mp3", "アルバム/a.mp3",
                                         "曲1.mp3"};
  std::vector<EntryTimes> before;
  for (const auto& e : entries) before.push_back(testsupport::readTimes(sourcePath(e)));

  const cardcopy::CopyResult result =
      cardcopy::copyInOrder(rows, source.path(), card.path(), platform::systemCopyOps(), byteOrder);
  ASSERT_EQ(result.outcome, Outcome::Completed) << result.text();
  EXPECT_EQ(result.copiedRows, 3);
  EXPECT_EQ(result.text().rfind("コピーしました (3 個)", 0), 0u) << result.text();

  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string relative = entries[i];
    std::string copyPath = relative;
    for (char& ch : copyPath) {
      if (ch == '/') ch = platform::kPathSeparator;
    }
    const std::string copy = card.pathOf(copyPath);
    const EntryTimes got = testsupport::readTimes(copy);
    EXPECT_EQ(got.lastWrite, before[i].lastWrite) << relative;
    // The source's times are as they were: nothing there was written.
    EXPECT_EQ(testsupport::readTimes(sourcePath(relative)).lastWrite, before[i].lastWrite)
        << relative;
    if (relative != "アルバム") {
      EXPECT_EQ(contentOf(copy), contentOf(sourcePath(relative))) << relative;
    }
  }
}

TEST_F(OrderedCopyOnDisk, ADestinationHoldingAnythingIsRefusedBeforeWriting) {
  card.createFile("old.mp3", "x");
  const cardcopy::CopyResult result =
      cardcopy::copyInOrder(rows, source.path(), card.path(), platform::systemCopyOps(), byteOrder);
  EXPECT_EQ(result.outcome, Outcome::PrecheckFailed);
  EXPECT_EQ(result.text().rfind("コピー先が空ではありません", 0), 0u);
  std::vector<platform::FolderItem> items;
  ASSERT_EQ(platform::systemCopyOps().listFolder(card.path(), items), 0u);
  EXPECT_EQ(items.size(), 1u);
}

TEST_F(OrderedCopyOnDisk, TheListedFolderItselfIsRefused) {
  const cardcopy::CopyResult result = cardcopy::copyInOrder(
      rows, source.path(), sourcePath("アルバム"), platform::systemCopyOps(), byteOrder);
  EXPECT_EQ(result.outcome, Outcome::PrecheckFailed);
  EXPECT_EQ(result.text().rfind("コピー先が一覧の", 0), 0u) << result.text();
}

TEST_F(OrderedCopyOnDisk, AStoppedFileCopyLeavesTheTargetForTheCallerAndSaysSo) {
  platform::CopyOps& ops = platform::systemCopyOps();
  const std::string target = card.pathOf("stopped.mp3");
  bool created = false;
  EXPECT_EQ(ops.copyFile(
                sourcePath("アルバム/b.mp3"), {}, target, [] { return true; }, false, created),
            platform::kErrorRequestAborted);
  EXPECT_TRUE(created);
  ops.removeFile(target);
  std::vector<platform::FolderItem> items;
  ASSERT_EQ(ops.listFolder(card.path(), items), 0u);
  EXPECT_TRUE(items.empty());
}

// The check's open is the one the copy reads: the path is not looked at again.
TEST_F(OrderedCopyOnDisk, AnOpenedSourceIsCopiedFromItsOwnOpen) {
  platform::CopyOps& ops = platform::systemCopyOps();
  platform::OpenedSource opened;
  ASSERT_EQ(ops.openSource(sourcePath("アルバム/b.mp3"), opened), 0u);
  const std::string target = card.pathOf("b.mp3");
  bool created = false;
  EXPECT_EQ(ops.copyFile(sourcePath("no such file"), std::move(opened), target, {}, false, created),
            0u);
  EXPECT_EQ(contentOf(target), std::string(100'000, 'b'));
  EXPECT_EQ(testsupport::readTimes(target).lastWrite, 130'000'000'000'000'000ULL);
}

// Every byte arrives at the sizes where the pieces of a copy meet: empty, one
// either side of the first piece (64 KiB) and of the first larger one
// (256 KiB more), and past the second.
TEST_F(OrderedCopyOnDisk, EveryByteArrivesAtTheEdgesOfThePieces) {
  platform::CopyOps& ops = platform::systemCopyOps();
  for (const std::size_t size :
       {0u, 65'535u, 65'536u, 65'537u, 327'679u, 327'680u, 327'681u, 589'825u}) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
    const std::string name = std::to_string(size) + ".bin";
    source.createFile(name, bytes);
    bool created = false;
    EXPECT_EQ(ops.copyFile(source.pathOf(name), {}, card.pathOf(name), {}, false, created), 0u)
        << size;
    EXPECT_EQ(contentOf(card.pathOf(name)), bytes) << size;
  }
}

TEST_F(OrderedCopyOnDisk, ListingGivesKindsSizesAndTimes) {
  std::vector<platform::FolderItem> items;
  ASSERT_EQ(platform::systemCopyOps().listFolder(sourcePath("アルバム"), items), 0u);
  std::sort(items.begin(), items.end(), [](auto& a, auto& b) { return a.name < b.name; });
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].name, "a.mp3");
  EXPECT_FALSE(items[0].folder);
  EXPECT_EQ(items[0].size, 2u);
  EXPECT_EQ(items[1].name, "b.mp3");
  EXPECT_EQ(items[1].size, 100'000u);
  // The times the check compares with what the card can hold, as set above.
  EXPECT_EQ(items[1].times.lastWrite, 130'000'000'000'000'000ULL);
  EXPECT_EQ(items[1].times.lastAccess, 130'000'000'100'000'000ULL);
  EXPECT_FALSE(items[0].hiddenSystem || items[1].hiddenSystem);
  EXPECT_EQ(platform::systemCopyOps().stat(sourcePath("アルバム/b.mp3")).times.lastWrite,
            130'000'000'000'000'000ULL);
  EXPECT_EQ(platform::systemCopyOps().stat(sourcePath("アルバム")).kind,
            platform::EntryKind::Folder);
  EXPECT_EQ(platform::systemCopyOps().stat(sourcePath("nothing")).kind,
            platform::EntryKind::Missing);
}

}  // namespace
