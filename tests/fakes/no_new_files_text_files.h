#pragma once

// The system's text files in a folder that takes no new file and lets
// nothing be renamed, while the files already in it stay writable: what a
// folder without the right to create files gives a program (Windows answers
// 5). Running as root under Wine, permissions cannot show it.

#include <string>

#include "platform/os_error.h"
#include "platform/text_files.h"

namespace fakes {

class NoNewFilesTextFiles : public platform::TextFiles {
 public:
  explicit NoNewFilesTextFiles(platform::TextFiles& inner = platform::systemTextFiles())
      : inner_(inner) {}

  bool fileExists(const std::string& path) override { return inner_.fileExists(path); }
  platform::Opened<platform::ReadStream> openForReading(const std::string& path) override {
    return inner_.openForReading(path);
  }
  platform::OsErrorCode checkWritable(const std::string& path) override {
    return inner_.checkWritable(path);
  }
  platform::Opened<platform::WriteStream> create(const std::string& path) override {
    if (!inner_.fileExists(path)) {
      ++refusals;
      return {nullptr, platform::kErrorAccessDenied};
    }
    return inner_.create(path);
  }
  platform::OsErrorCode replace(const std::string&, const std::string&) override {
    ++refusals;
    return platform::kErrorAccessDenied;
  }
  platform::OsErrorCode remove(const std::string& path) override { return inner_.remove(path); }

  int refusals = 0;  // new files and renames refused so far

 private:
  platform::TextFiles& inner_;
};

}  // namespace fakes
