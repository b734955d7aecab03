#include "fakes/fat_directory.h"

#include <algorithm>
#include <stdexcept>

namespace fakes {

namespace {

constexpr std::uint32_t kSlotBytes = 32;
// fastfat grows no folder past 64 Ki slots, as Windows 95 did; Linux stops
// at the same 2 MB (FAT_MAX_DIR_SIZE).
constexpr std::uint64_t kLargestFolderBytes = 64 * 1024 * kSlotBytes;
// FatDefragDirectory leaves larger folders alone (a view of the cache).
constexpr std::uint64_t kLargestCompacted = 0x40000;

}  // namespace

FatDirectory::FatDirectory(FolderShape shape) : shape_(shape) {
  const std::uint32_t size = fixed() ? shape_.fixedSlots : shape_.clusterBytes / kSlotBytes;
  if (shape_.reservedSlots > size) throw std::invalid_argument("more reserved slots than slots");
  slots_.assign(size, Slot::NeverUsed);
  std::fill_n(slots_.begin(), shape_.reservedSlots, Slot::Used);
  // FatRescanDirectory on a folder with nothing deleted: both at the first
  // never-used slot.
  unusedVbo_ = shape_.reservedSlots * kSlotBytes;
  deletedHint_ = unusedVbo_;
  firstFree_ = shape_.reservedSlots;
}

std::uint32_t FatDirectory::clusters() const {
  return fixed() ? 0 : allocationBytes() / shape_.clusterBytes;
}

std::optional<std::uint32_t> FatDirectory::lowestRun(std::uint32_t slots,
                                                     std::uint32_t from) const {
  std::uint32_t run = 0;
  for (auto s = static_cast<std::uint32_t>(from); s < slots_.size(); ++s) {
    run = slots_[s] == Slot::Used ? 0 : run + 1;
    if (run == slots) return s + 1 - slots;
  }
  return std::nullopt;
}

std::optional<std::uint32_t> FatDirectory::findClearRun(std::uint32_t slots,
                                                        std::uint32_t hintIndex) const {
  if (hintIndex >= slots_.size()) hintIndex = 0;
  // From the hint on; failing that, from the start: whatever that finds
  // begins before the hint, or the first search would have found it. No
  // free slot lies below firstFree_, so neither search need look there.
  if (const auto found = lowestRun(slots, std::max(hintIndex, firstFree_))) return found;
  return hintIndex <= firstFree_ ? std::nullopt : lowestRun(slots, firstFree_);
}

bool FatDirectory::growTo(std::uint64_t bytes, std::uint64_t freeClusters) {
  const std::uint64_t cluster = shape_.clusterBytes;
  const std::uint64_t wanted = (bytes + cluster - 1) / cluster * cluster;
  if (wanted <= allocationBytes()) return true;
  if ((wanted - allocationBytes()) / cluster > freeClusters) return false;
  slots_.resize(wanted / kSlotBytes, Slot::NeverUsed);
  return true;
}

std::optional<std::uint32_t> FatDirectory::compact(std::uint32_t slots) {
  const auto size = static_cast<std::uint32_t>(slots_.size());
  const auto used =
      static_cast<std::uint32_t>(std::count(slots_.begin(), slots_.end(), Slot::Used));
  if (slots > size - used) return std::nullopt;
  std::uint32_t lastUsedEnd = 0;
  for (std::uint32_t s = 0; s < size; ++s) {
    if (slots_[s] == Slot::Used) lastUsedEnd = s + 1;
  }
  std::vector<Entry*> inOrder;
  for (auto& [name, entry] : entries_) inOrder.push_back(&entry);
  std::sort(inOrder.begin(), inOrder.end(),
            [](const Entry* a, const Entry* b) { return a->first < b->first; });
  std::uint32_t next = shape_.reservedSlots;
  for (Entry* entry : inOrder) {
    entry->first = next;
    next += entry->slots;
  }
  // The holes' slots, copied behind the entries, are all marked deleted;
  // past the last entry that was, the slots stay as they were.
  std::fill(slots_.begin(), slots_.begin() + used, Slot::Used);
  std::fill(slots_.begin() + used, slots_.begin() + lastUsedEnd, Slot::Deleted);
  firstFree_ = used;
  ++compactions_;
  return used;
}

std::optional<std::uint32_t> FatDirectory::placeFastfat(std::uint32_t slots,
                                                        std::uint64_t freeClusters,
                                                        Refusal& refusal) {
  const std::uint32_t need = slots * kSlotBytes;
  if (unusedVbo_ + need <= allocationBytes()) {
    const std::uint32_t at = unusedVbo_;
    unusedVbo_ += need;
    return at / kSlotBytes;
  }
  std::optional<std::uint32_t> run = findClearRun(slots, deletedHint_ / kSlotBytes);
  if (!run && fixed() && allocationBytes() <= kLargestCompacted) run = compact(slots);
  if (run) {
    const std::uint32_t at = *run * kSlotBytes;
    if (at == deletedHint_) deletedHint_ += need;
    if (at + need > unusedVbo_) unusedVbo_ = at + need;
    return *run;
  }
  if (fixed() || allocationBytes() >= kLargestFolderBytes) {
    refusal = Refusal::Full;
    return std::nullopt;
  }
  // The entry takes the never-used mark's place, partly in the old cluster;
  // the folder is extended past the byte after it (FatPrepareWriteDirectoryFile).
  const std::uint32_t at = unusedVbo_;
  if (!growTo(std::uint64_t{at} + need + 1, freeClusters)) {
    refusal = Refusal::NoSpace;
    return std::nullopt;
  }
  unusedVbo_ += need;
  return at / kSlotBytes;
}

std::optional<std::uint32_t> FatDirectory::placeLowestFit(std::uint32_t slots,
                                                          std::uint64_t freeClusters,
                                                          Refusal& refusal) {
  if (const auto found = lowestRun(slots, firstFree_)) return found;
  if (fixed() || allocationBytes() >= kLargestFolderBytes) {
    refusal = Refusal::Full;
    return std::nullopt;
  }
  // The free run at the end, with as many clusters after it as it lacks.
  auto start = static_cast<std::uint32_t>(slots_.size());
  while (start > 0 && slots_[start - 1] != Slot::Used) --start;
  if (!growTo(std::uint64_t{start + slots} * kSlotBytes, freeClusters)) {
    refusal = Refusal::NoSpace;
    return std::nullopt;
  }
  return start;
}

void FatDirectory::take(const std::string& name, std::uint32_t first, std::uint32_t slots) {
  std::fill_n(slots_.begin() + first, slots, Slot::Used);
  entries_[name] = {first, slots};
  while (firstFree_ < slots_.size() && slots_[firstFree_] == Slot::Used) ++firstFree_;
}

FatDirectory::Refusal FatDirectory::create(const std::string& name, std::uint32_t slots,
                                           std::uint64_t freeClusters) {
  if (has(name)) throw std::logic_error("an entry of that name stands: " + name);
  Refusal refusal = Refusal::None;
  const std::optional<std::uint32_t> first = shape_.placement == SlotPlacement::Fastfat
                                                 ? placeFastfat(slots, freeClusters, refusal)
                                                 : placeLowestFit(slots, freeClusters, refusal);
  if (first) take(name, *first, slots);
  return refusal;
}

void FatDirectory::remove(const std::string& name) {
  const Entry entry = entries_.at(name);
  std::fill_n(slots_.begin() + entry.first, entry.slots, Slot::Deleted);
  entries_.erase(name);
  firstFree_ = std::min(firstFree_, entry.first);
  const std::uint32_t shortEntry = (entry.first + entry.slots - 1) * kSlotBytes;
  if (shortEntry < deletedHint_) deletedHint_ = entry.first * kSlotBytes;
}

FatDirectory::Refusal FatDirectory::rename(const std::string& from, const std::string& to,
                                           std::uint32_t slots, std::uint64_t freeClusters) {
  const Entry entry = entries_.at(from);
  if (slots == entry.slots) {
    entries_.erase(from);
    entries_[to] = entry;
    return Refusal::None;
  }
  if (const Refusal refusal = create(to, slots, freeClusters); refusal != Refusal::None) {
    return refusal;
  }
  remove(from);
  return Refusal::None;
}

void FatDirectory::rescan() {
  std::optional<std::uint32_t> firstDeleted;
  std::uint32_t s = 0;
  for (; s < slots_.size() && slots_[s] != Slot::NeverUsed; ++s) {
    if (slots_[s] == Slot::Deleted && !firstDeleted) firstDeleted = s;
  }
  unusedVbo_ = s * kSlotBytes;
  deletedHint_ = firstDeleted ? *firstDeleted * kSlotBytes : unusedVbo_;
}

std::vector<std::string> FatDirectory::names() const {
  std::vector<std::pair<std::uint32_t, std::string>> placed;
  for (const auto& [name, entry] : entries_) placed.emplace_back(entry.first, name);
  std::sort(placed.begin(), placed.end());
  std::vector<std::string> names;
  for (auto& [first, name] : placed) names.push_back(std::move(name));
  return names;
}

std::uint32_t FatDirectory::direntOffset(const std::string& name) const {
  const Entry& e = entries_.at(name);
  return (e.first + e.slots - 1) * kSlotBytes;
}

}  // namespace fakes
