#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_ops.h"
#include "platform/os_error.h"

namespace platform {

enum class EntryKind { Missing, File, Folder };

// What a path names, a file's size in bytes, and its three times.
struct EntryStat {
  EntryKind kind = EntryKind::Missing;
  std::uint64_t size = 0;
  EntryTimes times;
};

// One entry of a folder as the file system's own enumeration delivers it.
struct FolderItem {
  std::string name;
  bool folder = false;
  std::uint64_t size = 0;
  EntryTimes times;
  // Hidden and system both: the volume's own, as the System Volume
  // Information folder Windows puts on every card it mounts. Explorer does
  // not show it, and a copy leaves it alone.
  bool hiddenSystem = false;
  friend bool operator==(const FolderItem&, const FolderItem&) = default;
};

// One entry of a folder with its file index. On FAT, Windows' driver makes
// the index from the folder's first cluster and the byte offset of the
// entry's short directory entry in it (FatGenerateFileIdFromDirentOffset),
// so that within one folder the indexes rise in the order the folder lists
// its entries; elsewhere it is only a number the entry keeps (an inode).
struct IndexedItem {
  std::string name;
  std::uint64_t index = 0;
  bool hiddenSystem = false;
  friend bool operator==(const IndexedItem&, const IndexedItem&) = default;
};

// The file system of a volume, as far as it can be told: GetVolumeInformationW
// names FAT12 and FAT16 "FAT". Unknown where the system cannot say (Wine on
// a FUSE mount).
enum class FileSystem { Unknown, Fat, Fat32, ExFat, Other };

// The space a folder's volume offers the caller, its allocation unit, and
// what else about the volume decides what a copy onto it needs.
struct VolumeSpace {
  std::uint64_t freeBytes = 0;
  std::uint64_t clusterBytes = 0;  // 0 when the system cannot say
  FileSystem fileSystem = FileSystem::Unknown;
  bool root = false;       // the folder is the volume's root
  bool removable = false;  // a card or a stick (DRIVE_REMOVABLE)
  // Names that differ in case only name one entry, as on every volume under
  // Windows and on FAT and exFAT everywhere.
  bool caseBlind = false;
};

// What GetVolumeInformationW tells of a folder's volume.
struct VolumeFacts {
  std::string fileSystem;  // "FAT32", "exFAT", "NTFS" ...
  bool readOnly = false;
  friend bool operator==(const VolumeFacts&, const VolumeFacts&) = default;
};

// Asked while a file's contents are copied: true stops the copy.
using StopRequested = std::function<bool()>;

// A file opened for reading by the check before writing and handed to its
// copy: each file is opened once, and on Windows others cannot write it in
// between.
class SourceFile {
 public:
  virtual ~SourceFile() = default;
};
using OpenedSource = std::unique_ptr<SourceFile>;

// The file-system operations of copying the rows to another folder, behind
// one interface so the copy can be tested with a fault-injecting fake. Every
// call returns 0 on success, else the OS error code.
class CopyOps {
 public:
  virtual ~CopyOps() = default;
  // Kind and size; Missing when the path names nothing that can be examined.
  virtual EntryStat stat(const std::string& path) = 0;
  // Opens a file for its copy, shared with readers only where the system
  // can say so: what proves it can be read.
  virtual OsErrorCode openSource(const std::string& path, OpenedSource& source) = 0;
  // The folder's entries in the file system's own order (FindFirstFileW,
  // readdir), without "." and "..".
  virtual OsErrorCode listFolder(const std::string& path, std::vector<FolderItem>& items) = 0;
  // Only the names and the hidden-system mark, in the same order (kind and
  // size are left as they are): what reading the order back needs.
  virtual OsErrorCode listNames(const std::string& path, std::vector<FolderItem>& names) = 0;
  virtual OsErrorCode volumeSpace(const std::string& folder, VolumeSpace& space) = 0;
  // The full path with links and "." resolved, in a form that two paths of
  // one entry share (upper case where the file system ignores case); empty
  // when it cannot be resolved.
  virtual std::string comparablePath(const std::string& path) = 0;
  virtual OsErrorCode readTimes(const std::string& path, EntryTimes& times) = 0;
  virtual OsErrorCode createFolder(const std::string& path) = 0;
  // Copies a file's contents to a new file at `to`, which must not exist,
  // and gives it the source's three times as they were before the contents
  // were read. The source is the one openSource gave for `from`, or when
  // there is none, `from` opened here. stop is asked between pieces; when it
  // answers true the copy ends with kErrorRequestAborted. Fewer bytes than
  // the source's size at its open fail with kErrorHandleEof. With flush the
  // new file is written out before it is closed, so that a write the system
  // had held back fails here; the close's own result counts too.
  // `created` tells whether `to` was made by this call: a failed or stopped
  // copy may leave it behind half written, and only then is it the caller's
  // to remove (a file that stood there before is not).
  virtual OsErrorCode copyFile(const std::string& from, OpenedSource source, const std::string& to,
                               const StopRequested& stop, bool flush, bool& created) = 0;
  // Sets all three times; a time of 0 is left unchanged.
  virtual OsErrorCode setTimes(const std::string& path, const EntryTimes& times, bool folder) = 0;
  virtual OsErrorCode removeFile(const std::string& path) = 0;

  // Putting a card's folder in order where it stands, by moves alone.
  //
  // The file system's name and whether the volume is read-only; an error
  // where the system cannot tell (Wine on a FUSE mount).
  virtual OsErrorCode volumeFacts(const std::string& folder, VolumeFacts& facts) = 0;
  // Renames a file or folder within its volume: never a copy, never over an
  // entry that is there already (kErrorAlreadyExists); its contents, times
  // and attributes stay as they are.
  virtual OsErrorCode moveEntry(const std::string& from, const std::string& to) = 0;
  // Opens a file with no sharing at all and closes it at once: a file that
  // another program has open is refused (kErrorSharingViolation).
  virtual OsErrorCode openExclusive(const std::string& path) = 0;
  // Writes a new file, which must not exist, with these bytes.
  virtual OsErrorCode writeNewFile(const std::string& path, std::string_view bytes) = 0;
  virtual OsErrorCode readWholeFile(const std::string& path, std::string& bytes) = 0;
  // Removes an empty folder.
  virtual OsErrorCode removeFolder(const std::string& path) = 0;

  // Seeing where the entries of a folder lie, for landing them in order.
  //
  // The file index of a file or folder (GetFileInformationByHandle's
  // nFileIndexHigh and nFileIndexLow; the inode number on POSIX).
  virtual OsErrorCode entryIndex(const std::string& path, std::uint64_t& index) = 0;
  // Every entry of a folder with its file index, in the file system's own
  // order, without "." and "..": one enumeration, however many entries.
  virtual OsErrorCode listIndexes(const std::string& path, std::vector<IndexedItem>& items) = 0;
};

// The operating system's file system.
CopyOps& systemCopyOps();

}  // namespace platform
