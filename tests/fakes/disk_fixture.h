#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/file_time.h"

// Real entries in a temporary folder for the tests that stamp through the
// operating system, and the OS's own calls to read their times back, kept
// apart from the code under test.
namespace testdisk {

struct DiskTimes {
  platform::FileTime creation = 0;  // 0 where the file system keeps none
  platform::FileTime lastAccess = 0;
  platform::FileTime lastWrite = 0;
};

// A fresh folder under the system's temporary folder, removed with all its
// contents (read-only ones too) at destruction. Names and paths are UTF-8.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string pathOf(const std::string& name) const;
  // Creates a file with a few bytes, or a sub-folder with a file in it.
  std::string addFile(const std::string& name) const;
  std::string addFolder(const std::string& name) const;

 private:
  std::string path_;
};

// The entry's own times (a link's, not its target's, where the OS allows).
DiskTimes readTimes(const std::string& path);
// Sets the last-access and last-write times, and the creation time where
// it can be set.
void writeTimes(const std::string& path, const DiskTimes& times);

void setReadOnly(const std::string& path, bool readOnly);
void removeEntry(const std::string& path);  // a file, or a folder with its contents

// A symbolic link at linkPath to target; false when the OS refuses it.
bool makeSymlink(const std::string& target, const std::string& linkPath, bool toFolder);

// The local date and time of a UTC file time by the OS's own conversion
// (whole seconds); the rules of that date apply.
platform::LocalDateTime osLocalTime(platform::FileTime utc);

bool runningUnderWine();
// Why creation times cannot be checked here, or nullopt when they can.
std::optional<std::string> creationTimeUnsupported();

// Another handle on the file with no sharing at all, for as long as it lives.
// Only where the OS has share modes; null elsewhere.
class ExclusiveHold {
 public:
  virtual ~ExclusiveHold() = default;
};
std::unique_ptr<ExclusiveHold> holdExclusively(const std::string& path);

}  // namespace testdisk
