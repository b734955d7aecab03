#include "platform/folder_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

constexpr std::string_view kMatchAllSuffix = "/*.*";

// The attribute bits a Windows file system would report for this entry:
// - folder 0x10 for a directory (a symbolic link is taken as itself, never
//   as its target, so a link to a folder is no folder here);
// - archive 0x20 for everything else, as Windows and Wine set it on files;
// - read-only 0x01 when the owner may not write it;
// - hidden 0x02 for a name starting with a dot (other than "." and ".."),
//   the Unix convention for hidden entries, which Wine maps the same way;
// - reparse point 0x400 for a symbolic link.
std::uint32_t attributesOf(const char* name, const struct stat& st) {
  std::uint32_t attributes = 0;
  if (S_ISDIR(st.st_mode)) {
    attributes |= kAttrDirectory;
  } else {
    attributes |= kAttrArchive;
  }
  if (S_ISLNK(st.st_mode)) attributes |= kAttrReparsePoint;
  if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
  if (name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) {
    attributes |= kAttrHidden;
  }
  return attributes;
}

// 100 ns ticks since 1601 UTC; a time before 1601 cannot be told and gives
// 0, the file time of "no time".
FileTime fileTimeOf(const struct timespec& ts) {
  const std::int64_t ticks =
      static_cast<std::int64_t>(ts.tv_sec) * static_cast<std::int64_t>(kTicksPerSecond) +
      ts.tv_nsec / 100 + static_cast<std::int64_t>(kUnixEpochTicks);
  return ticks > 0 ? static_cast<FileTime>(ticks) : 0;
}

// Where an entry's type is known from the directory itself but it cannot be
// examined (a folder that may be read but not searched), the folder bit is
// still told; the time is unknown.
std::uint32_t attributesFromType(const struct dirent& d) {
  if (d.d_type == DT_DIR) return kAttrDirectory;
  if (d.d_type == DT_LNK) return kAttrArchive | kAttrReparsePoint;
  return kAttrArchive;
}

class DirectorySearch final : public FolderSearch {
 public:
  explicit DirectorySearch(DIR* dir) : dir_(dir), fd_(dirfd(dir)) {}

  // A directory's size is what its entries take on disk, some 24 bytes for a
  // short name on ext4: an estimate on the high side, and memory reserved
  // but never written is never touched.
  std::size_t sizeHint() const override {
    struct stat st;
    if (fstat(fd_, &st) != 0 || st.st_size <= 0) return 0;
    return static_cast<std::size_t>(st.st_size) / 24;
  }
  ~DirectorySearch() override { closedir(dir_); }
  DirectorySearch(const DirectorySearch&) = delete;
  DirectorySearch& operator=(const DirectorySearch&) = delete;

  bool next(FoundEntry& entry) override {
    for (;;) {
      errno = 0;
      const struct dirent* d = readdir(dir_);
      if (!d) return false;  // the end, or an error: not told apart
      struct stat st;
      if (fstatat(fd_, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        entry.name.assign(d->d_name);
        entry.attributes = attributesOf(d->d_name, st);
        entry.lastWriteUtc = fileTimeOf(st.st_mtim);
        return true;
      }
      // Removed since the directory was read: it is no entry any more.
      if (errno == ENOENT) continue;
      entry.name.assign(d->d_name);
      entry.attributes = attributesFromType(*d);
      entry.lastWriteUtc = 0;
      return true;
    }
  }

 private:
  DIR* dir_;
  int fd_;
};

}  // namespace

// The pattern is a folder's full path, "/" and "*.*", which here means every
// entry of that folder; any other pattern, and one that is not a full path
// (a folder tree node that names no folder), finds nothing.
std::unique_ptr<FolderSearch> openFolderSearch(std::string_view pattern) {
  if (pattern.size() <= kMatchAllSuffix.size() || !pattern.ends_with(kMatchAllSuffix) ||
      pattern.front() != '/') {
    return nullptr;
  }
  const std::string folder(pattern.substr(0, pattern.size() - kMatchAllSuffix.size()));
  if (folder.find('\0') != std::string::npos) return nullptr;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return nullptr;
  return std::make_unique<DirectorySearch>(dir);
}

}  // namespace platform
