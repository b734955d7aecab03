#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_time.h"

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with all it
// holds (read-only entries included) when the object goes. Paths are UTF-8
// and use the platform's separator, like the core's own paths. Every helper
// throws std::runtime_error with the OS error code when the OS refuses.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's full path, without a trailing separator.
  const std::string& path() const { return path_; }
  // path(), the separator and a name (or a relative path with the platform's
  // separators).
  std::string pathOf(std::string_view name) const;

  // Creates a file (replacing one of that name) holding the given bytes, or
  // a folder; returns its full path.
  std::string createFile(std::string_view name, std::string_view content = {}) const;
  std::string createFolder(std::string_view name) const;

 private:
  std::string path_;
};

// The three times of a file or folder as the file system reports them.
struct EntryTimes {
  platform::FileTime creation = 0;
  platform::FileTime lastAccess = 0;
  platform::FileTime lastWrite = 0;
};

// Reads the times of a file or folder (a link as itself) by the OS's own
// calls. Where the file system keeps no creation time, creation holds what
// the OS reports instead (the status-change time on POSIX).
EntryTimes readTimes(const std::string& path);

// Sets the last-write time, and the last-access time when given (otherwise
// it is left alone), of a file or folder. Full 100 ns precision where the
// file system keeps it.
void setTimes(const std::string& path, platform::FileTime lastWrite,
              std::optional<platform::FileTime> lastAccess = std::nullopt);
// Sets all three times of a file or folder (a link as itself); the creation
// time only where the OS can set it (not on POSIX) and only when not 0.
void setTimes(const std::string& path, const EntryTimes& times);

// Makes an entry read-only (no write permission on POSIX, the read-only
// attribute on Windows) or writable again.
void setReadOnly(const std::string& path, bool readOnly);

// Deletes a file or link, or a folder with all it holds (read-only entries
// included).
void removeEntry(const std::string& path);

// A symbolic link at linkPath to target; false when the OS refuses it or
// reports success without making one.
bool makeSymlink(const std::string& target, const std::string& linkPath, bool toFolder);

// Sets the hidden and system attributes. Returns false on a platform that
// has no such attributes (POSIX), where nothing is changed.
bool setHiddenSystem(const std::string& path, bool hidden, bool system);

// The UTC file time of a local wall-clock time, through the program's own
// conversion, so that expectations hold in any time zone.
platform::FileTime localToFileTime(int year, int month, int day, int hour, int minute, int second,
                                   int hundredNanoseconds = 0);

// The local date and time of a UTC file time by the OS's own conversion
// (whole seconds), kept apart from the program's own to check it.
platform::LocalDateTime osLocalTime(platform::FileTime utc);

// True when running under Wine (Windows builds only; false elsewhere).
bool runningUnderWine();
// Why creation times cannot be set and read back here, or nullopt when they
// can.
std::optional<std::string> creationTimeUnsupported();

// Another handle on a file with no sharing at all, for as long as it lives.
// Only where the OS has share modes; null elsewhere.
class ExclusiveHold {
 public:
  virtual ~ExclusiveHold() = default;
};
std::unique_ptr<ExclusiveHold> holdExclusively(const std::string& path);
// Another handle reading the file that shares reading and writing but not
// deleting, as an editor or a backup program may: the file can be written,
// not replaced. Null where the OS has no share modes.
std::unique_ptr<ExclusiveHold> holdWithoutDeleteSharing(const std::string& path);

}  // namespace testsupport
