#include "fakes/fault_copy_ops.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace fakes {

using platform::OsErrorCode;

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

bool FaultCopyOps::link(const std::string& path, Node node) {
  if (nodes_.count(path)) return false;
  const auto [parent, name] = split(path);
  if (!parent.empty()) {
    const auto it = nodes_.find(parent);
    if (it == nodes_.end() || !it->second.folder) return false;
    std::vector<std::string>& order = it->second.order;
    order.push_back(name);
    if (sortedUnder(parent)) std::sort(order.begin(), order.end());
  }
  nodes_[path] = std::move(node);
  return true;
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
  if (fault(Op::Stat, path)) return {};
  const Node* node = find(path);
  if (!node) return {};
  if (node->folder) return {platform::EntryKind::Folder, 0};
  return {platform::EntryKind::File, node->content.size()};
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
  const Node* node = find(path);
  if (!node || !node->folder) return platform::kErrorPathNotFound;
  for (const std::string& name : node->order) {
    const Node& child = nodes_.at(path + separator_ + name);
    items.push_back({name, child.folder, child.folder ? 0 : child.content.size()});
  }
  return 0;
}

OsErrorCode FaultCopyOps::listNames(const std::string& path, std::vector<std::string>& names) {
  names.clear();
  if (auto error = fault(Op::ListNames, path)) return *error;
  const Node* node = find(path);
  if (!node || !node->folder) return platform::kErrorPathNotFound;
  names = node->order;
  return 0;
}

OsErrorCode FaultCopyOps::volumeSpace(const std::string& folder, platform::VolumeSpace& space) {
  if (auto error = fault(Op::VolumeSpace, folder)) return *error;
  space = space_;
  return 0;
}

std::string FaultCopyOps::comparablePath(const std::string& path) {
  if (const auto it = aliases_.find(path); it != aliases_.end()) return it->second;
  return find(path) ? path : std::string();
}

OsErrorCode FaultCopyOps::readTimes(const std::string& path, platform::EntryTimes& times) {
  if (auto error = fault(Op::ReadTimes, path)) return *error;
  const Node* node = find(path);
  if (!node) return platform::kErrorFileNotFound;
  times = node->times;
  return 0;
}

OsErrorCode FaultCopyOps::createFolder(const std::string& path) {
  writes_.push_back({Op::CreateFolder, path});
  if (auto error = fault(Op::CreateFolder, path)) return *error;
  if (find(path)) return platform::kErrorAlreadyExists;
  Node node;
  node.folder = true;
  return link(path, std::move(node)) ? 0 : platform::kErrorAccessDenied;
}

OsErrorCode FaultCopyOps::copyFile(const std::string& from, platform::OpenedSource opened,
                                   const std::string& to, const platform::StopRequested& stop) {
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
  const std::string content = source->content;
  const platform::EntryTimes times = source->times;
  Node half;
  half.content = content.substr(0, content.size() / 2);
  if (!link(to, std::move(half))) return platform::kErrorAccessDenied;
  if (auto error = fault(Op::CopyFile, to)) return *error;
  if (stop && stop()) return platform::kErrorRequestAborted;
  nodes_[to].content = content;
  nodes_[to].times = times;
  return 0;
}

OsErrorCode FaultCopyOps::setTimes(const std::string& path, const platform::EntryTimes& times,
                                   bool folder) {
  writes_.push_back({Op::SetTimes, path});
  if (auto error = fault(Op::SetTimes, path)) return *error;
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
  const auto it = nodes_.find(path);
  if (it == nodes_.end() || it->second.folder) return platform::kErrorFileNotFound;
  nodes_.erase(it);
  unlink(path);
  return 0;
}

void FaultCopyOps::unlink(const std::string& path) {
  const auto [parent, name] = split(path);
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
  unlink(from);
  Node& target = nodes_[parent];
  target.order.push_back(name);
  if (sortedUnder(parent)) std::sort(target.order.begin(), target.order.end());
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
  return link(path, std::move(node)) ? 0 : platform::kErrorPathNotFound;
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
  return 0;
}

}  // namespace fakes
