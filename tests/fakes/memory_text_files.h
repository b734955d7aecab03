#pragma once

// Text files in memory, for the window settings handlers on the in-memory
// window system.

#include <map>
#include <memory>
#include <set>
#include <string>

#include "fakes/settings_bytes.h"
#include "platform/text_files.h"

namespace fakes {

class MemoryTextFiles : public platform::TextFiles {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  std::set<std::string> readOnly;
  int openReaders = 0;  // streams open for reading now

  bool fileExists(const std::string& path) override { return files.count(path) != 0; }

  platform::Opened<platform::ReadStream> openForReading(const std::string& path) override {
    const auto found = files.find(path);
    if (found == files.end()) return {nullptr, platform::kErrorFileNotFound};
    return {std::make_unique<Reader>(*this, found->second), 0};
  }

  platform::OsErrorCode checkWritable(const std::string& path) override {
    if (readOnly.count(path) || folders.count(path)) return platform::kErrorAccessDenied;
    return openReaders > 0 ? platform::kErrorSharingViolation : 0;
  }

  platform::Opened<platform::WriteStream> create(const std::string& path) override {
    if (readOnly.count(path) || folders.count(path)) return {nullptr, platform::kErrorAccessDenied};
    files[path].clear();
    return {std::make_unique<Writer>(files[path]), 0};
  }

  platform::OsErrorCode replace(const std::string& from, const std::string& to) override {
    if (readOnly.count(to) || folders.count(to)) return platform::kErrorAccessDenied;
    const auto found = files.find(from);
    if (found == files.end()) return platform::kErrorFileNotFound;
    files[to] = found->second;
    files.erase(from);
    return 0;
  }

  platform::OsErrorCode remove(const std::string& path) override {
    return files.erase(path) ? 0 : platform::kErrorFileNotFound;
  }

 private:
  class Reader : public platform::ReadStream {
   public:
    Reader(MemoryTextFiles& owner, std::string bytes)
        : owner_(owner), bytes_(std::move(bytes)), stream_(bytes_) {
      ++owner_.openReaders;
    }
    ~Reader() override { --owner_.openReaders; }
    platform::OsErrorCode read(char* buffer, std::size_t capacity, std::size_t& got) override {
      return stream_.read(buffer, capacity, got);
    }

   private:
    MemoryTextFiles& owner_;
    std::string bytes_;
    fakes::MemoryReadStream stream_;
  };

  class Writer : public platform::WriteStream {
   public:
    explicit Writer(std::string& target) : target_(target) {}
    platform::OsErrorCode write(std::string_view bytes) override {
      target_.append(bytes);
      return 0;
    }
    platform::OsErrorCode flush() override { return 0; }
    platform::OsErrorCode close() override { return 0; }

   private:
    std::string& target_;
  };
};

}  // namespace fakes
