// The copy and the in-place order on a card whose folders keep slots as
// Windows' FAT driver does: the rows read back in the list's order where
// the moves and writes alone would have rotated them, for the hundred songs
// worked by hand and for random card histories.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "cardcopy/ordered_copy.h"
#include "cardorder/card_reorder.h"
#include "fakes/fat_card_fixture.h"
#include "fakes/fault_copy_ops.h"
#include "platform/path.h"

namespace {

using fakes::at;
using fakes::kCard;
using fakes::kSep;

using fakes::noZone;
using fakes::song;

platform::VolumeSpace fat32(std::uint64_t cluster) { return fakes::fat32Card(cluster, 1ull << 32); }

using fakes::FaultCopyOps;
using CardSlots = FaultCopyOps::CardSlots;
using Names = std::vector<std::string>;

const std::string kMusic = at(kCard, "music");
const std::string kSource = kSep + "library";

int byteOrder(std::string_view a, std::string_view b) { return a.compare(b); }

folderlist::EntryRows rowsOf(const Names& names) {
  folderlist::EntryRows rows;
  for (const std::string& name : names) rows.push_back({name, "", {}});
  return rows;
}

Names visible(FaultCopyOps& fs, const std::string& folder) {
  std::vector<platform::FolderItem> items;
  EXPECT_EQ(fs.listNames(folder, items), 0u);
  Names names;
  for (const auto& item : items) {
    if (!item.hiddenSystem) names.push_back(item.name);
  }
  return names;
}

// The hundred songs written in reverse (slots 2-301 of a folder of 4 KB
// clusters), put in number order where they stand: moved back alone, they
// would read from the 28th (FatDirectory's and the fake's tests work it out).
TEST(CardLanding, TheInPlaceOrderPutsTheHundredSongsInOrderOnWindowsFat) {
  FaultCopyOps fs;
  Names list;
  for (int n = 100; n >= 1; --n) fs.addFile(at(kMusic, song(n)), "m");
  for (int n = 1; n <= 100; ++n) list.push_back(song(n));
  fs.formatCard(kCard, fat32(4096), noZone, CardSlots::Fastfat);
  const cardorder::ReorderResult result = cardorder::reorderInPlace(rowsOf(list), kMusic, fs);
  EXPECT_EQ(result.outcome, cardorder::ReorderResult::Outcome::Completed);
  EXPECT_TRUE(result.orderKept);
  EXPECT_EQ(fs.listed(kMusic), list);
  EXPECT_EQ(fs.listed(kCard), Names{"music"});  // no work folder, no placeholder
}

// The card pulled out while the landing brings the first 28 songs in again
// (moves 0-99 out, 100-127 back, 128-155 out again, then in): the third
// fails, and everything not in the folder is named as left in the work
// folder, the third first.
TEST(CardLanding, AFailedMoveOfTheLandingLeavesTheWorkFolderNamingWhatIsInIt) {
  FaultCopyOps fs;
  Names list;
  for (int n = 1; n <= 100; ++n) {
    fs.addFile(at(kMusic, song(n)), "m");
    list.push_back(song(n));
  }
  fs.formatCard(kCard, fat32(4096), noZone, CardSlots::Fastfat);
  fs.failMovesFrom(158, 21);
  const cardorder::ReorderResult result = cardorder::reorderInPlace(rowsOf(list), kMusic, fs);
  EXPECT_EQ(result.outcome, cardorder::ReorderResult::Outcome::Failed);
  EXPECT_EQ(result.failure.row, 2);
  EXPECT_EQ(result.failure.osError, 21u);
  ASSERT_EQ(result.leftInWorkFolder.size(), 98u);
  EXPECT_EQ(result.leftInWorkFolder.front(), song(3));
  EXPECT_EQ(result.leftInWorkFolder.back(), song(100));
  EXPECT_FALSE(result.workFolder.empty());
  EXPECT_EQ(fs.listed(kMusic), (Names{song(1), song(2)}));
  EXPECT_EQ(fs.listed(result.workFolder).size(), 99u);  // and the list file
}

// The copy into a folder that held 200 one-slot files, all removed: slots
// 2-201 deleted, 202-255 never used of two 4 KB clusters. The first 18 songs
// would fill those and the 19th start at slot 2.
TEST(CardLanding, TheCopyIntoAFolderThatHeldEntriesReadsBackInOrder) {
  FaultCopyOps fs;
  const std::string dest = at(kCard, "dest");
  fs.addFolder(dest);
  Names list;
  for (int n = 1; n <= 60; ++n) {
    fs.addFile(at(kSource, song(n)), "m");
    list.push_back(song(n));
  }
  fs.formatCard(kCard, fat32(4096), noZone, CardSlots::Fastfat);
  for (int i = 0; i < 200; ++i) ASSERT_EQ(fs.writeNewFile(at(dest, std::to_string(i)), ""), 0u);
  for (int i = 0; i < 200; ++i) ASSERT_EQ(fs.removeFile(at(dest, std::to_string(i))), 0u);
  const cardcopy::CopyResult result =
      cardcopy::copyInOrder(rowsOf(list), kSource, dest, fs, byteOrder);
  EXPECT_EQ(result.outcome, cardcopy::CopyResult::Outcome::Completed);
  EXPECT_TRUE(result.orderKept);
  EXPECT_EQ(fs.listed(dest), list);
  EXPECT_EQ(fs.cardFolder(dest)->clusters(), 2u);  // nothing grew
}

// Random folders on Windows' FAT: entries made and removed, then the
// in-place order over a shuffled list, or the copy into the emptied folder;
// both read back in the list's order.
class Histories {
 public:
  explicit Histories(std::uint32_t seed) : random_(seed) {}
  int pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
  std::string name() {
    const std::string n = std::to_string(counter_++);
    switch (pick(4)) {
      case 0:
        return "T" + n + ".MP3";
      case 1:
        return n + " Title of song.mp3";
      case 2:
        return n + " 曲名の長い曲です.m4a";
      default:
        return n + " " + std::string(static_cast<std::size_t>(pick(200)), 'x') + ".mp3";
    }
  }
  // Writes and removals in the folder; the names left.
  Names churn(FaultCopyOps& fs, const std::string& folder, std::uint64_t cluster) {
    Names living;
    const int writes = pick(static_cast<int>(cluster / 32) + 40) + 1;
    for (int w = 0; w < writes; ++w) {
      const std::string entry = name();
      if (fs.writeNewFile(at(folder, entry), "") != 0) break;
      living.push_back(entry);
      while (living.size() > 40 || (!living.empty() && pick(3) == 0)) {
        const auto gone = static_cast<std::size_t>(pick(static_cast<int>(living.size())));
        EXPECT_EQ(fs.removeFile(at(folder, living[gone])), 0u);
        living.erase(living.begin() + static_cast<std::ptrdiff_t>(gone));
      }
    }
    return living;
  }
  void shuffle(Names& names) { std::shuffle(names.begin(), names.end(), random_); }

 private:
  std::mt19937 random_;
  int counter_ = 0;
};

constexpr std::uint64_t kClusters[] = {512, 2048, 4096, 16384, 65536};
constexpr int kHistories = 300;

TEST(CardLanding, TheInPlaceOrderKeepsTheListsOrderOverRandomHistories) {
  for (int i = 0; i < kHistories; ++i) {
    const auto seed = static_cast<std::uint32_t>(7000 + i);
    Histories history(seed);
    const std::uint64_t cluster = kClusters[history.pick(std::size(kClusters))];
    FaultCopyOps fs;
    fs.addFolder(kMusic);
    fs.formatCard(kCard, fat32(cluster), noZone, CardSlots::Fastfat);
    Names list = history.churn(fs, kMusic, cluster);
    history.shuffle(list);
    const cardorder::ReorderResult result = cardorder::reorderInPlace(rowsOf(list), kMusic, fs);
    const std::string what = "seed " + std::to_string(seed) + ", " + std::to_string(cluster) +
                             " B clusters, " + std::to_string(list.size()) + " rows";
    ASSERT_EQ(result.outcome, cardorder::ReorderResult::Outcome::Completed) << what;
    ASSERT_TRUE(result.orderKept) << what;
    ASSERT_EQ(visible(fs, kMusic), list) << what;
    ASSERT_EQ(visible(fs, kCard), Names{"music"}) << what;
  }
}

TEST(CardLanding, TheCopyKeepsTheListsOrderOverRandomHistories) {
  for (int i = 0; i < kHistories; ++i) {
    const auto seed = static_cast<std::uint32_t>(9000 + i);
    Histories history(seed);
    const std::uint64_t cluster = kClusters[history.pick(std::size(kClusters))];
    FaultCopyOps fs;
    const std::string dest = at(kCard, "dest");
    fs.addFolder(dest);
    fs.addFolder(kSource);
    fs.formatCard(kCard, fat32(cluster), noZone, CardSlots::Fastfat);
    for (const std::string& left : history.churn(fs, dest, cluster)) {
      ASSERT_EQ(fs.removeFile(at(dest, left)), 0u);
    }
    Names list;
    for (int n = history.pick(60) + 1; n > 0; --n) {
      list.push_back(history.name());
      fs.addFile(at(kSource, list.back()), "m");
    }
    const cardcopy::CopyResult result =
        cardcopy::copyInOrder(rowsOf(list), kSource, dest, fs, byteOrder);
    const std::string what = "seed " + std::to_string(seed) + ", " + std::to_string(cluster) +
                             " B clusters, " + std::to_string(list.size()) + " rows";
    ASSERT_EQ(result.outcome, cardcopy::CopyResult::Outcome::Completed) << what;
    ASSERT_TRUE(result.orderKept) << what;
    ASSERT_EQ(visible(fs, dest), list) << what;
  }
}

}  // namespace
