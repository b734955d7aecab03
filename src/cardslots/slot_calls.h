#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/copy_ops.h"

namespace cardslots {

// The file system calls that landing entries in order makes, some of
// platform::CopyOps': moves between the folder and the place entries wait
// in, the file index, and the landing's own placeholders and folder.
class SlotCalls {
 public:
  virtual ~SlotCalls() = default;
  virtual platform::OsErrorCode moveEntry(const std::string& from, const std::string& to) = 0;
  virtual platform::OsErrorCode entryIndex(const std::string& path, std::uint64_t& index) = 0;
  virtual platform::OsErrorCode listIndexes(const std::string& folder,
                                            std::vector<platform::IndexedItem>& items) = 0;
  // A new, empty file that must not exist.
  virtual platform::OsErrorCode createFile(const std::string& path) = 0;
  virtual platform::OsErrorCode removeFile(const std::string& path) = 0;
  virtual platform::OsErrorCode createFolder(const std::string& path) = 0;
  virtual platform::OsErrorCode removeFolder(const std::string& path) = 0;
};

// The same calls of a CopyOps.
class CopyOpsSlotCalls final : public SlotCalls {
 public:
  explicit CopyOpsSlotCalls(platform::CopyOps& ops) : ops_(ops) {}
  platform::OsErrorCode moveEntry(const std::string& from, const std::string& to) override {
    return ops_.moveEntry(from, to);
  }
  platform::OsErrorCode entryIndex(const std::string& path, std::uint64_t& index) override {
    return ops_.entryIndex(path, index);
  }
  platform::OsErrorCode listIndexes(const std::string& folder,
                                    std::vector<platform::IndexedItem>& items) override {
    return ops_.listIndexes(folder, items);
  }
  platform::OsErrorCode createFile(const std::string& path) override {
    return ops_.writeNewFile(path, {});
  }
  platform::OsErrorCode removeFile(const std::string& path) override {
    return ops_.removeFile(path);
  }
  platform::OsErrorCode createFolder(const std::string& path) override {
    return ops_.createFolder(path);
  }
  platform::OsErrorCode removeFolder(const std::string& path) override {
    return ops_.removeFolder(path);
  }

 private:
  platform::CopyOps& ops_;
};

}  // namespace cardslots
