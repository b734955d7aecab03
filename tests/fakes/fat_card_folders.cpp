#include "fakes/fat_card_folders.h"

#include <utility>

#include "cardcopy/volume_rules.h"
#include "fakes/fat_entry_slots.h"

namespace fakes {

namespace {

// Far enough apart that no folder's 64 Ki slots reach the next one's place.
constexpr std::uint64_t kPlaceStep = std::uint64_t{1} << 24;

}  // namespace

FatCardFolders::FatCardFolders(platform::FileSystem fileSystem, std::uint32_t clusterBytes,
                               SlotPlacement placement)
    : fileSystem_(fileSystem), clusterBytes_(clusterBytes), placement_(placement) {}

FolderShape FatCardFolders::shapeOf(bool root) const {
  FolderShape shape;
  shape.clusterBytes = clusterBytes_;
  shape.placement = placement_;
  shape.root = root;
  const bool exfat = fileSystem_ == platform::FileSystem::ExFat;
  // A FAT subfolder's "." and ".."; exFAT's root holds its allocation
  // bitmap's and up-case table's entries, its subfolders nothing.
  shape.reservedSlots = root ? (exfat ? 2 : 0) : (exfat ? 0 : 2);
  if (root && fileSystem_ == platform::FileSystem::Fat) {
    shape.fixedSlots = static_cast<std::uint32_t>(cardcopy::kFixedRootEntries);
  }
  return shape;
}

void FatCardFolders::addRoot(const std::string& path) {
  folders_.insert_or_assign(path, Folder{FatDirectory(shapeOf(true)), nextPlace_++ * kPlaceStep});
}

void FatCardFolders::addFolder(const std::string& path) {
  folders_.insert_or_assign(path, Folder{FatDirectory(shapeOf(false)), nextPlace_++ * kPlaceStep});
}

std::uint32_t FatCardFolders::slotsOf(const std::string& name) const {
  return fileSystem_ == platform::FileSystem::ExFat ? exfatSlotsOf(name) : fatSlotsOf(name);
}

FatCardFolders::Refusal FatCardFolders::create(const std::string& folder, const std::string& name,
                                               std::uint64_t freeClusters) {
  return folders_.at(folder).slots.create(name, slotsOf(name), freeClusters);
}

void FatCardFolders::remove(const std::string& folder, const std::string& name) {
  folders_.at(folder).slots.remove(name);
}

FatCardFolders::Refusal FatCardFolders::rename(const std::string& folder, const std::string& from,
                                               const std::string& to, std::uint64_t freeClusters) {
  return folders_.at(folder).slots.rename(from, to, slotsOf(to), freeClusters);
}

void FatCardFolders::moveFolder(const std::string& from, const std::string& to, char separator) {
  std::vector<std::pair<std::string, Folder>> moved;
  for (auto it = folders_.begin(); it != folders_.end();) {
    if (it->first == from || it->first.rfind(from + separator, 0) == 0) {
      moved.emplace_back(to + it->first.substr(from.size()), std::move(it->second));
      it = folders_.erase(it);
    } else {
      ++it;
    }
  }
  for (auto& [path, folder] : moved) folders_.insert_or_assign(path, std::move(folder));
}

std::vector<std::string> FatCardFolders::names(const std::string& folder) const {
  return folders_.at(folder).slots.names();
}

std::uint64_t FatCardFolders::index(const std::string& folder, const std::string& name) const {
  const Folder& f = folders_.at(folder);
  return f.place + f.slots.direntOffset(name);
}

std::uint32_t FatCardFolders::clusters(const std::string& folder) const {
  return folders_.at(folder).slots.clusters();
}

const FatDirectory& FatCardFolders::directory(const std::string& folder) const {
  return folders_.at(folder).slots;
}

void FatCardFolders::rescanAll() {
  for (auto& [path, folder] : folders_) folder.slots.rescan();
}

}  // namespace fakes
