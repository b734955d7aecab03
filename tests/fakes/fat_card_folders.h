#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fakes/fat_directory.h"
#include "platform/copy_ops.h"

namespace fakes {

// Every folder of a card laid out slot by slot (FatDirectory), each with
// its own place on the card: a folder's file indexes are that place plus
// the byte offset of the entry's short entry, as fastfat makes them
// (FatGenerateFileIdFromDirentOffset). Folders are named by their full
// paths; the caller keeps the paths and the rest of the file system.
class FatCardFolders {
 public:
  using Refusal = FatDirectory::Refusal;

  // FAT (12/16) roots are the fixed area of 512 slots; FAT32's and exFAT's
  // grow. Names take fatSlotsOf or exfatSlotsOf slots by the file system.
  FatCardFolders(platform::FileSystem fileSystem, std::uint32_t clusterBytes,
                 SlotPlacement placement);

  void addRoot(const std::string& path);
  // A new, empty subfolder: one cluster.
  void addFolder(const std::string& path);
  bool knows(const std::string& folder) const { return folders_.count(folder) != 0; }

  // An entry comes into the folder, leaves it, or takes another name in it
  // (FatSetRenameInfo); freeClusters bounds the folder's growth.
  Refusal create(const std::string& folder, const std::string& name, std::uint64_t freeClusters);
  void remove(const std::string& folder, const std::string& name);
  Refusal rename(const std::string& folder, const std::string& from, const std::string& to,
                 std::uint64_t freeClusters);
  // A folder moved or renamed, and every folder below it: their slots stay.
  void moveFolder(const std::string& from, const std::string& to, char separator);
  void dropFolder(const std::string& folder) { folders_.erase(folder); }

  std::vector<std::string> names(const std::string& folder) const;
  std::uint64_t index(const std::string& folder, const std::string& name) const;
  std::uint32_t clusters(const std::string& folder) const;
  const FatDirectory& directory(const std::string& folder) const;
  std::uint32_t slotsOf(const std::string& name) const;
  // Every folder forgets its hints and rescans (FatRescanDirectory): the card
  // taken out and put back.
  void rescanAll();

 private:
  struct Folder {
    FatDirectory slots;
    std::uint64_t place = 0;  // stands for the first cluster's byte on the card
  };
  FolderShape shapeOf(bool root) const;

  platform::FileSystem fileSystem_;
  std::uint32_t clusterBytes_;
  SlotPlacement placement_;
  std::map<std::string, Folder> folders_;
  std::uint64_t nextPlace_ = 1;
};

}  // namespace fakes
