// Where Windows' and Linux's FAT drivers put a folder's entries, worked by
// hand from their rules: each case names the rule and the fastfat function
// that carries it. Slots count from 0; a subfolder's "." and ".." hold 0
// and 1.
#include "fakes/fat_directory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A letter and a number: "E12".
std::string named(char letter, int n) {
  std::string name(1, letter);
  name += std::to_string(n);
  return name;
}

using fakes::FatDirectory;
using fakes::FolderShape;
using fakes::SlotPlacement;
using Refusal = FatDirectory::Refusal;
using Names = std::vector<std::string>;

FolderShape subfolder(std::uint32_t clusterBytes,
                      SlotPlacement placement = SlotPlacement::Fastfat) {
  FolderShape shape;
  shape.clusterBytes = clusterBytes;
  shape.placement = placement;
  return shape;
}

FolderShape fixedRoot(std::uint32_t slots) {
  FolderShape shape;
  shape.root = true;
  shape.fixedSlots = slots;
  shape.reservedSlots = 0;
  return shape;
}

// "01 …" to "100 …": 20 to 21 units, three slots each.
std::string song(int n) {
  std::string number = std::to_string(n);
  if (number.size() < 2) number = "0" + number;
  return number + " Title of song.mp3";
}

struct Placed {
  const char* name;
  std::uint32_t slots;
  std::uint32_t first;  // expected first slot
};

void expectPlacements(FatDirectory& folder, const std::vector<Placed>& table) {
  for (const Placed& p : table) {
    ASSERT_EQ(folder.create(p.name, p.slots), Refusal::None) << p.name;
    EXPECT_EQ(folder.entry(p.name).first, p.first) << p.name;
  }
}

// FatCreateNewDirent: while the never-used slots after UnusedDirentVbo hold
// the entry, it goes there, and the mark moves past it.
TEST(FatDirectory, NewEntriesTakeTheNeverUsedSlotsInTurn) {
  FatDirectory folder(subfolder(4096));
  EXPECT_EQ(folder.unusedDirentVbo(), 64u);
  expectPlacements(folder, {{"A", 3, 2}, {"B", 1, 5}, {"C", 2, 6}, {"D", 21, 8}});
  EXPECT_EQ(folder.unusedDirentVbo(), 29u * 32);
  EXPECT_EQ(folder.names(), (Names{"A", "B", "C", "D"}));
  // What the file index adds: the short entry, the last of an entry's slots.
  EXPECT_EQ(folder.direntOffset("A"), 4u * 32);
  EXPECT_EQ(folder.direntOffset("D"), 28u * 32);
}

// FatCreateNewDirent, growth: no free run anywhere, so the entry takes the
// never-used mark's place, partly in the old cluster, and the folder grows
// until the byte after the new mark lies inside it.
TEST(FatDirectory, AnEntryThatFitsNowhereGrowsTheFolderFromTheNeverUsedMark) {
  struct Case {
    const char* why;
    std::vector<Placed> before;
    Placed grown;
    std::uint32_t clusters;
    std::uint32_t unusedSlot;
  };
  const Case cases[] = {
      {"3 slots with 2 left: slots 14-16, across the cluster's end",
       {{"A", 3, 2}, {"B", 3, 5}, {"C", 3, 8}, {"D", 3, 11}},
       {"E", 3, 14},
       2,
       17},
      {"a full cluster: the entry opens the next", {{"A", 14, 2}}, {"B", 1, 16}, 2, 17},
      {"18 slots from slot 14 end on the second cluster's end: the byte after needs a third",
       {{"A", 12, 2}},
       {"B", 18, 14},
       3,
       32},
  };
  for (const Case& c : cases) {
    FatDirectory folder(subfolder(512));
    expectPlacements(folder, c.before);
    expectPlacements(folder, {c.grown});
    EXPECT_EQ(folder.clusters(), c.clusters) << c.why;
    EXPECT_EQ(folder.unusedDirentVbo(), c.unusedSlot * 32) << c.why;
  }
}

// FatCreateNewDirent: with the never-used slots too few, the first free run
// from DeletedDirentHint (RtlFindClearBits); an entry taken at the hint
// moves the hint past it, one taken elsewhere leaves it.
TEST(FatDirectory, PastTheNeverUsedSlotsTheFirstFreeRunFromTheHintIsTaken) {
  FatDirectory folder(subfolder(512));
  for (int i = 2; i < 16; ++i) ASSERT_EQ(folder.create(named('E', i), 1), Refusal::None);
  EXPECT_EQ(folder.unusedDirentVbo(), 512u);
  folder.remove("E2");
  folder.remove("E5");
  folder.remove("E6");
  folder.remove("E7");
  folder.remove("E10");
  EXPECT_EQ(folder.deletedDirentHint(), 64u);  // never above slot 2
  struct Step {
    const char* name;
    std::uint32_t slots;
    std::uint32_t first;
    std::uint32_t hintSlot;
  };
  const Step steps[] = {
      {"X", 1, 2, 3},   // at the hint: the hint moves on
      {"Y", 2, 5, 3},   // slot 3 and 4 are used: the run at 5-6, the hint stays
      {"Z", 1, 7, 3},   // the first free slot after the hint
      {"W", 1, 10, 3},  // and the next
  };
  for (const Step& s : steps) {
    ASSERT_EQ(folder.create(s.name, s.slots), Refusal::None) << s.name;
    EXPECT_EQ(folder.entry(s.name).first, s.first) << s.name;
    EXPECT_EQ(folder.deletedDirentHint(), s.hintSlot * 32) << s.name;
  }
  // Nothing is free now: the next grows the folder at the mark.
  ASSERT_EQ(folder.create("V", 1), Refusal::None);
  EXPECT_EQ(folder.entry("V").first, 16u);
}

// FatDeleteDirent: the slots are marked deleted, the hint comes down to the
// entry's first slot when its short entry lies below the hint, and
// UnusedDirentVbo never comes back.
TEST(FatDirectory, ADeleteLowersTheHintToTheEntrysFirstSlotAndLeavesTheMark) {
  FatDirectory folder(subfolder(512));
  expectPlacements(folder, {{"A", 1, 2}, {"B", 3, 3}, {"C", 1, 6}});
  for (int i = 7; i < 16; ++i) ASSERT_EQ(folder.create(named('F', i), 1), Refusal::None);
  folder.remove("A");  // at the hint, slot 2: the hint stays
  EXPECT_EQ(folder.deletedDirentHint(), 64u);
  ASSERT_EQ(folder.create("X", 1), Refusal::None);  // slot 2, the hint moves to 3
  EXPECT_EQ(folder.deletedDirentHint(), 96u);
  folder.remove("C");  // short entry at slot 6, above the hint: it stays
  EXPECT_EQ(folder.deletedDirentHint(), 96u);
  folder.remove("X");  // slot 2, below: the hint comes down to it
  EXPECT_EQ(folder.deletedDirentHint(), 64u);
  folder.remove("B");  // short entry at 5: not below 2
  EXPECT_EQ(folder.deletedDirentHint(), 64u);
  EXPECT_EQ(folder.unusedDirentVbo(), 512u);
  for (const std::uint32_t s : {2u, 3u, 4u, 5u, 6u}) {
    EXPECT_EQ(folder.slot(s), FatDirectory::Slot::Deleted) << s;
  }
}

// FatDeleteDirent with a long name below the hint: the hint comes to the
// first long-name slot, not the short entry.
TEST(FatDirectory, TheHintComesDownToTheFirstLongNameSlot) {
  FatDirectory folder(subfolder(512));
  expectPlacements(folder, {{"A", 1, 2}, {"B", 1, 3}, {"C", 1, 4}});
  for (int i = 5; i < 16; ++i) ASSERT_EQ(folder.create(named('F', i), 1), Refusal::None);
  folder.remove("A");
  ASSERT_EQ(folder.create("X", 1), Refusal::None);  // slot 2, hint to 3
  folder.remove("B");
  ASSERT_EQ(folder.create("Y", 1), Refusal::None);  // slot 3, hint to 4
  folder.remove("F8");
  folder.remove("F9");
  folder.remove("F10");
  ASSERT_EQ(folder.create("L", 3), Refusal::None);  // slots 8-10, the hint stays at 4
  EXPECT_EQ(folder.deletedDirentHint(), 128u);
  folder.remove("X");
  EXPECT_EQ(folder.deletedDirentHint(), 64u);
  ASSERT_EQ(folder.create("X2", 1), Refusal::None);  // slot 2 again, hint 3
  folder.remove("Y");
  ASSERT_EQ(folder.create("Y2", 1), Refusal::None);  // slot 3 again, hint 4
  folder.remove("C");
  ASSERT_EQ(folder.create("C2", 1), Refusal::None);  // slot 4 again, hint 5
  folder.remove("F5");
  folder.remove("F6");
  folder.remove("F7");
  ASSERT_EQ(folder.create("M", 1), Refusal::None);  // slot 5, hint 6
  EXPECT_EQ(folder.deletedDirentHint(), 192u);
  folder.remove("L");  // short entry at 10 is not below 6
  EXPECT_EQ(folder.deletedDirentHint(), 192u);
  ASSERT_EQ(folder.create("N", 3), Refusal::None);  // the first run of 3 from 6: 6-8
  EXPECT_EQ(folder.entry("N").first, 6u);
  EXPECT_EQ(folder.deletedDirentHint(), 288u);  // taken at the hint: past it, slot 9
  folder.remove("N");  // short entry at 8, below 9: down to its first slot, 6
  EXPECT_EQ(folder.deletedDirentHint(), 192u);
}

// The rotation the program meets: 100 songs of three slots in a folder of
// 4 KB clusters hold slots 2-301 of 384 (UnusedDirentVbo at 302). Moved out
// and back in order, the first 27 fill the never-used slots 302-382; the
// 28th finds one slot left and takes the first free run from the hint,
// slot 2; the rest follow it. The folder reads 28..100, then 1..27.
TEST(FatDirectory, OneHundredSongsMovedOutAndBackReadFromTheTwentyEighth) {
  FatDirectory folder(subfolder(4096));
  for (int n = 1; n <= 100; ++n) ASSERT_EQ(folder.create(song(n), 3), Refusal::None);
  EXPECT_EQ(folder.clusters(), 3u);
  EXPECT_EQ(folder.unusedDirentVbo(), 302u * 32);
  EXPECT_EQ(folder.entry(song(100)).first, 299u);
  for (int n = 1; n <= 100; ++n) folder.remove(song(n));
  for (int n = 1; n <= 100; ++n) ASSERT_EQ(folder.create(song(n), 3), Refusal::None);

  const Placed table[] = {
      {"01", 3, 302}, {"27", 3, 380}, {"28", 3, 2}, {"29", 3, 5}, {"100", 3, 218},
  };
  for (const Placed& p : table) {
    EXPECT_EQ(folder.entry(song(std::stoi(p.name))).first, p.first) << p.name;
  }
  Names expected;
  for (int n = 28; n <= 100; ++n) expected.push_back(song(n));
  for (int n = 1; n <= 27; ++n) expected.push_back(song(n));
  EXPECT_EQ(folder.names(), expected);
  EXPECT_EQ(folder.clusters(), 3u);  // nothing grew
}

// Linux's fat_add_entries takes the lowest free run, so the same moves keep
// the order.
TEST(FatDirectory, TheLowestFitKeepsTheOrderOfTheSameMoves) {
  FatDirectory folder(subfolder(4096, SlotPlacement::LowestFit));
  for (int n = 1; n <= 100; ++n) ASSERT_EQ(folder.create(song(n), 3), Refusal::None);
  for (int n = 1; n <= 100; ++n) folder.remove(song(n));
  for (int n = 1; n <= 100; ++n) ASSERT_EQ(folder.create(song(n), 3), Refusal::None);
  EXPECT_EQ(folder.entry(song(1)).first, 2u);
  EXPECT_EQ(folder.entry(song(100)).first, 299u);
  EXPECT_EQ(folder.names().front(), song(1));
  EXPECT_EQ(folder.names().back(), song(100));
}

// fat_add_entries: a smaller entry fills a hole a larger one left; with no
// run at all, the free slots at the end begin the entry and the folder grows
// after them.
TEST(FatDirectory, TheLowestFitFillsHolesAndGrowsFromTheFreeEnd) {
  FatDirectory folder(subfolder(512, SlotPlacement::LowestFit));
  expectPlacements(folder, {{"A", 2, 2}, {"B", 3, 4}, {"C", 8, 7}});
  folder.remove("A");
  expectPlacements(folder, {{"D", 3, 15}, {"E", 1, 2}, {"F", 1, 3}});
  EXPECT_EQ(folder.clusters(), 2u);  // D: slot 15 and two of the next cluster
}

// FatDefragDirectory on FAT12/16's fixed root: when no free run holds the
// entry but enough slots are free, every entry moves to the front in its
// order, the holes behind them become deleted slots, and the new entry
// takes the first free slot.
TEST(FatDirectory, AFullFixedRootIsCompactedInItsOrder) {
  FatDirectory root(fixedRoot(8));
  expectPlacements(root, {{"A", 2, 0}, {"B", 2, 2}, {"C", 2, 4}, {"D", 1, 6}});
  root.remove("B");
  expectPlacements(root, {{"E", 3, 5}});
  EXPECT_EQ(root.compactions(), 1);
  EXPECT_EQ(root.names(), (Names{"A", "C", "D", "E"}));
  const Placed moved[] = {{"A", 2, 0}, {"C", 2, 2}, {"D", 1, 4}};
  for (const Placed& p : moved) EXPECT_EQ(root.entry(p.name).first, p.first) << p.name;
  EXPECT_EQ(root.direntOffset("C"), 3u * 32);  // its file index changed with it
  // Full now: STATUS_CANNOT_MAKE, and nothing changes.
  EXPECT_EQ(root.create("F", 1), Refusal::Full);
  EXPECT_EQ(root.names(), (Names{"A", "C", "D", "E"}));
}

// FatDefragDirectory leaves the slots past the last entry as they were and
// marks the holes it gathered deleted; the new entry takes the first of them.
TEST(FatDirectory, CompactionMarksTheGatheredHolesDeleted) {
  FatDirectory root(fixedRoot(12));
  expectPlacements(
      root,
      {{"A", 1, 0}, {"B", 2, 1}, {"C", 1, 3}, {"D", 2, 4}, {"E", 1, 6}, {"F", 3, 7}, {"G", 1, 10}});
  root.remove("A");
  root.remove("C");
  root.remove("F");
  // One never-used slot and runs of 1, 1 and 3: compacted to B D E G at 0-5.
  expectPlacements(root, {{"I", 4, 6}});
  EXPECT_EQ(root.compactions(), 1);
  const Placed moved[] = {{"B", 2, 0}, {"D", 2, 2}, {"E", 1, 4}, {"G", 1, 5}};
  for (const Placed& p : moved) EXPECT_EQ(root.entry(p.name).first, p.first) << p.name;
  using Slot = FatDirectory::Slot;
  for (std::uint32_t s = 0; s < 10; ++s) EXPECT_EQ(root.slot(s), Slot::Used) << s;
  EXPECT_EQ(root.slot(10), Slot::Deleted);
  EXPECT_EQ(root.slot(11), Slot::NeverUsed);
  EXPECT_EQ(root.names(), (Names{"B", "D", "E", "G", "I"}));
}

// FatSetRenameInfo within a folder: as many slots as before keeps the entry
// where it is; another number takes new slots first, then frees the old.
TEST(FatDirectory, ARenameKeepsItsSlotsOnlyWhenTheirNumberStays) {
  FatDirectory folder(subfolder(4096));
  expectPlacements(folder, {{"a.txt", 1, 2}, {"B", 3, 3}});
  ASSERT_EQ(folder.rename("a.txt", "b.txt", 1), Refusal::None);
  EXPECT_EQ(folder.entry("b.txt").first, 2u);
  ASSERT_EQ(folder.rename("b.txt", "Long name.txt", 2), Refusal::None);
  EXPECT_EQ(folder.entry("Long name.txt").first, 6u);
  EXPECT_EQ(folder.slot(2), FatDirectory::Slot::Deleted);
  EXPECT_EQ(folder.names(), (Names{"B", "Long name.txt"}));
}

// FatRescanDirectory, as when the folder's DCB is made anew: the hint at the
// first deleted slot, UnusedDirentVbo at the first never-used one.
TEST(FatDirectory, ARescanFindsTheFirstDeletedAndTheFirstNeverUsedSlot) {
  FatDirectory folder(subfolder(4096));
  expectPlacements(folder, {{"A", 1, 2}, {"B", 3, 3}, {"C", 1, 6}, {"D", 1, 7}});
  folder.remove("B");
  folder.remove("D");
  folder.rescan();
  EXPECT_EQ(folder.deletedDirentHint(), 3u * 32);
  EXPECT_EQ(folder.unusedDirentVbo(), 8u * 32);
}

// FatCreateNewDirent: no folder grows past 64 Ki slots (STATUS_CANNOT_MAKE).
TEST(FatDirectory, NoFolderGrowsPastSixtyFourKiSlots) {
  FatDirectory folder(subfolder(65536));
  for (int i = 0; i < 65534; ++i) {
    ASSERT_EQ(folder.create(std::to_string(i), 1), Refusal::None) << i;
  }
  EXPECT_EQ(folder.clusters(), 32u);
  EXPECT_EQ(folder.create("one more", 1), Refusal::Full);
  FatDirectory linux(subfolder(65536, SlotPlacement::LowestFit));
  for (int i = 0; i < 65534; ++i) ASSERT_EQ(linux.create(std::to_string(i), 1), Refusal::None);
  EXPECT_EQ(linux.create("one more", 1), Refusal::Full);
}

// A growth that needs more clusters than are free leaves the folder as it was.
TEST(FatDirectory, AGrowthWithoutFreeClustersChangesNothing) {
  FatDirectory folder(subfolder(512));
  expectPlacements(folder, {{"A", 14, 2}});
  EXPECT_EQ(folder.create("B", 1, 0), Refusal::NoSpace);
  EXPECT_FALSE(folder.has("B"));
  EXPECT_EQ(folder.clusters(), 1u);
  EXPECT_EQ(folder.unusedDirentVbo(), 512u);
}

}  // namespace
