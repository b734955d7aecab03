// Copying on Windows: a file's contents piece by piece with ReadFile and
// WriteFile, so a stop is heard between pieces (Wine's CopyFileExW never
// calls its progress routine, so a stop could not end a long file there); the
// three times by SetFileTime, on the new file's own handle or, for a folder,
// on a handle opened for attributes only; FindFirstFileW for the order the
// file system keeps; putting a folder in order moves entries with
// MoveFileExW, which without MOVEFILE_COPY_ALLOWED only ever renames. Every
// path goes to the system in its long form, so a source the listing reached
// past MAX_PATH is copied as well.
#include "platform/copy_ops.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/path.h"
#include "platform/win32/copy_calls.h"
#include "platform/win32/filetime.h"
#include "platform/win32/handles.h"
#include "platform/win32/long_path.h"
#include "platform/win32/utf.h"

namespace platform {

using win32::CopyCalls;

namespace {

OsErrorCode lastError() { return GetLastError(); }

using win32::fromFiletime;
using win32::toFiletime;

// A file or folder opened with CreateFileW; INVALID_HANDLE_VALUE when the
// open failed, which the deleter passes over.
using Handle = win32::UniqueHandle;
using Search = win32::UniqueFindHandle;

bool valid(const Handle& handle) { return handle && handle.get() != INVALID_HANDLE_VALUE; }

FileSystem fileSystemNamed(std::wstring_view name) {
  if (name == L"FAT") return FileSystem::Fat;  // FAT12 and FAT16
  if (name == L"FAT32") return FileSystem::Fat32;
  if (name == L"exFAT") return FileSystem::ExFat;
  return FileSystem::Other;
}

struct OpenedFile : SourceFile {
  Handle handle;
};

// A file's first piece goes through a buffer the heap keeps at hand; a file
// larger than that continues in larger pieces, which keep the calls few, fit
// the processor's cache, and still let a stop be heard within a fraction of
// a second on a slow card. (A buffer of a quarter megabyte or more is mapped
// and unmapped by the heap at every allocation: taken for every small file,
// it made a folder of them copy at half the system copy's speed.)
constexpr DWORD kFirstPiece = 64 * 1024;
constexpr DWORD kPiece = 256 * 1024;

EntryTimes timesOf(const FILETIME& creation, const FILETIME& access, const FILETIME& write) {
  return {fromFiletime(creation), fromFiletime(access), fromFiletime(write)};
}

bool isHiddenSystem(DWORD attributes) {
  constexpr DWORD kBoth = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (attributes & kBoth) == kBoth;
}

class SystemCopyOps : public CopyOps {
 public:
  explicit SystemCopyOps(CopyCalls calls) : calls_(std::move(calls)) {}

  EntryStat stat(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(win32::toWinPath(path).c_str(), GetFileExInfoStandard, &data)) {
      return {};
    }
    const EntryTimes times =
        timesOf(data.ftCreationTime, data.ftLastAccessTime, data.ftLastWriteTime);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return {EntryKind::Folder, 0, times};
    return {EntryKind::File,
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, times};
  }

  OsErrorCode openSource(const std::string& path, OpenedSource& source) override {
    auto opened = std::make_unique<OpenedFile>();
    opened->handle = openForReading(path);
    if (!valid(opened->handle)) return lastError();
    source = std::move(opened);
    return 0;
  }

  OsErrorCode listFolder(const std::string& path, std::vector<FolderItem>& items) override {
    items.clear();
    return eachEntry(path, [&items](const WIN32_FIND_DATAW& found) {
      const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      const std::uint64_t size =
          folder ? 0 : (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
      items.push_back({narrow(found.cFileName), folder, size,
                       timesOf(found.ftCreationTime, found.ftLastAccessTime, found.ftLastWriteTime),
                       isHiddenSystem(found.dwFileAttributes)});
    });
  }

  OsErrorCode listNames(const std::string& path, std::vector<FolderItem>& names) override {
    names.clear();
    return eachEntry(path, [&names](const WIN32_FIND_DATAW& found) {
      FolderItem item;
      item.name = narrow(found.cFileName);
      item.hiddenSystem = isHiddenSystem(found.dwFileAttributes);
      names.push_back(std::move(item));
    });
  }

  OsErrorCode volumeSpace(const std::string& folder, VolumeSpace& space) override {
    const std::wstring wide = win32::toWinPath(folder);
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(wide.c_str(), &available, &total, &free)) return lastError();
    space.freeBytes = available.QuadPart;
    // Every volume answers names case-blind through these calls.
    space.caseBlind = true;
    wchar_t root[MAX_PATH + 1] = {};
    if (!GetVolumePathNameW(wide.c_str(), root, MAX_PATH)) return 0;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (GetDiskFreeSpaceW(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) {
      space.clusterBytes = static_cast<std::uint64_t>(sectorsPerCluster) * bytesPerSector;
    }
    // Fails on a FUSE mount under Wine: the file system stays unknown.
    wchar_t name[MAX_PATH + 1] = {};
    if (calls_.getVolumeInformation(root, nullptr, 0, nullptr, nullptr, nullptr, name,
                                    MAX_PATH + 1)) {
      space.fileSystem = fileSystemNamed(name);
    }
    space.removable = calls_.getDriveType(root) == DRIVE_REMOVABLE;
    std::vector<wchar_t> full(32768);
    const DWORD got =
        GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (got > 0 && got < full.size()) {
      std::wstring path(full.data(), got);
      if (path.empty() || path.back() != L'\\') path += L'\\';
      space.root = CompareStringOrdinal(path.c_str(), -1, root, -1, TRUE) == CSTR_EQUAL;
    }
    return 0;
  }

  std::string comparablePath(const std::string& path) override {
    // The final path of the entry itself, links and junctions resolved.
    Handle entry = openForTimes(path, FILE_READ_ATTRIBUTES);
    std::wstring full;
    if (valid(entry)) {
      std::vector<wchar_t> buffer(1024);
      const DWORD got = GetFinalPathNameByHandleW(entry.get(), buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), 0);
      if (got > 0 && got < buffer.size()) full.assign(buffer.data(), got);
    }
    if (full.empty()) {
      std::vector<wchar_t> buffer(32768);
      const DWORD got = GetFullPathNameW(win32::toWinPath(path).c_str(),
                                         static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
      if (got == 0 || got >= buffer.size()) return {};
      full.assign(buffer.data(), got);
    }
    if (full.rfind(L"\\\\?\\UNC\\", 0) == 0) {
      full = L"\\" + full.substr(7);
    } else if (full.rfind(L"\\\\?\\", 0) == 0) {
      full = full.substr(4);
    }
    while (full.size() > 3 && full.back() == L'\\') full.pop_back();
    // Windows' file systems ignore case.
    CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    return narrow(full);
  }

  OsErrorCode readTimes(const std::string& path, EntryTimes& times) override {
    Handle entry = openForTimes(path, FILE_READ_ATTRIBUTES);
    if (!valid(entry)) return lastError();
    FILETIME creation{}, access{}, write{};
    if (!GetFileTime(entry.get(), &creation, &access, &write)) return lastError();
    times = {fromFiletime(creation), fromFiletime(access), fromFiletime(write)};
    return 0;
  }

  OsErrorCode createFolder(const std::string& path) override {
    return CreateDirectoryW(win32::toWinPath(path).c_str(), nullptr) ? 0 : lastError();
  }

  OsErrorCode copyFile(const std::string& from, OpenedSource opened, const std::string& to,
                       const StopRequested& stop, bool flush, bool& created) override {
    created = false;
    auto* held = dynamic_cast<OpenedFile*>(opened.get());
    const Handle source = held ? std::move(held->handle) : openForReading(from);
    if (!valid(source)) return lastError();
    // Attributes and the three times, before the contents are read. The
    // basic information alone: GetFileInformationByHandle also asks the
    // volume for its serial number, once per file.
    FILE_BASIC_INFO info{};
    if (!GetFileInformationByHandleEx(source.get(), FileBasicInfo, &info, sizeof(info))) {
      return lastError();
    }
    LARGE_INTEGER sizeNow{};
    if (!GetFileSizeEx(source.get(), &sizeNow)) return lastError();
    const auto size = static_cast<std::uint64_t>(sizeNow.QuadPart);
    // Hidden, system and archive go with the copy; read-only does not, so
    // the copy on the card can be replaced or removed like any other.
    const DWORD kept = info.FileAttributes &
                       (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    // Others may remove it while it is written: the program, when the
    // session ends and a half-written file must not stay.
    Handle target(calls_.createFile(
        win32::toWinPath(to).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
        (kept ? kept : FILE_ATTRIBUTE_NORMAL) | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!valid(target)) return lastError();
    created = true;
    // Not zeroed: every byte written is read first.
    DWORD piece = kFirstPiece;
    std::unique_ptr<char[]> buffer(new char[piece]);
    // Read until the size the file had when opened: a short read is no end,
    // and an end before that size is a failure, not a shorter copy.
    std::uint64_t done = 0;
    while (done < size) {
      if (stop && stop()) return kErrorRequestAborted;
      DWORD got = 0;
      if (!calls_.readFile(source.get(), buffer.get(), piece, &got, nullptr)) return lastError();
      if (got == 0) break;
      DWORD put = 0;
      if (!WriteFile(target.get(), buffer.get(), got, &put, nullptr)) return lastError();
      if (put != got) return ERROR_DISK_FULL;
      done += got;
      if (piece < kPiece && done < size) {
        piece = kPiece;
        buffer.reset(new char[piece]);
      }
    }
    if (done != size) return kErrorHandleEof;
    const FILETIME creation = toFiletime(static_cast<FileTime>(info.CreationTime.QuadPart));
    const FILETIME access = toFiletime(static_cast<FileTime>(info.LastAccessTime.QuadPart));
    const FILETIME write = toFiletime(static_cast<FileTime>(info.LastWriteTime.QuadPart));
    if (!SetFileTime(target.get(), &creation, &access, &write)) return lastError();
    // On a card the system may hold writes back past the close: written out
    // here, a failing write fails this file's copy.
    if (flush && !calls_.flushFileBuffers(target.get())) return lastError();
    return calls_.closeHandle(target.release()) ? 0 : lastError();
  }

  OsErrorCode setTimes(const std::string& path, const EntryTimes& times, bool /*folder*/) override {
    Handle entry = openForTimes(path, FILE_WRITE_ATTRIBUTES);
    if (!valid(entry)) return lastError();
    const FILETIME creation = toFiletime(times.creation);
    const FILETIME access = toFiletime(times.lastAccess);
    const FILETIME write = toFiletime(times.lastWrite);
    const BOOL set =
        SetFileTime(entry.get(), times.creation ? &creation : nullptr,
                    times.lastAccess ? &access : nullptr, times.lastWrite ? &write : nullptr);
    return set ? 0 : lastError();
  }

  OsErrorCode removeFile(const std::string& path) override {
    const std::wstring wide = win32::toWinPath(path);
    // DeleteFileW refuses a read-only file.
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
      SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    return DeleteFileW(wide.c_str()) ? 0 : lastError();
  }

  OsErrorCode volumeFacts(const std::string& folder, VolumeFacts& facts) override {
    wchar_t root[MAX_PATH + 1] = {};
    if (!GetVolumePathNameW(win32::toWinPath(folder).c_str(), root, MAX_PATH)) return lastError();
    wchar_t name[MAX_PATH + 1] = {};
    DWORD flags = 0;
    if (!GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, name, MAX_PATH + 1)) {
      return lastError();
    }
    facts.fileSystem = narrow(name);
    facts.readOnly = (flags & FILE_READ_ONLY_VOLUME) != 0;
    return 0;
  }

  OsErrorCode moveEntry(const std::string& from, const std::string& to) override {
    // Neither MOVEFILE_COPY_ALLOWED (a copy would rewrite the data) nor
    // MOVEFILE_REPLACE_EXISTING (an entry in the way stays as it is).
    return MoveFileExW(win32::toWinPath(from).c_str(), win32::toWinPath(to).c_str(), 0)
               ? 0
               : lastError();
  }

  OsErrorCode openExclusive(const std::string& path) override {
    // No sharing: the open fails with ERROR_SHARING_VIOLATION while another
    // program holds the file open, whatever its own sharing.
    Handle file(CreateFileW(win32::toWinPath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return valid(file) ? 0 : lastError();
  }

  OsErrorCode writeNewFile(const std::string& path, std::string_view bytes) override {
    Handle file(CreateFileW(win32::toWinPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!valid(file)) return lastError();
    DWORD put = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr)) {
      return lastError();
    }
    if (put != bytes.size()) return ERROR_DISK_FULL;
    // A card pulled out may only say so when the data goes out.
    return win32::closeNow(file);
  }

  OsErrorCode readWholeFile(const std::string& path, std::string& bytes) override {
    bytes.clear();
    Handle file(CreateFileW(win32::toWinPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!valid(file)) return lastError();
    char buffer[16 * 1024];
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr)) return lastError();
      if (got == 0) return 0;
      bytes.append(buffer, got);
    }
  }

  OsErrorCode removeFolder(const std::string& path) override {
    return RemoveDirectoryW(win32::toWinPath(path).c_str()) ? 0 : lastError();
  }

  OsErrorCode entryIndex(const std::string& path, std::uint64_t& index) override {
    // Attributes only: open even while another program holds the file
    // without sharing.
    Handle entry = openForTimes(path, FILE_READ_ATTRIBUTES);
    if (!valid(entry)) return lastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(entry.get(), &info)) return lastError();
    index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return 0;
  }

  OsErrorCode listIndexes(const std::string& path, std::vector<IndexedItem>& items) override {
    items.clear();
    Handle folder(calls_.createFile(win32::toWinPath(path).c_str(), FILE_LIST_DIRECTORY,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!valid(folder)) return lastError();
    // The entries come in the file system's order, each with the FileId
    // that FatGenerateFileIdFromDirentAndOffset gives it on FAT.
    std::vector<LONGLONG> buffer(64 * 1024 / sizeof(LONGLONG));  // aligned for the records
    const auto bytes = static_cast<DWORD>(buffer.size() * sizeof(LONGLONG));
    for (FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;;
         kind = FileIdBothDirectoryInfo) {
      if (!GetFileInformationByHandleEx(folder.get(), kind, buffer.data(), bytes)) {
        // An empty drive root has not even "." and "..".
        const OsErrorCode error = lastError();
        const bool none = error == ERROR_NO_MORE_FILES ||
                          (kind == FileIdBothDirectoryRestartInfo && error == ERROR_FILE_NOT_FOUND);
        return none ? 0 : error;
      }
      const auto* at = reinterpret_cast<const unsigned char*>(buffer.data());
      for (;;) {
        const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
        const std::wstring_view name(info->FileName, info->FileNameLength / sizeof(wchar_t));
        if (name != L"." && name != L"..") {
          items.push_back({narrow(name), static_cast<std::uint64_t>(info->FileId.QuadPart),
                           isHiddenSystem(info->FileAttributes)});
        }
        if (info->NextEntryOffset == 0) break;
        at += info->NextEntryOffset;
      }
    }
  }

 private:
  // Opened to read or change the times only: no sharing is taken from others.
  Handle openForTimes(const std::string& path, DWORD access) {
    return Handle(calls_.createFile(win32::toWinPath(path).c_str(), access,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  }

  // Others may read the file while it is copied, not change it.
  Handle openForReading(const std::string& path) {
    return Handle(calls_.createFile(win32::toWinPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  }

  // Every entry of a folder but "." and "..", in the order the file system
  // keeps; an empty drive root has none at all.
  template <typename Each>
  OsErrorCode eachEntry(const std::string& path, Each each) {
    WIN32_FIND_DATAW found{};
    Search search(calls_.findFirstFile(win32::toWinPath(joinPath(path, "*")).c_str(),
                                       FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                       FIND_FIRST_EX_LARGE_FETCH));
    if (search.get() == INVALID_HANDLE_VALUE) {
      const OsErrorCode error = lastError();
      return error == ERROR_FILE_NOT_FOUND ? 0 : error;
    }
    do {
      const std::wstring_view name = found.cFileName;
      if (name != L"." && name != L"..") each(found);
    } while (FindNextFileW(search.get(), &found));
    const OsErrorCode error = lastError();
    return error == ERROR_NO_MORE_FILES ? 0 : error;
  }

  CopyCalls calls_;
};

}  // namespace

CopyOps& systemCopyOps() {
  static SystemCopyOps ops{CopyCalls{}};  // no state of its own
  return ops;
}

std::unique_ptr<CopyOps> win32::copyOpsWithCalls(CopyCalls calls) {
  return std::make_unique<SystemCopyOps>(std::move(calls));
}

}  // namespace platform
