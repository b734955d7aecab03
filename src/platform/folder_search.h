#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_time.h"

namespace platform {

inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrReparsePoint = 0x400;
// What attribute reads give for a path that cannot be examined.
inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;

// One entry as the folder enumeration delivers it.
struct FoundEntry {
  std::string name;  // UTF-8, no folder part
  std::uint32_t attributes = 0;
  FileTime lastWriteUtc = 0;
};

// An open search over one folder (FindFirstFileW / FindNextFileW / FindClose on
// Windows, opendir / readdir on POSIX). "." and ".." are delivered where the
// file system has them.
class FolderSearch {
 public:
  virtual ~FolderSearch() = default;
  // The next entry, or false at the end (the end and an error are not told apart).
  virtual bool next(FoundEntry& entry) = 0;
  // About how many entries the folder holds, if the system tells without
  // reading them (0: it does not). Rows reserved for that many are placed
  // once, rather than copied to ever larger blocks of fresh memory.
  virtual std::size_t sizeHint() const { return 0; }
};

// Opens a search on a pattern: a folder path, the separator and "*.*". Returns
// null when the search cannot be opened (the folder has gone, access is denied,
// the pattern names no folder). The first call of next() yields the first entry.
std::unique_ptr<FolderSearch> openFolderSearch(std::string_view pattern);

}  // namespace platform
