// File indexes through the system's own calls, on real temporary folders:
// an entry's index is the one its folder's enumeration gives it, every
// entry's is its own, and on POSIX it is the inode number stat reports.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes/temp_folder.h"
#include "platform/copy_ops.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

const char* const kNames[] = {"b.mp3", "曲 二.m4a", "a long name of a song.mp3", "Album"};

TEST(EntryIndexOnDisk, AnEntrysIndexIsTheOneItsFolderListsItWith) {
  testsupport::TempFolder temp;
  for (const char* name : kNames) {
    if (std::string(name) == "Album") {
      temp.createFolder(name);
    } else {
      temp.createFile(name, name);
    }
  }
  platform::CopyOps& ops = platform::systemCopyOps();
  std::vector<platform::IndexedItem> listed;
  ASSERT_EQ(ops.listIndexes(temp.path(), listed), 0u);
  std::map<std::string, std::uint64_t> byName;
  for (const platform::IndexedItem& item : listed) byName[item.name] = item.index;
  ASSERT_EQ(byName.size(), std::size(kNames));  // no "." or ".."
  std::set<std::uint64_t> distinct;
  for (const char* name : kNames) {
    std::uint64_t index = 0;
    ASSERT_EQ(ops.entryIndex(temp.pathOf(name), index), 0u) << name;
    EXPECT_EQ(byName.at(name), index) << name;
    distinct.insert(index);
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(::stat(temp.pathOf(name).c_str(), &st), 0);
    EXPECT_EQ(index, static_cast<std::uint64_t>(st.st_ino)) << name;
#endif
  }
  EXPECT_EQ(distinct.size(), std::size(kNames));
}

TEST(EntryIndexOnDisk, TheListingMarksTheVolumesOwnEntries) {
  testsupport::TempFolder temp;
  const std::string own = temp.createFolder("System Volume Information");
  temp.createFile("song.mp3", "x");
  if (!testsupport::setHiddenSystem(own, true, true)) GTEST_SKIP() << "no DOS attributes here";
  std::vector<platform::IndexedItem> listed;
  ASSERT_EQ(platform::systemCopyOps().listIndexes(temp.path(), listed), 0u);
  ASSERT_EQ(listed.size(), 2u);
  for (const platform::IndexedItem& item : listed) {
    EXPECT_EQ(item.hiddenSystem, item.name == "System Volume Information") << item.name;
  }
}

TEST(EntryIndexOnDisk, WhatIsNotThereHasNoIndex) {
  testsupport::TempFolder temp;
  platform::CopyOps& ops = platform::systemCopyOps();
  std::uint64_t index = 0;
  EXPECT_NE(ops.entryIndex(temp.pathOf("missing.mp3"), index), 0u);
  std::vector<platform::IndexedItem> listed;
  EXPECT_NE(ops.listIndexes(temp.pathOf("missing"), listed), 0u);
  // An empty folder lists nothing, without an error.
  temp.createFolder("empty");
  ASSERT_EQ(ops.listIndexes(temp.pathOf("empty"), listed), 0u);
  EXPECT_TRUE(listed.empty());
}

}  // namespace
