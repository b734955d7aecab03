#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cardslots/placeholder_names.h"
#include "cardslots/slot_calls.h"

// Entries written into a card's folder one by one, in the list's order,
// landing so that the folder lists them in that order.
//
// A FAT driver puts a new entry where it finds room, not after the last:
// Windows' (fastfat) first fills the never-used slots after the last slot
// ever used, then the first free run from its deleted hint; Linux's takes
// the lowest free run. Once a folder has lost entries the order written
// need not be the order listed: written back in order, a folder reads from
// the 28th of its hundred songs on, then the first 27.
//
// The landing looks after each arrival where it lies, by its file index,
// which Windows' FAT driver makes from the entry's slot
// (FatGenerateFileIdFromDirentOffset). An entry that lies after the one
// before it stays. One that lies before it was given a free run that should
// have been filled earlier:
//   - a hole among the entries landed: the entry goes out again (into the
//     holding folder), empty one-slot placeholder files fill every free slot
//     before the last entry landed (with the never-used slots they meet
//     first, fewer than one name's), and the entry comes in again;
//   - a large free stretch, left when the driver filled the never-used
//     slots at the end first: the entries landed there go out with it, the
//     never-used slots left are taken by placeholders, and all come in
//     again in order, now into the stretch.
// Placeholders are removed at the end; a removal moves no entry. Where the
// index does not show slots (NTFS, Linux's inode numbers under Wine), the
// landing does nothing and says so.
namespace cardslots {

struct LandingPlace {
  std::string folder;  // where the entries land
  // Where an entry waits while room is made for it, on the same volume:
  // the in-place order's work folder. Empty: the landing makes a folder of
  // its own inside `folder` when it first needs one, and removes it.
  std::string holding;
  // Every name that is to land, in order: no placeholder takes one.
  std::vector<std::string> names;
  // The volume's allocation unit, for the bound on placeholders; 0 when
  // not known.
  std::uint64_t clusterBytes = 0;
};

struct LandingReport {
  enum class Outcome {
    InOrder,      // the indexes rise in the order the entries arrived
    NotObserved,  // the index shows no slots here: nothing was done
    OutOfOrder,   // a bound was reached, or the indexes do not rise at the end
    Failed,       // a move or a call failed: error and failedPath
  };
  Outcome outcome = Outcome::InOrder;
  int placeholders = 0;  // placeholder files made
  int extraMoves = 0;    // moves besides each entry's own arrival
  int plugs = 0;         // holes filled
  int restarts = 0;      // the landed entries taken out and in again
  platform::OsErrorCode error = 0;
  std::string failedPath;
  // After a failed move: the entries left in the holding folder, in order.
  std::vector<std::string> leftInHolding;
  // The landing's own entries it could not remove.
  std::vector<std::string> leftBehind;
};

class OrderedLanding {
 public:
  OrderedLanding(SlotCalls& calls, LandingPlace place);
  // Removes whatever of its own finish() has not.
  ~OrderedLanding();
  OrderedLanding(const OrderedLanding&) = delete;
  OrderedLanding& operator=(const OrderedLanding&) = delete;

  // `name` has come into the folder (moved in or written), after every
  // entry that arrived before it. The landing may move it and those before
  // it out to the holding folder and in again. 0, or the error of a move
  // that failed: the report says which entries it left in the holding folder.
  platform::OsErrorCode arrived(const std::string& name);

  // Removes the placeholders and the landing's own holding folder, checks
  // the order once more, and tells how it went.
  LandingReport finish();

  // The most placeholders a landing makes: 64, two for every name and one
  // for every slot of a cluster.
  static std::size_t mostPlaceholders(std::size_t names, std::uint64_t clusterBytes);

 private:
  struct Landed {
    std::string name;
    std::uint64_t index = 0;
  };
  enum class State { Watching, Blind, GaveUp, Failed };

  std::string inFolder(const std::string& name) const;
  std::string inHolding(const std::string& name) const;
  // The index of an entry of the folder, or nullopt, and the landing blind,
  // when it cannot be read or cannot be a slot's.
  std::optional<std::uint64_t> observe(const std::string& name);
  bool slotLike(std::uint64_t index);
  platform::OsErrorCode settle(const std::string& name, std::uint64_t index, int tries);
  platform::OsErrorCode plug(const std::string& name, int tries);
  // The landed entries from `keep` on and the arrival out, and in again.
  platform::OsErrorCode restart(const std::string& name, std::uint64_t index, std::size_t keep,
                                int tries);
  // Every landed entry's index read again: a fixed root compacted under
  // them moves them all, in their order.
  bool reread(const std::string& name, std::uint64_t& index);
  // A placeholder made in the folder, and where it lies; nullopt when none
  // can be made or seen.
  std::optional<std::uint64_t> placeholder();
  void removeLastPlaceholder();
  platform::OsErrorCode moveOut(const std::string& name);
  platform::OsErrorCode moveIn(const std::string& name);
  // The move in, once more without the placeholders if it fails; the entry
  // is reported left in the holding folder when it still cannot come.
  platform::OsErrorCode comeIn(const std::string& name);
  void removePlaceholders();
  // After a failed move: names[from] to names[to - 1] brought in without
  // looking, those that cannot come reported.
  void bringIn(const std::vector<std::string>& names, std::size_t from, std::size_t to);
  platform::OsErrorCode fail(platform::OsErrorCode error, const std::string& path);
  bool holdingReady();
  bool inOrderNow();

  SlotCalls& calls_;
  LandingPlace place_;
  PlaceholderNames names_;
  std::vector<Landed> landed_;
  std::vector<std::string> placeholders_;  // paths, as made
  std::optional<std::uint64_t> anchor_;    // the first index seen
  State state_ = State::Watching;
  std::string ownHolding_;  // the holding folder the landing made
  int restartsLeft_;
  std::size_t budget_;
  LandingReport report_;
  bool finished_ = false;
};

}  // namespace cardslots
