#include "fakes/fault_file_ops.h"

#include <algorithm>

namespace fakes {

using platform::FileTime;
using platform::OsErrorCode;

class FaultFileOps::FakeOpenEntry : public platform::OpenEntry {
 public:
  FakeOpenEntry(FaultFileOps& fs, std::string path) : fs_(fs), path_(std::move(path)) {
    ++fs_.openEntries_;
  }
  ~FakeOpenEntry() override { --fs_.openEntries_; }

  OsErrorCode setTimes(const FileTime* creation, const FileTime* lastAccess,
                       const FileTime& lastWrite) override {
    fs_.calls_.push_back({Op::SetTimes, path_});
    if (auto error = fs_.fault(Op::SetTimes, path_)) return *error;
    auto it = fs_.entries_.find(path_);
    if (it == fs_.entries_.end()) return platform::kErrorFileNotFound;
    Entry& entry = it->second;
    if (creation) entry.times.creation = *creation;
    if (lastAccess) entry.times.lastAccess = *lastAccess;
    entry.times.lastWrite = lastWrite;
    ++entry.timeChanges;
    return 0;
  }

  OsErrorCode readTimes(platform::EntryTimes& times) override {
    fs_.calls_.push_back({Op::ReadTimes, path_});
    if (auto error = fs_.fault(Op::ReadTimes, path_)) return *error;
    auto it = fs_.entries_.find(path_);
    if (it == fs_.entries_.end()) return platform::kErrorFileNotFound;
    const Times& t = it->second.times;
    times = {t.creation, t.lastAccess, t.lastWrite};
    return 0;
  }

 private:
  FaultFileOps& fs_;
  std::string path_;
};

void FaultFileOps::addFile(const std::string& path, Times times, std::uint32_t attributes) {
  entries_[path] = Entry{false, attributes, times, 0};
}

void FaultFileOps::addFolder(const std::string& path, Times times, std::uint32_t attributes) {
  entries_[path] = Entry{true, attributes | platform::kAttrDirectory, times, 0};
}

void FaultFileOps::remove(const std::string& path) { entries_.erase(path); }

void FaultFileOps::setEntryTimes(const std::string& path, Times times) {
  entries_.at(path).times = times;
}

void FaultFileOps::setAttributes(const std::string& path, std::uint32_t attributes) {
  Entry& entry = entries_.at(path);
  entry.attributes = attributes | (entry.folder ? platform::kAttrDirectory : 0);
}

void FaultFileOps::injectFault(Op op, const std::string& path, OsErrorCode error) {
  faults_[{op, path}] = error;
}

void FaultFileOps::clearFaults() { faults_.clear(); }

const FaultFileOps::Entry* FaultFileOps::find(const std::string& path) const {
  auto it = entries_.find(path);
  return it == entries_.end() ? nullptr : &it->second;
}

int FaultFileOps::callCount(Op op) const {
  return static_cast<int>(
      std::count_if(calls_.begin(), calls_.end(), [op](const Call& c) { return c.op == op; }));
}

std::optional<OsErrorCode> FaultFileOps::fault(Op op, const std::string& path) {
  auto it = faults_.find({op, path});
  if (it == faults_.end()) return std::nullopt;
  faultFired_ = true;
  return it->second;
}

std::uint32_t FaultFileOps::readAttributes(const std::string& path) {
  calls_.push_back({Op::ReadAttributes, path});
  if (fault(Op::ReadAttributes, path)) return platform::kInvalidAttributes;
  const Entry* entry = find(path);
  return entry ? entry->attributes : platform::kInvalidAttributes;
}

bool FaultFileOps::fileExists(const std::string& path) {
  calls_.push_back({Op::FileExists, path});
  if (fault(Op::FileExists, path)) return false;
  const Entry* entry = find(path);
  return entry && !entry->folder;
}

bool FaultFileOps::folderExists(const std::string& path) {
  calls_.push_back({Op::FolderExists, path});
  if (fault(Op::FolderExists, path)) return false;
  const Entry* entry = find(path);
  return entry && entry->folder;
}

platform::OpenResult FaultFileOps::open(Op op, const std::string& path, bool folder) {
  calls_.push_back({op, path});
  if (auto error = fault(op, path)) return {nullptr, *error};
  const Entry* entry = find(path);
  if (!entry) return {nullptr, platform::kErrorFileNotFound};
  // A plain file open cannot reach a folder; a backup-semantics open can
  // reach either, as on Windows.
  if (entry->folder && !folder) return {nullptr, platform::kErrorAccessDenied};
  return {std::make_unique<FakeOpenEntry>(*this, path), 0};
}

platform::OpenResult FaultFileOps::openFile(const std::string& path) {
  return open(Op::OpenFile, path, false);
}

platform::OpenResult FaultFileOps::openFolder(const std::string& path) {
  return open(Op::OpenFolder, path, true);
}

const char* FaultFileOps::opName(Op op) {
  switch (op) {
    case Op::ReadAttributes:
      return "ReadAttributes";
    case Op::FileExists:
      return "FileExists";
    case Op::FolderExists:
      return "FolderExists";
    case Op::OpenFile:
      return "OpenFile";
    case Op::OpenFolder:
      return "OpenFolder";
    case Op::SetTimes:
      return "SetTimes";
    case Op::ReadTimes:
      return "ReadTimes";
  }
  return "?";
}

}  // namespace fakes
