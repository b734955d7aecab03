// Landing entries in order on the in-memory card whose folders keep slots
// as Windows' and Linux's FAT drivers do. Every figure (slots, placeholders,
// moves) is worked by hand from the drivers' rules and the landing's steps.
#include "cardslots/ordered_landing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cardslots/placeholder_names.h"
#include "fakes/fat_card_fixture.h"
#include "fakes/fault_copy_ops.h"
#include "platform/path.h"

namespace {

using fakes::songs;

using fakes::at;
using fakes::kCard;
using fakes::kSep;

using fakes::noZone;
using fakes::song;

using cardslots::LandingPlace;
using cardslots::LandingReport;
using cardslots::OrderedLanding;
using fakes::FaultCopyOps;
using CardSlots = FaultCopyOps::CardSlots;
using Names = std::vector<std::string>;
using Outcome = LandingReport::Outcome;

const std::string kMusic = at(kCard, "music");
const std::string kWork = at(kCard, "work");

// The in-place order's moves: every name out into the work folder, then
// back one by one, each landed as it arrives.
LandingReport outAndBack(FaultCopyOps& fs, const Names& names, std::uint64_t cluster) {
  for (const std::string& name : names)
    EXPECT_EQ(fs.moveEntry(at(kMusic, name), at(kWork, name)), 0u);
  cardslots::CopyOpsSlotCalls calls(fs);
  OrderedLanding landing(calls, LandingPlace{kMusic, kWork, names, cluster});
  for (const std::string& name : names) {
    EXPECT_EQ(fs.moveEntry(at(kWork, name), at(kMusic, name)), 0u) << name;
    EXPECT_EQ(landing.arrived(name), 0u) << name;
  }
  return landing.finish();
}

struct Placed {
  int song;
  std::uint32_t first;
};

struct SongCard {
  FaultCopyOps fs;
  SongCard(CardSlots slots, const Names& names, std::uint64_t cluster = 4096) {
    for (const std::string& name : names) fs.addFile(at(kMusic, name), "m");
    fs.addFolder(kWork);
    fs.formatCard(kCard, fakes::fat32Card(cluster), noZone, slots);
  }
};

// Windows' driver: the first 27 fill the never-used slots 302-382; the 28th
// lands at slot 2, before them all, with 300 slots between: the 27 and it
// go out again (28 moves), one placeholder takes the one never-used slot
// left (383), the next one lands at slot 2 and is removed, and all 28 come
// in from slot 2 (28 moves); the rest follow.
TEST(OrderedLanding, TheHundredSongsLandInOrderAfterOneRestart) {
  SongCard card(CardSlots::Fastfat, songs(100));
  const LandingReport report = outAndBack(card.fs, songs(100), 4096);
  EXPECT_EQ(fakes::listedNames(card.fs, kMusic), songs(100));
  EXPECT_EQ(report.outcome, Outcome::InOrder);
  EXPECT_EQ(report.restarts, 1);
  EXPECT_EQ(report.plugs, 0);
  EXPECT_EQ(report.placeholders, 2);
  EXPECT_EQ(report.extraMoves, 56);
  EXPECT_EQ(card.fs.cardFolder(kMusic)->entry(song(1)).first, 2u);
  EXPECT_EQ(card.fs.cardFolder(kMusic)->entry(song(100)).first, 299u);
  EXPECT_EQ(card.fs.cardFolder(kMusic)->clusters(), 3u);
  EXPECT_TRUE(report.leftBehind.empty());
}

// Linux's driver reuses the front: nothing lands before another, nothing
// is done.
TEST(OrderedLanding, WhereTheLowestFreeSlotsAreTakenNothingIsDone) {
  SongCard card(CardSlots::LowestFit, songs(100));
  const LandingReport report = outAndBack(card.fs, songs(100), 4096);
  EXPECT_EQ(fakes::listedNames(card.fs, kMusic), songs(100));
  EXPECT_EQ(report.outcome, Outcome::InOrder);
  EXPECT_EQ(report.placeholders, 0);
  EXPECT_EQ(report.extraMoves, 0);
}

// Linux's driver, a hidden, system entry at slot 4 between a.mp3 (2),
// b.mp3 (3) and the long name (5-7). Back in the order long, a, b: the long
// name skips the two free slots before the entry and takes 5-7; a.mp3
// lands at 2, five slots before it. Taking both out and in again (4 moves;
// a placeholder at 2, removed) gives the same; then a.mp3 goes out,
// placeholders take 2 and 3 (before the long name) and 8 (after it, kept),
// and a.mp3 comes in at 9 (2 moves), b.mp3 at 10.
TEST(OrderedLanding, AnEntryInAHoleGoesOutWhilePlaceholdersFillTheHole) {
  FaultCopyOps fs;
  fs.addFile(at(kMusic, "a.mp3"), "a");
  fs.addFile(at(kMusic, "b.mp3"), "b");
  fs.addFolder(at(kMusic, "SYSVOL"));
  fs.markHiddenSystem(at(kMusic, "SYSVOL"));
  fs.addFile(at(kMusic, "Long song name.mp3"), "l");
  fs.addFolder(kWork);
  fs.formatCard(kCard, fakes::fat32Card(512), noZone, CardSlots::LowestFit);
  const LandingReport report = outAndBack(fs, {"Long song name.mp3", "a.mp3", "b.mp3"}, 512);
  EXPECT_EQ(fakes::listedNames(fs, kMusic),
            (Names{"SYSVOL", "Long song name.mp3", "a.mp3", "b.mp3"}));
  EXPECT_EQ(report.outcome, Outcome::InOrder);
  EXPECT_EQ(report.restarts, 1);
  EXPECT_EQ(report.plugs, 1);
  EXPECT_EQ(report.placeholders, 4);
  EXPECT_EQ(report.extraMoves, 6);
  EXPECT_EQ(fs.cardFolder(kMusic)->entry("a.mp3").first, 9u);
  EXPECT_EQ(fs.cardFolder(kMusic)->entry("b.mp3").first, 10u);
}

// The copy into a folder that once held ten one-slot files (slots 2-11,
// never-used from 12 of 16). Song 1 takes 12-14; song 2 finds one
// never-used slot and lands at 2-4, before it, ten slots apart: the
// landing makes its own folder (slot 15, the last never-used one), moves
// both into it, a placeholder lands at 2 and is removed, both come in at
// 2-4 and 5-7, and song 3 follows at 8-10. Its folder is removed at the end.
TEST(OrderedLanding, TheCopyIntoAFolderThatHeldEntriesLandsInOrder) {
  FaultCopyOps fs;
  fs.addFolder(kMusic);
  fs.formatCard(kCard, fakes::fat32Card(512), noZone, CardSlots::Fastfat);
  for (int i = 0; i < 10; ++i) ASSERT_EQ(fs.writeNewFile(at(kMusic, std::to_string(i)), ""), 0u);
  for (int i = 0; i < 10; ++i) ASSERT_EQ(fs.removeFile(at(kMusic, std::to_string(i))), 0u);
  cardslots::CopyOpsSlotCalls calls(fs);
  OrderedLanding landing(calls, LandingPlace{kMusic, "", songs(3), 512});
  for (const std::string& name : songs(3)) {
    ASSERT_EQ(fs.writeNewFile(at(kMusic, name), "m"), 0u);
    ASSERT_EQ(landing.arrived(name), 0u);
  }
  const LandingReport report = landing.finish();
  EXPECT_EQ(fakes::listedNames(fs, kMusic), songs(3));
  EXPECT_EQ(report.outcome, Outcome::InOrder);
  EXPECT_EQ(report.restarts, 1);
  EXPECT_EQ(report.placeholders, 1);
  EXPECT_EQ(report.extraMoves, 4);
  const Placed expected[] = {{1, 2}, {2, 5}, {3, 8}};
  for (const Placed& p : expected) {
    EXPECT_EQ(fs.cardFolder(kMusic)->entry(song(p.song)).first, p.first) << p.song;
  }
  EXPECT_EQ(fs.cardFolder(kMusic)->slot(15), fakes::FatDirectory::Slot::Deleted);
}

// Under Wine the index is Linux's inode number: the landing sees no slots
// and makes nothing; the order is the driver's (here rotated).
TEST(OrderedLanding, AnIndexThatShowsNoSlotsIsToldAndNothingIsMade) {
  SongCard card(CardSlots::Fastfat, songs(100));
  card.fs.indexCardBySerial();
  const LandingReport report = outAndBack(card.fs, songs(100), 4096);
  EXPECT_EQ(report.outcome, Outcome::NotObserved);
  EXPECT_EQ(report.placeholders, 0);
  EXPECT_EQ(report.extraMoves, 0);
  EXPECT_EQ(fakes::listedNames(card.fs, kMusic).front(), song(28));
}

// A move the landing makes fails (the card pulled out): the entries it took
// out are brought in where they can be, and the report names the rest.
TEST(OrderedLanding, AFailedMoveIsReportedWithWhatStaysInTheHoldingFolder) {
  SongCard card(CardSlots::Fastfat, songs(100));
  for (const std::string& name : songs(100)) {
    ASSERT_EQ(card.fs.moveEntry(at(kMusic, name), at(kWork, name)), 0u);
  }
  cardslots::CopyOpsSlotCalls calls(card.fs);
  OrderedLanding landing(calls, LandingPlace{kMusic, kWork, songs(100), 4096});
  for (int n = 1; n <= 27; ++n) {
    ASSERT_EQ(card.fs.moveEntry(at(kWork, song(n)), at(kMusic, song(n))), 0u);
    ASSERT_EQ(landing.arrived(song(n)), 0u);
  }
  // The 28th's arrival takes the 27 and it out; the way in fails for the 3rd.
  card.fs.injectFault(FaultCopyOps::Op::MoveEntry, at(kWork, song(3)), 21);
  ASSERT_EQ(card.fs.moveEntry(at(kWork, song(28)), at(kMusic, song(28))), 0u);
  EXPECT_EQ(landing.arrived(song(28)), 21u);
  const LandingReport report = landing.finish();
  EXPECT_EQ(report.outcome, Outcome::Failed);
  EXPECT_EQ(report.failedPath, at(kWork, song(3)));
  EXPECT_EQ(report.leftInHolding, (Names{song(3)}));
  EXPECT_TRUE(card.fs.find(at(kMusic, song(28))));
  EXPECT_TRUE(card.fs.find(at(kWork, song(3))));
  EXPECT_TRUE(report.leftBehind.empty());
}

TEST(PlaceholderNames, NoNameOfTheListIsGivenWhateverItsCase) {
  cardslots::PlaceholderNames names({"~csq0000.tmp", "~CSQ0002.TMP", "~csqwait"});
  EXPECT_EQ(names.nextFile(), "~CSQ0001.TMP");
  EXPECT_EQ(names.nextFile(), "~CSQ0003.TMP");
  EXPECT_EQ(names.nextFolder(), "~CSQWAI1");
  EXPECT_TRUE(cardslots::PlaceholderNames::isPlaceholderFile("~CSQ00Z9.TMP"));
  EXPECT_FALSE(cardslots::PlaceholderNames::isPlaceholderFile("~CSQ00z9.TMP"));
  EXPECT_FALSE(cardslots::PlaceholderNames::isPlaceholderFile("~CSQ0000.MP3"));
}

}  // namespace
