// Landing a card folder's entries in order, on the tests' in-memory card
// laid out as Windows' FAT driver does: for each case the placeholders made,
// the restarts and plugs, the moves besides the entries' own, and the time
// of the moves with the landing against a bare loop of the same moves on the
// same card (1.0 = as fast as the bare moves).
//
//   landing_bench [rounds=5]
//
// The cases: the in-place order (every entry out into a work folder, back
// in a new order) and the copy (new files into a folder that once held
// entries), at the cluster sizes a card is formatted with.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "cardslots/ordered_landing.h"
#include "fakes/fat_card_fixture.h"
#include "fakes/fault_copy_ops.h"
#include "platform/path.h"

namespace {

using fakes::noZone;

using bench::median;
using bench::millisecondsOf;
using fakes::FaultCopyOps;

const std::string kSep(1, platform::kPathSeparator);
std::string at(const std::string& a, const std::string& b) { return a + kSep + b; }
const std::string kCard = kSep + "card";

struct Case {
  const char* what;
  int files;
  std::uint64_t cluster;
  platform::FileSystem fileSystem;
  bool atRoot;
  bool copy;      // written into an emptied folder, not moved out and back
  int longName;   // extra characters in each name: 3 slots at 0
  bool reversed;  // the list in the reverse of the order written
};

const Case kCases[] = {
    {"100 songs, 4 KB clusters, in place", 100, 4096, platform::FileSystem::Fat32, false, false, 0,
     false},
    {"1,000 songs, 32 KB clusters, in place", 1000, 32768, platform::FileSystem::Fat32, false,
     false, 0, false},
    {"1,000 songs, 32 KB, in place, reversed", 1000, 32768, platform::FileSystem::Fat32, false,
     false, 0, true},
    {"2,000 songs, 64 KB clusters, in place", 2000, 65536, platform::FileSystem::Fat32, false,
     false, 0, false},
    {"300 songs of 60 units, 512 B clusters, in place", 300, 512, platform::FileSystem::Fat32,
     false, false, 40, false},
    {"150 songs in FAT16's fixed root, in place", 150, 4096, platform::FileSystem::Fat, true, false,
     0, false},
    {"100 songs copied where 100 stood, 4 KB", 100, 4096, platform::FileSystem::Fat32, false, true,
     0, false},
    {"1,000 songs copied where 1,000 stood, 32 KB", 1000, 32768, platform::FileSystem::Fat32, false,
     true, 0, false},
};

std::string song(int n, int longName) {
  std::string number = std::to_string(n);
  while (number.size() < 4) number = "0" + number;
  return number + " Title of song" + std::string(static_cast<std::size_t>(longName), 'x') + ".mp3";
}

struct Card {
  FaultCopyOps fs;
  std::string folder, work;
  std::vector<std::string> list;
};

// The card as the case finds it: the songs written in order; for the copy,
// removed again.
void prepare(Card& card, const Case& c) {
  card.folder = c.atRoot ? kCard : at(kCard, "music");
  card.work = at(kCard, "work");
  card.fs.addFolder(kCard);
  card.fs.addFolder(card.work);
  if (!c.atRoot) card.fs.addFolder(card.folder);
  platform::VolumeSpace volume;
  volume.freeBytes = 1ull << 36;
  volume.clusterBytes = c.cluster;
  volume.fileSystem = c.fileSystem;
  volume.root = true;
  volume.caseBlind = true;
  card.fs.formatCard(kCard, volume, noZone, FaultCopyOps::CardSlots::Fastfat);
  card.list.clear();
  for (int n = 1; n <= c.files; ++n) {
    card.list.push_back(song(n, c.longName));
    card.fs.writeNewFile(at(card.folder, card.list.back()), "");
  }
  if (c.reversed) std::reverse(card.list.begin(), card.list.end());
  if (c.copy) {
    for (const std::string& name : card.list) card.fs.removeFile(at(card.folder, name));
  } else {
    for (const std::string& name : card.list) {
      card.fs.moveEntry(at(card.folder, name), at(card.work, name));
    }
  }
}

// The entries come into the folder; `landing` or not.
cardslots::LandingReport bring(Card& card, const Case& c, bool landing) {
  cardslots::CopyOpsSlotCalls calls(card.fs);
  cardslots::OrderedLanding landed(calls,
                                   {card.folder, c.copy ? "" : card.work, card.list, c.cluster});
  for (const std::string& name : card.list) {
    if (c.copy) {
      card.fs.writeNewFile(at(card.folder, name), "");
    } else {
      card.fs.moveEntry(at(card.work, name), at(card.folder, name));
    }
    if (landing) landed.arrived(name);
  }
  return landed.finish();
}

bool inOrder(Card& card) {
  std::vector<platform::FolderItem> items;
  card.fs.listNames(card.folder, items);
  std::vector<std::string> names;
  for (const auto& item : items) {
    if (item.name != "work") names.push_back(item.name);
  }
  return names == card.list;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  std::printf("landing on the in-memory card as Windows' FAT driver lays it out, median of %d\n",
              rounds);
  for (const Case& c : kCases) {
    std::vector<double> landing, bare, ratios;
    cardslots::LandingReport report;
    bool landedInOrder = true;
    bool bareInOrder = true;
    for (int round = 0; round <= rounds; ++round) {
      Card withLanding, withoutIt;
      prepare(withLanding, c);
      prepare(withoutIt, c);
      const double l = millisecondsOf([&] { report = bring(withLanding, c, true); });
      const double b = millisecondsOf([&] { bring(withoutIt, c, false); });
      landedInOrder = inOrder(withLanding);
      bareInOrder = inOrder(withoutIt);
      if (round == 0) continue;  // warms the caches
      landing.push_back(l);
      bare.push_back(b);
      ratios.push_back(l / b);
    }
    std::printf(
        "%-48s %5d placeholders, %2d restarts, %3d plugs, %5d extra moves; %s (alone: %s); "
        "%8.2f ms against %8.2f ms, ratio %.2f\n",
        c.what, report.placeholders, report.restarts, report.plugs, report.extraMoves,
        landedInOrder ? "in order" : "NOT in order", bareInOrder ? "in order" : "rotated",
        median(landing), median(bare), median(ratios));
  }
  return 0;
}
