#pragma once

// Copy operations that pass every call on to others (the system's unless
// given): the base of a stand-in that changes or records one call.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/copy_ops.h"

namespace fakes {

class ForwardingCopyOps : public platform::CopyOps {
 public:
  using OsErrorCode = platform::OsErrorCode;
  explicit ForwardingCopyOps(platform::CopyOps& real = platform::systemCopyOps()) : real_(real) {}

  platform::EntryStat stat(const std::string& path) override { return real_.stat(path); }
  OsErrorCode openSource(const std::string& path, platform::OpenedSource& source) override {
    return real_.openSource(path, source);
  }
  OsErrorCode listFolder(const std::string& path,
                         std::vector<platform::FolderItem>& items) override {
    return real_.listFolder(path, items);
  }
  OsErrorCode listNames(const std::string& path,
                        std::vector<platform::FolderItem>& names) override {
    return real_.listNames(path, names);
  }
  OsErrorCode volumeSpace(const std::string& folder, platform::VolumeSpace& space) override {
    return real_.volumeSpace(folder, space);
  }
  std::string comparablePath(const std::string& path) override {
    return real_.comparablePath(path);
  }
  OsErrorCode readTimes(const std::string& path, platform::EntryTimes& times) override {
    return real_.readTimes(path, times);
  }
  OsErrorCode createFolder(const std::string& path) override { return real_.createFolder(path); }
  OsErrorCode copyFile(const std::string& from, platform::OpenedSource source,
                       const std::string& to, const platform::StopRequested& stop, bool flush,
                       bool& created) override {
    return real_.copyFile(from, std::move(source), to, stop, flush, created);
  }
  OsErrorCode setTimes(const std::string& path, const platform::EntryTimes& times,
                       bool folder) override {
    return real_.setTimes(path, times, folder);
  }
  OsErrorCode volumeFacts(const std::string& folder, platform::VolumeFacts& facts) override {
    return real_.volumeFacts(folder, facts);
  }
  OsErrorCode moveEntry(const std::string& from, const std::string& to) override {
    return real_.moveEntry(from, to);
  }
  OsErrorCode openExclusive(const std::string& path) override { return real_.openExclusive(path); }
  OsErrorCode writeNewFile(const std::string& path, std::string_view bytes) override {
    return real_.writeNewFile(path, bytes);
  }
  OsErrorCode readWholeFile(const std::string& path, std::string& bytes) override {
    return real_.readWholeFile(path, bytes);
  }
  OsErrorCode removeFolder(const std::string& path) override { return real_.removeFolder(path); }

  OsErrorCode removeFile(const std::string& path) override { return real_.removeFile(path); }
  OsErrorCode entryIndex(const std::string& path, std::uint64_t& index) override {
    return real_.entryIndex(path, index);
  }
  OsErrorCode listIndexes(const std::string& path,
                          std::vector<platform::IndexedItem>& items) override {
    return real_.listIndexes(path, items);
  }

 protected:
  platform::CopyOps& real_;
};

}  // namespace fakes
