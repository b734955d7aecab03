#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// One folder of a FAT card as a driver lays out its 32-byte slots: which
// slots each entry holds, which are free, and where the next entry goes.
namespace fakes {

// How the driver picks the slots of a new entry.
enum class SlotPlacement {
  // Windows' FAT driver (fastfat's FatCreateNewDirent): the never-used slots
  // after the last one ever used, while they fit in the folder's clusters;
  // else the first free run from the deleted hint (RtlFindClearBits, which
  // wraps to the start); else, in a folder that can grow, at the never-used
  // mark with a new cluster. FAT12/16's root is compacted first.
  Fastfat,
  // Linux's FAT driver (fat_add_entries): the lowest free run, deleted or
  // never used; else the free run at the end, with new clusters after it.
  LowestFit,
};

struct FolderShape {
  std::uint32_t clusterBytes = 4096;
  SlotPlacement placement = SlotPlacement::Fastfat;
  // A volume's root: no "." and "..".
  bool root = false;
  // FAT12/16's root: a fixed area of this many slots that never grows; 0
  // for a folder of clusters.
  std::uint32_t fixedSlots = 0;
  // Slots the folder holds from the start that are no entry's to list: a
  // subfolder's "." and "..", exFAT's bitmap and up-case entries, a label.
  std::uint32_t reservedSlots = 2;
};

class FatDirectory {
 public:
  // Why an entry could not be placed.
  enum class Refusal {
    None,
    Full,     // fastfat's STATUS_CANNOT_MAKE: a full fixed root, or 64 Ki slots
    NoSpace,  // the new cluster would need more free clusters than there are
  };

  // Every 32-byte slot's state, as its first byte tells it.
  enum class Slot { NeverUsed, Deleted, Used };

  struct Entry {
    std::uint32_t first = 0;  // the first long-name slot, or the short entry
    std::uint32_t slots = 1;
  };

  // A new folder: its first cluster (or the fixed root) with the reserved
  // slots used and the rest never used, and the driver's hints as
  // FatRescanDirectory finds them there.
  explicit FatDirectory(FolderShape shape);

  // A new entry: the slots chosen by the placement, or the refusal and the
  // folder as it was. freeClusters bounds the clusters a growth may add.
  Refusal create(const std::string& name, std::uint32_t slots,
                 std::uint64_t freeClusters = UINT64_MAX);
  // FatDeleteDirent: the slots marked deleted; the deleted hint comes down
  // to them when the short entry lies below it. Nothing else moves.
  void remove(const std::string& name);
  // FatSetRenameInfo within the folder: the same number of slots keeps the
  // entry where it is; another number takes new slots first and frees the
  // old ones after.
  Refusal rename(const std::string& from, const std::string& to, std::uint32_t slots,
                 std::uint64_t freeClusters = UINT64_MAX);
  // The driver forgets its hints and reads them from the slots again
  // (FatRescanDirectory), as when the folder's DCB is made anew.
  void rescan();

  bool has(const std::string& name) const { return entries_.count(name) != 0; }
  // The entries in slot order, as an enumeration gives them.
  std::vector<std::string> names() const;
  const Entry& entry(const std::string& name) const { return entries_.at(name); }
  // The byte offset of an entry's short entry: what its file index adds to
  // the folder's own place (FatGenerateFileIdFromDirentOffset).
  std::uint32_t direntOffset(const std::string& name) const;

  std::uint32_t allocationBytes() const { return static_cast<std::uint32_t>(slots_.size()) * 32; }
  std::uint32_t clusters() const;
  std::uint32_t unusedDirentVbo() const { return unusedVbo_; }
  std::uint32_t deletedDirentHint() const { return deletedHint_; }
  Slot slot(std::uint32_t index) const { return slots_.at(index); }
  int compactions() const { return compactions_; }

 private:
  std::optional<std::uint32_t> placeFastfat(std::uint32_t slots, std::uint64_t freeClusters,
                                            Refusal& refusal);
  std::optional<std::uint32_t> placeLowestFit(std::uint32_t slots, std::uint64_t freeClusters,
                                              Refusal& refusal);
  // RtlFindClearBits over the used slots: the first run from the hint, then
  // one from the start.
  std::optional<std::uint32_t> findClearRun(std::uint32_t slots, std::uint32_t hintIndex) const;
  // The lowest run of free slots starting at `from` or later.
  std::optional<std::uint32_t> lowestRun(std::uint32_t slots, std::uint32_t from) const;
  // FatDefragDirectory: every entry moved to the front in its order, the
  // holes behind them marked deleted; the first free slot, or nullopt when
  // too few are free.
  std::optional<std::uint32_t> compact(std::uint32_t slots);
  // Clusters added so that `bytes` lie inside the folder; false when more
  // than freeClusters would be needed.
  bool growTo(std::uint64_t bytes, std::uint64_t freeClusters);
  void take(const std::string& name, std::uint32_t first, std::uint32_t slots);
  bool fixed() const { return shape_.fixedSlots != 0; }

  FolderShape shape_;
  std::vector<Slot> slots_;
  std::map<std::string, Entry> entries_;
  std::uint32_t unusedVbo_ = 0;    // bytes
  std::uint32_t deletedHint_ = 0;  // bytes
  // No free slot lies below this one: where the lowest fit starts looking.
  std::uint32_t firstFree_ = 0;
  int compactions_ = 0;
};

}  // namespace fakes
