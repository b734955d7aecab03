// The in-memory card when its folders keep slots: the system's own calls
// (moves, new files, removals) lay the entries out as Windows' FAT driver
// does, the enumerations follow the slots, and the file index shows them.
// Expected slots are worked by hand from fastfat's rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fat_card_fixture.h"
#include "fakes/fault_copy_ops.h"
#include "platform/path.h"

namespace {

using fakes::at;
using fakes::kCard;
using fakes::kSep;

using fakes::noZone;
using fakes::song;

// A letter and a number: "E12".
std::string named(char letter, int n) {
  std::string name(1, letter);
  name += std::to_string(n);
  return name;
}

using fakes::FaultCopyOps;
using CardSlots = FaultCopyOps::CardSlots;
using Names = std::vector<std::string>;

const std::string kMusic = at(kCard, "music");
const std::string kWork = at(kCard, "work");

std::uint64_t indexOf(FaultCopyOps& fs, const std::string& path) {
  std::uint64_t index = 0;
  EXPECT_EQ(fs.entryIndex(path, index), 0u) << path;
  return index;
}

// A card written before it was put in: 100 songs in "music" (slots 2-301
// of a folder of 4 KB clusters), an empty "work".
struct SongCard {
  FaultCopyOps fs;
  explicit SongCard(CardSlots slots, std::uint64_t cluster = 4096) {
    for (int n = 1; n <= 100; ++n) fs.addFile(at(kMusic, song(n)), "m");
    fs.addFolder(kWork);
    fs.formatCard(kCard, fakes::fat32Card(cluster), noZone, slots);
  }
  void allOutAndBack() {
    for (int n = 1; n <= 100; ++n) {
      ASSERT_EQ(fs.moveEntry(at(kMusic, song(n)), at(kWork, song(n))), 0u);
    }
    for (int n = 1; n <= 100; ++n) {
      ASSERT_EQ(fs.moveEntry(at(kWork, song(n)), at(kMusic, song(n))), 0u);
    }
  }
};

// FatSetRenameInfo puts each song back with FatCreateNewDirent: the first 27
// into the never-used slots 302-382, the rest from slot 2.
TEST(FaultCopyOpsSlots, MovesOutAndBackReadFromTheTwentyEighthOnWindowsFat) {
  SongCard card(CardSlots::Fastfat);
  card.allOutAndBack();
  Names expected;
  for (int n = 28; n <= 100; ++n) expected.push_back(song(n));
  for (int n = 1; n <= 27; ++n) expected.push_back(song(n));
  EXPECT_EQ(fakes::listedNames(card.fs, kMusic), expected);
  EXPECT_EQ(card.fs.listed(kMusic), expected);
  // The short entries: the 28th at slot 4, the 1st at 304; 32 bytes a slot.
  EXPECT_EQ(indexOf(card.fs, at(kMusic, song(1))) - indexOf(card.fs, at(kMusic, song(28))),
            300u * 32);
  EXPECT_EQ(card.fs.cardFolder(kMusic)->clusters(), 3u);
}

TEST(FaultCopyOpsSlots, TheSameMovesKeepTheOrderWhereTheLowestFreeSlotsAreTaken) {
  SongCard card(CardSlots::LowestFit);
  card.allOutAndBack();
  Names expected;
  for (int n = 1; n <= 100; ++n) expected.push_back(song(n));
  EXPECT_EQ(fakes::listedNames(card.fs, kMusic), expected);
}

// FatGenerateFileIdFromDirentOffset: the folder's place plus the short
// entry's offset, so the listing's indexes rise by 32 bytes a slot.
TEST(FaultCopyOpsSlots, TheIndexIsTheFoldersPlacePlusTheShortEntrysOffset) {
  FaultCopyOps fs;
  fs.addFolder(kMusic);
  fs.formatCard(kCard, fakes::fat32Card(4096), noZone, CardSlots::Fastfat);
  const struct {
    const char* name;
    std::uint32_t shortSlot;
  } table[] = {{"A.MP3", 2}, {"Long name.mp3", 4}, {"b.mp3", 5}, {"写真.jpg", 7}};
  for (const auto& row : table) ASSERT_EQ(fs.writeNewFile(at(kMusic, row.name), "x"), 0u);
  std::vector<platform::IndexedItem> items;
  ASSERT_EQ(fs.listIndexes(kMusic, items), 0u);
  ASSERT_EQ(items.size(), std::size(table));
  const std::uint64_t place = items[0].index - 2 * 32;
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].name, table[i].name);
    EXPECT_EQ(items[i].index, place + table[i].shortSlot * 32) << table[i].name;
    EXPECT_EQ(indexOf(fs, at(kMusic, table[i].name)), items[i].index);
  }
}

// FatSetRenameInfo: a rename to as many slots stays; to more, takes new
// slots first (the never-used ones) and frees the old; a move into another
// folder takes slots there.
TEST(FaultCopyOpsSlots, ARenameStaysWhileItsSlotsStayAndAMoveTakesNewOnes) {
  FaultCopyOps fs;
  fs.addFolder(kMusic);
  fs.addFolder(kWork);
  fs.formatCard(kCard, fakes::fat32Card(4096), noZone, CardSlots::Fastfat);
  ASSERT_EQ(fs.writeNewFile(at(kMusic, "a.mp3"), "x"), 0u);  // slot 2
  ASSERT_EQ(fs.writeNewFile(at(kMusic, "B.MP3"), "x"), 0u);  // slot 3
  const std::uint64_t a = indexOf(fs, at(kMusic, "a.mp3"));
  ASSERT_EQ(fs.moveEntry(at(kMusic, "a.mp3"), at(kMusic, "c.mp3")), 0u);
  EXPECT_EQ(indexOf(fs, at(kMusic, "c.mp3")), a);
  ASSERT_EQ(fs.moveEntry(at(kMusic, "c.mp3"), at(kMusic, "Song c.mp3")), 0u);  // slots 4-5
  EXPECT_EQ(indexOf(fs, at(kMusic, "Song c.mp3")), a + 3 * 32);
  EXPECT_EQ(fakes::listedNames(fs, kMusic), (Names{"B.MP3", "Song c.mp3"}));
  EXPECT_EQ(fs.cardFolder(kMusic)->slot(2), fakes::FatDirectory::Slot::Deleted);
  // Into another folder: its slot 2.
  ASSERT_EQ(fs.moveEntry(at(kMusic, "B.MP3"), at(kWork, "B.MP3")), 0u);
  EXPECT_EQ(fs.cardFolder(kWork)->entry("B.MP3").first, 2u);
  EXPECT_EQ(fs.cardFolder(kMusic)->slot(3), fakes::FatDirectory::Slot::Deleted);
  // A name that differs in case only is there already.
  ASSERT_EQ(fs.writeNewFile(at(kWork, "d.mp3"), "x"), 0u);
  EXPECT_EQ(fs.moveEntry(at(kWork, "B.MP3"), at(kWork, "D.MP3")), platform::kErrorAlreadyExists);
}

// A folder's growth takes a cluster of the card's free space; a folder of
// entries moves with its slots and its contents.
TEST(FaultCopyOpsSlots, AFoldersGrowthTakesItsClusterAndAMovedFolderKeepsItsSlots) {
  FaultCopyOps fs;
  fs.addFolder(kMusic);
  fs.formatCard(kCard, fakes::fat32Card(512), noZone, CardSlots::Fastfat);
  const std::uint64_t free = fs.cardFree();
  for (int i = 0; i < 14; ++i) {
    ASSERT_EQ(fs.writeNewFile(at(kMusic, named('F', i) + ".MP3"), ""), 0u);
  }
  EXPECT_EQ(fs.cardFree(), free);  // slots 2-15 of the first cluster
  ASSERT_EQ(fs.writeNewFile(at(kMusic, "G.MP3"), ""), 0u);
  EXPECT_EQ(fs.cardFree(), free - 512);
  ASSERT_EQ(fs.createFolder(at(kCard, "moved")), 0u);
  const std::uint64_t before = indexOf(fs, at(kMusic, "G.MP3"));
  ASSERT_EQ(fs.moveEntry(kMusic, at(at(kCard, "moved"), "music")), 0u);
  EXPECT_EQ(indexOf(fs, at(at(at(kCard, "moved"), "music"), "G.MP3")), before);
  EXPECT_EQ(fs.cardFolder(at(at(kCard, "moved"), "music"))->clusters(), 2u);
  EXPECT_EQ(fs.cardFolder(kMusic), nullptr);
}

// FAT12/16's root: 512 slots, no growth; FatDefragDirectory before it is
// full, then STATUS_CANNOT_MAKE (ERROR_CANNOT_MAKE, 82).
TEST(FaultCopyOpsSlots, AFixedRootIsCompactedThenRefusesTheEntryPastItsSlots) {
  FaultCopyOps fs;
  fs.addFolder(kCard);
  platform::VolumeSpace volume = fakes::fat32Card(4096);
  volume.fileSystem = platform::FileSystem::Fat;
  fs.formatCard(kCard, volume, noZone, CardSlots::Fastfat);
  for (int i = 0; i < 510; ++i) {  // slots 0-509
    ASSERT_EQ(fs.writeNewFile(at(kCard, named('F', i) + ".MP3"), ""), 0u) << i;
  }
  ASSERT_EQ(fs.removeFile(at(kCard, "F0.MP3")), 0u);
  ASSERT_EQ(fs.removeFile(at(kCard, "F2.MP3")), 0u);
  ASSERT_EQ(fs.writeNewFile(at(kCard, "Four.mp3"), ""), 0u);  // 2 slots: 510-511
  ASSERT_EQ(fs.writeNewFile(at(kCard, "Five.mp3"), ""), 0u);  // slots 0 and 2 apart: compacted
  EXPECT_EQ(fs.cardFolder(kCard)->compactions(), 1);
  EXPECT_EQ(fs.cardFolder(kCard)->entry("Five.mp3").first, 510u);
  const Names names = fakes::listedNames(fs, kCard);
  EXPECT_EQ(names.front(), "F1.MP3");
  EXPECT_EQ(names.back(), "Five.mp3");
  EXPECT_EQ(fs.writeNewFile(at(kCard, "X.MP3"), ""), 82u);
}

// Under Wine the index is Linux's inode: a number of the entry's own.
TEST(FaultCopyOpsSlots, ACardIndexedBySerialKeepsAnEntrysNumberThroughMoves) {
  SongCard card(CardSlots::Fastfat);
  card.fs.indexCardBySerial();
  const std::uint64_t first = indexOf(card.fs, at(kMusic, song(1)));
  card.allOutAndBack();
  EXPECT_EQ(indexOf(card.fs, at(kMusic, song(1))), first);
}

// The card put in again: FatRescanDirectory sets the hint to the first
// deleted slot.
TEST(FaultCopyOpsSlots, ARemountReadsTheHintsAgain) {
  FaultCopyOps fs;
  fs.addFolder(kMusic);
  fs.formatCard(kCard, fakes::fat32Card(512), noZone, CardSlots::Fastfat);
  for (int i = 0; i < 14; ++i) ASSERT_EQ(fs.writeNewFile(at(kMusic, std::to_string(i)), ""), 0u);
  ASSERT_EQ(fs.removeFile(at(kMusic, "5")), 0u);  // slot 7
  EXPECT_EQ(fs.cardFolder(kMusic)->deletedDirentHint(), 2u * 32);
  fs.remountCard();
  EXPECT_EQ(fs.cardFolder(kMusic)->deletedDirentHint(), 7u * 32);
  EXPECT_EQ(fs.cardFolder(kMusic)->unusedDirentVbo(), 512u);
}

}  // namespace
