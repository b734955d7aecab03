#include "fakes/fault_copy_ops.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <utility>

#include "cardcopy/fat_names.h"

namespace fakes {

using platform::FileSystem;
using platform::OsErrorCode;

namespace {

constexpr OsErrorCode kErrorNotReady = 21;    // the card is gone
constexpr OsErrorCode kErrorCannotMake = 82;  // FAT12/16's root is full

// The directory entries of one name, as Microsoft describes the two file
// systems: on FAT a short entry and a long-name entry per 13 UTF-16 units;
// on exFAT a file entry, a stream extension entry and a name entry per 15.
std::uint64_t entriesOfName(FileSystem fs, const std::string& name) {
  std::size_t perEntry = 0;
  std::uint64_t entries = 0;
  switch (fs) {
    case FileSystem::Fat:
    case FileSystem::Fat32:
      perEntry = 13;
      entries = 1;
      break;
    case FileSystem::ExFat:
      perEntry = 15;
      entries = 2;
      break;
    default:
      return 0;
  }
  for (std::size_t at = 0; at < cardcopy::utf16Length(name); at += perEntry) ++entries;
  return entries * 32;
}

// Names the way FAT compares them, for the tests' ASCII names.
bool sameFolded(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

const char* FaultCopyOps::opName(Op op) {
  switch (op) {
    case Op::Stat:
      return "Stat";
    case Op::OpenSource:
      return "OpenSource";
    case Op::ListFolder:
      return "ListFolder";
    case Op::VolumeSpace:
      return "VolumeSpace";
    case Op::ReadTimes:
      return "ReadTimes";
    case Op::CreateFolder:
      return "CreateFolder";
    case Op::CopyFile:
      return "CopyFile";
    case Op::ListNames:
      return "ListNames";
    case Op::SetTimes:
      return "SetTimes";
    case Op::RemoveFile:
      return "RemoveFile";
    case Op::VolumeFacts:
      return "VolumeFacts";
    case Op::MoveEntry:
      return "MoveEntry";
    case Op::OpenExclusive:
      return "OpenExclusive";
    case Op::WriteNewFile:
      return "WriteNewFile";
    case Op::ReadWholeFile:
      return "ReadWholeFile";
    case Op::RemoveFolder:
      return "RemoveFolder";
    case Op::EntryIndex:
      return "EntryIndex";
    case Op::ListIndexes:
      return "ListIndexes";
  }
  return "?";
}

std::pair<std::string, std::string> FaultCopyOps::split(const std::string& path) const {
  const std::size_t cut = path.find_last_of(separator_);
  if (cut == std::string::npos) return {"", path};
  return {path.substr(0, cut), path.substr(cut + 1)};
}

bool FaultCopyOps::sortedUnder(const std::string& path) const {
  return std::any_of(sorted_.begin(), sorted_.end(), [&](const std::string& root) {
    return path == root || path.rfind(root + separator_, 0) == 0;
  });
}

bool FaultCopyOps::onCard(const std::string& path) const {
  return !cardRoot_.empty() && (path == cardRoot_ || path.rfind(cardRoot_ + separator_, 0) == 0);
}

std::uint64_t FaultCopyOps::sizeOf(const Node& node) const {
  return std::max<std::uint64_t>(node.size, node.content.size());
}

OsErrorCode FaultCopyOps::takeBytes(std::uint64_t bytes) {
  if (bytes > card_.freeBytes) return platform::kErrorDiskFull;
  card_.freeBytes -= bytes;
  return 0;
}

OsErrorCode FaultCopyOps::takeEntries(Node& parent, bool atRoot, const std::string& name) {
  const std::uint64_t bytes = entriesOfName(card_.fileSystem, name);
  if (atRoot && card_.fileSystem == FileSystem::Fat) {
    // The fixed root area: 512 entries of 32 bytes, no cluster of its own.
    if (parent.entryBytes + bytes > 512 * 32) return kErrorCannotMake;
    parent.entryBytes += bytes;
    return 0;
  }
  std::uint64_t clusters = parent.clusters;
  while ((parent.entryBytes + bytes) > clusters * card_.clusterBytes) ++clusters;
  if (const OsErrorCode error = takeBytes((clusters - parent.clusters) * card_.clusterBytes)) {
    return error;
  }
  parent.clusters = clusters;
  parent.entryBytes += bytes;
  return 0;
}

bool FaultCopyOps::cardTakesTimes(const platform::EntryTimes& times) const {
  if (card_.fileSystem != FileSystem::Fat && card_.fileSystem != FileSystem::Fat32 &&
      card_.fileSystem != FileSystem::ExFat) {
    return true;
  }
  for (const platform::FileTime t : {times.creation, times.lastAccess, times.lastWrite}) {
    if (t == 0) continue;
    const auto local = toLocal_(t);
    if (local && (local->year < 1980 || local->year > 2107)) return false;
  }
  return true;
}

std::optional<OsErrorCode> FaultCopyOps::pulled(const std::string& path, bool write) {
  if (!onCard(path) || writesLeft_ < 0) return std::nullopt;
  if (writesLeft_ == 0) return kErrorNotReady;
  if (write) --writesLeft_;
  return std::nullopt;
}

OsErrorCode FaultCopyOps::link(const std::string& path, Node node) {
  if (nodes_.count(path))
    return node.folder ? platform::kErrorAlreadyExists : platform::kErrorFileExists;
  const auto [parent, name] = split(path);
  if (!parent.empty()) {
    const auto it = nodes_.find(parent);
    if (it == nodes_.end() || !it->second.folder) return platform::kErrorPathNotFound;
    if (onCard(path)) {
      for (const std::string& other : it->second.order) {
        if (sameFolded(other, name)) {
          return node.folder ? platform::kErrorAlreadyExists : platform::kErrorFileExists;
        }
      }
      const OsErrorCode taken = keepsSlots(parent)
                                    ? takeSlots(parent, name, node.folder)
                                    : takeEntries(it->second, parent == cardRoot_, name);
      if (taken != 0) return taken;
      if (node.folder) {
        // A new folder: one cluster, and on FAT its "." and "..".
        if (const OsErrorCode error = takeBytes(card_.clusterBytes)) return error;
        node.clusters = 1;
        node.entryBytes = card_.fileSystem == FileSystem::ExFat ? 0 : 64;
      }
    }
    std::vector<std::string>& order = it->second.order;
    if (keepsSlots(parent)) {
      order = cardFolders_->names(parent);
      if (node.folder) cardFolders_->addFolder(path);
    } else {
      order.push_back(name);
      if (sortedUnder(parent)) std::sort(order.begin(), order.end());
    }
  }
  node.serial = nextSerial_++;
  nodes_[path] = std::move(node);
  return 0;
}

OsErrorCode FaultCopyOps::takeSlots(const std::string& parent, const std::string& name,
                                    bool newFolder) {
  const std::uint64_t cluster = card_.clusterBytes;
  std::uint64_t free = card_.freeBytes / cluster;
  if (newFolder) {
    if (free == 0) return platform::kErrorDiskFull;
    --free;
  }
  const std::uint32_t before = cardFolders_->clusters(parent);
  switch (cardFolders_->create(parent, name, free)) {
    case FatCardFolders::Refusal::Full:
      return kErrorCannotMake;
    case FatCardFolders::Refusal::NoSpace:
      return platform::kErrorDiskFull;
    case FatCardFolders::Refusal::None:
      break;
  }
  card_.freeBytes -= (cardFolders_->clusters(parent) - before) * cluster;
  return 0;
}

OsErrorCode FaultCopyOps::moveSlots(const std::string& fromParent, const std::string& fromName,
                                    const std::string& toParent, const std::string& toName) {
  const bool within = fromParent == toParent;
  if (keepsSlots(toParent)) {
    const std::uint64_t cluster = card_.clusterBytes;
    const std::uint32_t before = cardFolders_->clusters(toParent);
    const FatCardFolders::Refusal refusal =
        within && keepsSlots(fromParent)
            ? cardFolders_->rename(toParent, fromName, toName, card_.freeBytes / cluster)
            : cardFolders_->create(toParent, toName, card_.freeBytes / cluster);
    if (refusal == FatCardFolders::Refusal::Full) return kErrorCannotMake;
    if (refusal == FatCardFolders::Refusal::NoSpace) return platform::kErrorDiskFull;
    card_.freeBytes -= (cardFolders_->clusters(toParent) - before) * cluster;
  }
  if (!within && keepsSlots(fromParent)) cardFolders_->remove(fromParent, fromName);
  return 0;
}

const FatDirectory* FaultCopyOps::cardFolder(const std::string& path) const {
  return keepsSlots(path) ? &cardFolders_->directory(path) : nullptr;
}

void FaultCopyOps::formatCard(const std::string& root, platform::VolumeSpace volume,
                              cardcopy::LocalTimeOf toLocal, CardSlots slots) {
  if (slots != CardSlots::Appended) {
    cardFolders_ = std::make_unique<FatCardFolders>(
        volume.fileSystem, static_cast<std::uint32_t>(volume.clusterBytes),
        slots == CardSlots::Fastfat ? SlotPlacement::Fastfat : SlotPlacement::LowestFit);
    // The entries already there, written in their order.
    std::vector<std::string> folders;
    for (const auto& [path, node] : nodes_) {
      if (node.folder && (path == root || path.rfind(root + separator_, 0) == 0)) {
        folders.push_back(path);
      }
    }
    for (const std::string& folder : folders) {
      if (folder == root && volume.root) {
        cardFolders_->addRoot(folder);
      } else {
        cardFolders_->addFolder(folder);
      }
    }
    for (const std::string& folder : folders) {
      Node& node = nodes_.at(folder);
      for (const std::string& name : node.order) cardFolders_->create(folder, name, UINT64_MAX);
      node.order = cardFolders_->names(folder);
    }
  }
  cardRoot_ = root;
  card_ = volume;
  toLocal_ = std::move(toLocal);
  Node& node = nodes_.at(root);
  // The root as formatted: exFAT's holds the allocation bitmap's and the
  // up-case table's entries, a FAT subfolder its "." and "..".
  node.entryBytes = volume.fileSystem == FileSystem::ExFat && volume.root   ? 64
                    : volume.fileSystem == FileSystem::ExFat || volume.root ? 0
                                                                            : 64;
  for (const std::string& name : node.order)
    node.entryBytes += entriesOfName(volume.fileSystem, name);
  const bool fixed = volume.root && volume.fileSystem == FileSystem::Fat;
  node.clusters = fixed ? 0
                        : std::max<std::uint64_t>(
                              1, (node.entryBytes + volume.clusterBytes - 1) / volume.clusterBytes);
}

void FaultCopyOps::addFolder(const std::string& path, platform::EntryTimes times) {
  const auto [parent, name] = split(path);
  if (!parent.empty() && !nodes_.count(parent)) addFolder(parent);
  Node node;
  node.folder = true;
  node.times = times;
  link(path, std::move(node));
}

void FaultCopyOps::addFile(const std::string& path, std::string content,
                           platform::EntryTimes times) {
  const auto [parent, name] = split(path);
  if (!parent.empty() && !nodes_.count(parent)) addFolder(parent);
  Node node;
  node.content = std::move(content);
  node.times = times;
  link(path, std::move(node));
}

void FaultCopyOps::addSizedFile(const std::string& path, std::uint64_t size,
                                platform::EntryTimes times) {
  addFile(path, "", times);
  nodes_.at(path).size = size;
}

void FaultCopyOps::injectFault(Op op, const std::string& path, OsErrorCode error) {
  faults_[{op, path}] = error;
}

std::optional<OsErrorCode> FaultCopyOps::fault(Op op, const std::string& path) const {
  const auto it = faults_.find({op, path});
  if (it == faults_.end()) return std::nullopt;
  return it->second;
}

const FaultCopyOps::Node* FaultCopyOps::find(const std::string& path) const {
  const auto it = nodes_.find(path);
  return it == nodes_.end() ? nullptr : &it->second;
}

std::vector<std::string> FaultCopyOps::listed(const std::string& path) const {
  const Node* node = find(path);
  return node ? node->order : std::vector<std::string>{};
}

std::vector<std::string> FaultCopyOps::under(const std::string& path) const {
  std::vector<std::string> found;
  for (const auto& [key, node] : nodes_) {
    if (key.rfind(path + separator_, 0) == 0) found.push_back(key);
  }
  return found;
}

platform::EntryStat FaultCopyOps::stat(const std::string& path) {
  if (fault(Op::Stat, path) || pulled(path, false)) return {};
  const Node* node = find(path);
  if (!node) return {};
  if (node->folder) return {platform::EntryKind::Folder, 0, node->times};
  return {platform::EntryKind::File, sizeOf(*node), node->times};
}

namespace {

// Counts itself among the fake's open files while it lives.
struct FakeSource : platform::SourceFile {
  FakeSource(std::string path, int& open) : path(std::move(path)), open(open) { ++open; }
  ~FakeSource() override { --open; }
  FakeSource(const FakeSource&) = delete;
  FakeSource& operator=(const FakeSource&) = delete;
  std::string path;
  int& open;
};

}  // namespace

OsErrorCode FaultCopyOps::openSource(const std::string& path, platform::OpenedSource& source) {
  if (auto error = fault(Op::OpenSource, path)) return *error;
  const Node* node = find(path);
  if (!node || node->folder) return platform::kErrorFileNotFound;
  if (mostOpen_ > 0 && sourcesOpen_ >= mostOpen_) return platform::kErrorTooManyOpenFiles;
  source = std::make_unique<FakeSource>(path, sourcesOpen_);
  return 0;
}

OsErrorCode FaultCopyOps::listFolder(const std::string& path,
                                     std::vector<platform::FolderItem>& items) {
  items.clear();
  if (auto error = fault(Op::ListFolder, path)) return *error;
  if (auto error = pulled(path, false)) return *error;
  const Node* node = find(path);
  if (!node || !node->folder) return platform::kErrorPathNotFound;
  for (const std::string& name : node->order) {
    const Node& child = nodes_.at(path + separator_ + name);
    items.push_back(
        {name, child.folder, child.folder ? 0 : sizeOf(child), child.times, child.hiddenSystem});
  }
  return 0;
}

OsErrorCode FaultCopyOps::listNames(const std::string& path,
                                    std::vector<platform::FolderItem>& names) {
  names.clear();
  if (auto error = fault(Op::ListNames, path)) return *error;
  if (auto error = pulled(path, false)) return *error;
  const Node* node = find(path);
  if (!node || !node->folder) return platform::kErrorPathNotFound;
  for (const std::string& name : node->order) {
    platform::FolderItem item;
    item.name = name;
    item.hiddenSystem = nodes_.at(path + separator_ + name).hiddenSystem;
    names.push_back(std::move(item));
  }
  return 0;
}

OsErrorCode FaultCopyOps::volumeSpace(const std::string& folder, platform::VolumeSpace& space) {
  if (auto error = fault(Op::VolumeSpace, folder)) return *error;
  if (auto error = pulled(folder, false)) return *error;
  if (!onCard(folder)) {
    space = space_;
    return 0;
  }
  space = card_;
  space.root = folder == cardRoot_;
  if (cardHidden_) {
    space.fileSystem = FileSystem::Unknown;
    space.clusterBytes = 0;
  }
  return 0;
}

std::string FaultCopyOps::comparablePath(const std::string& path) {
  if (const auto it = aliases_.find(path); it != aliases_.end()) return it->second;
  return find(path) ? path : std::string();
}

OsErrorCode FaultCopyOps::readTimes(const std::string& path, platform::EntryTimes& times) {
  if (auto error = fault(Op::ReadTimes, path)) return *error;
  if (auto error = pulled(path, false)) return *error;
  const Node* node = find(path);
  if (!node) return platform::kErrorFileNotFound;
  times = node->times;
  return 0;
}

OsErrorCode FaultCopyOps::createFolder(const std::string& path) {
  writes_.push_back({Op::CreateFolder, path});
  if (auto error = fault(Op::CreateFolder, path)) return *error;
  if (auto error = pulled(path, true)) return *error;
  if (find(path)) return platform::kErrorAlreadyExists;
  Node node;
  node.folder = true;
  return link(path, std::move(node));
}

OsErrorCode FaultCopyOps::copyFile(const std::string& from, platform::OpenedSource opened,
                                   const std::string& to, const platform::StopRequested& stop,
                                   bool flush, bool& created) {
  created = false;
  writes_.push_back({Op::CopyFile, to});
  ++copiesStarted_;
  if (const auto* held = dynamic_cast<const FakeSource*>(opened.get())) {
    if (held->path != from) return 6;  // ERROR_INVALID_HANDLE: another file's source
    ++heldCopies_;
  } else if (mostOpen_ > 0 && sourcesOpen_ >= mostOpen_) {
    return platform::kErrorTooManyOpenFiles;
  }
  const Node* source = find(from);
  if (!source || source->folder) return platform::kErrorFileNotFound;
  if (auto error = pulled(to, true)) return *error;
  const std::string content = source->content;
  const std::uint64_t size = sizeOf(*source);
  const platform::EntryTimes times = source->times;
  Node half;
  half.content = content.substr(0, content.size() / 2);
  if (const OsErrorCode error = link(to, std::move(half))) return error;
  created = true;
  if (auto error = fault(Op::CopyFile, to)) return *error;
  if (stop && stop()) return platform::kErrorRequestAborted;
  if (onCard(to)) {
    // FAT's size field ends below 4 GiB: the write past it fails.
    if ((card_.fileSystem == FileSystem::Fat || card_.fileSystem == FileSystem::Fat32) &&
        size > 0xFFFF'FFFFull) {
      return platform::kErrorDiskFull;
    }
    const std::uint64_t cluster = card_.clusterBytes;
    if (const OsErrorCode error = takeBytes((size + cluster - 1) / cluster * cluster)) return error;
    // SetFileTime at the end, as Windows' FAT driver checks it.
    if (!cardTakesTimes(times)) return platform::kErrorInvalidParameter;
  }
  nodes_[to].content = content;
  nodes_[to].size = size;
  nodes_[to].times = times;
  if (flush) flushed_.push_back(to);
  return 0;
}

OsErrorCode FaultCopyOps::setTimes(const std::string& path, const platform::EntryTimes& times,
                                   bool folder) {
  writes_.push_back({Op::SetTimes, path});
  if (auto error = fault(Op::SetTimes, path)) return *error;
  if (auto error = pulled(path, true)) return *error;
  if (onCard(path) && !cardTakesTimes(times)) return platform::kErrorInvalidParameter;
  const auto it = nodes_.find(path);
  if (it == nodes_.end() || it->second.folder != folder) return platform::kErrorFileNotFound;
  if (times.creation) it->second.times.creation = times.creation;
  if (times.lastAccess) it->second.times.lastAccess = times.lastAccess;
  if (times.lastWrite) it->second.times.lastWrite = times.lastWrite;
  return 0;
}

OsErrorCode FaultCopyOps::removeFile(const std::string& path) {
  writes_.push_back({Op::RemoveFile, path});
  if (auto error = fault(Op::RemoveFile, path)) return *error;
  if (auto error = pulled(path, false)) return *error;
  auto it = nodes_.find(path);
  if (it == nodes_.end() && onCard(path)) {
    // A card finds the name case-blind.
    const auto [parent, name] = split(path);
    if (const Node* folder = find(parent)) {
      for (const std::string& other : folder->order) {
        if (sameFolded(other, name)) it = nodes_.find(parent + separator_ + other);
      }
    }
  }
  if (it == nodes_.end() || it->second.folder) return platform::kErrorFileNotFound;
  const std::string found = it->first;
  nodes_.erase(it);
  unlink(found);
  return 0;
}

void FaultCopyOps::unlink(const std::string& path) {
  const auto [parent, name] = split(path);
  if (keepsSlots(parent)) {
    cardFolders_->remove(parent, name);
    nodes_.at(parent).order = cardFolders_->names(parent);
    return;
  }
  if (const auto up = nodes_.find(parent); up != nodes_.end()) {
    auto& order = up->second.order;
    order.erase(std::remove(order.begin(), order.end(), name), order.end());
  }
}

OsErrorCode FaultCopyOps::volumeFacts(const std::string& folder, platform::VolumeFacts& facts) {
  if (auto error = fault(Op::VolumeFacts, folder)) return *error;
  if (!facts_) return platform::kErrorNotSupported;
  facts = *facts_;
  return 0;
}

OsErrorCode FaultCopyOps::moveEntry(const std::string& from, const std::string& to) {
  moves_.push_back({from, to});
  writes_.push_back({Op::MoveEntry, to});
  if (failMovesFrom_ >= 0 && static_cast<int>(moves_.size()) > failMovesFrom_) {
    return failMovesWith_;
  }
  if (auto error = fault(Op::MoveEntry, from)) return *error;
  if (!find(from)) return platform::kErrorFileNotFound;
  if (find(to)) return platform::kErrorAlreadyExists;
  const auto [parent, name] = split(to);
  const Node* up = find(parent);
  if (!up || !up->folder) return platform::kErrorPathNotFound;
  const auto [fromParent, fromName] = split(from);
  if (onCard(to)) {
    for (const std::string& other : up->order) {
      const bool itself = parent == fromParent && other == fromName;
      if (!itself && sameFolded(other, name)) return platform::kErrorAlreadyExists;
    }
  }
  const bool folder = find(from)->folder;
  if (const OsErrorCode error = moveSlots(fromParent, fromName, parent, name)) return error;
  // The node and everything under it change their names; nothing else.
  std::vector<std::pair<std::string, Node>> moved;
  for (auto it = nodes_.begin(); it != nodes_.end();) {
    if (it->first == from || it->first.rfind(from + separator_, 0) == 0) {
      moved.emplace_back(to + it->first.substr(from.size()), std::move(it->second));
      it = nodes_.erase(it);
    } else {
      ++it;
    }
  }
  Node& target = nodes_[parent];
  if (keepsSlots(fromParent)) {
    nodes_.at(fromParent).order = cardFolders_->names(fromParent);
  } else {
    auto& order = nodes_.at(fromParent).order;
    order.erase(std::remove(order.begin(), order.end(), fromName), order.end());
  }
  if (keepsSlots(parent)) {
    target.order = cardFolders_->names(parent);
  } else {
    target.order.push_back(name);
    if (sortedUnder(parent)) std::sort(target.order.begin(), target.order.end());
  }
  if (folder && cardFolders_) cardFolders_->moveFolder(from, to, separator_);
  for (auto& [path, node] : moved) nodes_[path] = std::move(node);
  return 0;
}

OsErrorCode FaultCopyOps::openExclusive(const std::string& path) {
  exclusiveOpens_.push_back(path);
  if (auto error = fault(Op::OpenExclusive, path)) return *error;
  const Node* node = find(path);
  if (!node || node->folder) return platform::kErrorFileNotFound;
  return 0;
}

OsErrorCode FaultCopyOps::writeNewFile(const std::string& path, std::string_view bytes) {
  writes_.push_back({Op::WriteNewFile, path});
  if (auto error = fault(Op::WriteNewFile, path)) return *error;
  if (find(path)) return platform::kErrorAlreadyExists;
  Node node;
  node.content = std::string(bytes);
  return link(path, std::move(node));
}

OsErrorCode FaultCopyOps::readWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  if (auto error = fault(Op::ReadWholeFile, path)) return *error;
  const Node* node = find(path);
  if (!node || node->folder) return platform::kErrorFileNotFound;
  bytes = node->content;
  return 0;
}

OsErrorCode FaultCopyOps::removeFolder(const std::string& path) {
  writes_.push_back({Op::RemoveFolder, path});
  if (auto error = fault(Op::RemoveFolder, path)) return *error;
  const auto it = nodes_.find(path);
  if (it == nodes_.end() || !it->second.folder) return platform::kErrorPathNotFound;
  if (!it->second.order.empty()) return 145;  // ERROR_DIR_NOT_EMPTY
  nodes_.erase(it);
  unlink(path);
  if (cardFolders_) cardFolders_->dropFolder(path);
  return 0;
}

OsErrorCode FaultCopyOps::entryIndex(const std::string& path, std::uint64_t& index) {
  if (auto error = fault(Op::EntryIndex, path)) return *error;
  if (auto error = pulled(path, false)) return *error;
  const Node* node = find(path);
  if (!node) return platform::kErrorFileNotFound;
  const auto [parent, name] = split(path);
  index = keepsSlots(parent) && !cardBySerial_ ? cardFolders_->index(parent, name) : node->serial;
  return 0;
}

OsErrorCode FaultCopyOps::listIndexes(const std::string& path,
                                      std::vector<platform::IndexedItem>& items) {
  items.clear();
  if (auto error = fault(Op::ListIndexes, path)) return *error;
  if (auto error = pulled(path, false)) return *error;
  const Node* node = find(path);
  if (!node || !node->folder) return platform::kErrorPathNotFound;
  for (const std::string& name : node->order) {
    const Node& child = nodes_.at(path + separator_ + name);
    const std::uint64_t index =
        keepsSlots(path) && !cardBySerial_ ? cardFolders_->index(path, name) : child.serial;
    items.push_back({name, index, child.hiddenSystem});
  }
  return 0;
}

}  // namespace fakes
