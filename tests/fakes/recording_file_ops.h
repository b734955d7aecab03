#pragma once

// The system's file operations, recording which times each change of times
// was given: the creation time in particular, which Wine accepts and drops,
// so that only the call itself can show it was asked for.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_ops.h"

namespace fakes {

struct RecordedSetTimes {
  std::string path;
  bool creation = false;    // a creation time was given
  bool lastAccess = false;  // a last-access time was given
  platform::FileTime lastWrite = 0;
};

class RecordingFileOps : public platform::FileOps {
 public:
  explicit RecordingFileOps(platform::FileOps& real = platform::systemFileOps()) : real_(real) {}

  std::uint32_t readAttributes(const std::string& path) override {
    return real_.readAttributes(path);
  }
  bool fileExists(const std::string& path) override { return real_.fileExists(path); }
  bool folderExists(const std::string& path) override { return real_.folderExists(path); }
  platform::OpenResult openFile(const std::string& path) override {
    return wrap(path, real_.openFile(path));
  }
  platform::OpenResult openFolder(const std::string& path) override {
    return wrap(path, real_.openFolder(path));
  }

  const std::vector<RecordedSetTimes>& calls() const { return calls_; }

 private:
  class Entry : public platform::OpenEntry {
   public:
    Entry(RecordingFileOps& owner, std::string path, std::unique_ptr<platform::OpenEntry> real)
        : owner_(owner), path_(std::move(path)), real_(std::move(real)) {}
    platform::OsErrorCode setTimes(const platform::FileTime* creation,
                                   const platform::FileTime* lastAccess,
                                   const platform::FileTime& lastWrite) override {
      owner_.calls_.push_back({path_, creation != nullptr, lastAccess != nullptr, lastWrite});
      return real_->setTimes(creation, lastAccess, lastWrite);
    }
    platform::OsErrorCode readTimes(platform::EntryTimes& times) override {
      return real_->readTimes(times);
    }

   private:
    RecordingFileOps& owner_;
    std::string path_;
    std::unique_ptr<platform::OpenEntry> real_;
  };

  platform::OpenResult wrap(const std::string& path, platform::OpenResult opened) {
    if (opened.entry) opened.entry = std::make_unique<Entry>(*this, path, std::move(opened.entry));
    return opened;
  }

  platform::FileOps& real_;
  std::vector<RecordedSetTimes> calls_;
};

}  // namespace fakes
