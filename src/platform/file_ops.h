#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_time.h"
#include "platform/folder_search.h"
#include "platform/os_error.h"

namespace platform {

// The three times of an entry as the file system keeps them.
struct EntryTimes {
  FileTime creation = 0;
  FileTime lastAccess = 0;
  FileTime lastWrite = 0;
  friend bool operator==(const EntryTimes&, const EntryTimes&) = default;
};

// An entry opened for changing its times. Closing happens in the destructor.
class OpenEntry {
 public:
  virtual ~OpenEntry() = default;
  // Sets each time that is given; a null leaves that time unchanged.
  // Returns 0 on success, else the OS error code.
  virtual OsErrorCode setTimes(const FileTime* creation, const FileTime* lastAccess,
                               const FileTime& lastWrite) = 0;
  // Reads the three times from the open entry at the file system's full
  // precision (to the 100-ns tick). A time the file system does not keep
  // reads as 0. Returns 0 on success, else the OS error code.
  virtual OsErrorCode readTimes(EntryTimes& times) = 0;
};

struct OpenResult {
  std::unique_ptr<OpenEntry> entry;  // null on failure
  OsErrorCode error = 0;
};

// The file-system operations the stamping run needs, behind one interface so
// the run can be tested with a fault-injecting fake. A link or junction is
// always taken as itself, never followed to its target.
class FileOps {
 public:
  virtual ~FileOps() = default;
  // The entry's attribute bits, or kInvalidAttributes when it cannot be examined.
  virtual std::uint32_t readAttributes(const std::string& path) = 0;
  // True when an entry of that path exists and is not a folder.
  virtual bool fileExists(const std::string& path) = 0;
  // True when the attributes can be read and carry the folder bit.
  virtual bool folderExists(const std::string& path) = 0;
  // A file for reading and writing with no sharing at all.
  virtual OpenResult openFile(const std::string& path) = 0;
  // A folder itself, for writing, sharing reading (backup semantics on Windows).
  virtual OpenResult openFolder(const std::string& path) = 0;
};

// The operating system's file system.
FileOps& systemFileOps();

}  // namespace platform
