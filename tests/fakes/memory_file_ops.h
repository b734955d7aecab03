#pragma once

// An in-memory file system for the window-flow tests: entries by full path,
// with the times that were set on them.

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_ops.h"

namespace fakes {

class MemoryFileOps : public platform::FileOps {
 public:
  struct Entry {
    bool folder = false;
    bool readOnly = false;
    bool heldOpen = false;  // another program holds it without sharing
    std::optional<platform::FileTime> lastWrite;
  };

  std::map<std::string, Entry> entries;

  std::uint32_t readAttributes(const std::string& path) override {
    const auto it = entries.find(path);
    if (it == entries.end()) return platform::kInvalidAttributes;
    return (it->second.folder ? platform::kAttrDirectory : platform::kAttrArchive) |
           (it->second.readOnly ? platform::kAttrReadOnly : 0);
  }
  bool fileExists(const std::string& path) override {
    const auto it = entries.find(path);
    return it != entries.end() && !it->second.folder;
  }
  bool folderExists(const std::string& path) override {
    const auto it = entries.find(path);
    return it != entries.end() && it->second.folder;
  }
  platform::OpenResult openFile(const std::string& path) override { return open(path, false); }
  platform::OpenResult openFolder(const std::string& path) override { return open(path, true); }

 private:
  class Open : public platform::OpenEntry {
   public:
    explicit Open(Entry& entry) : entry_(entry) {}
    platform::OsErrorCode setTimes(const platform::FileTime*, const platform::FileTime*,
                                   const platform::FileTime& lastWrite) override {
      entry_.lastWrite = lastWrite;
      return 0;
    }
    platform::OsErrorCode readTimes(platform::EntryTimes& times) override {
      times = {0, 0, entry_.lastWrite.value_or(0)};
      return 0;
    }

   private:
    Entry& entry_;
  };

  platform::OpenResult open(const std::string& path, bool folder) {
    const auto it = entries.find(path);
    if (it == entries.end() || it->second.folder != folder) {
      return {nullptr, platform::kErrorFileNotFound};
    }
    if (it->second.heldOpen) return {nullptr, platform::kErrorSharingViolation};
    return {std::make_unique<Open>(it->second), 0};
  }
};

}  // namespace fakes
