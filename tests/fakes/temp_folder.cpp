#include "fakes/temp_folder.h"

#include <stdexcept>
#include <system_error>

#include "platform/path.h"
#include "platform/time_zone.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/utf.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#endif

namespace testsupport {

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, unsigned long code) {
  throw std::runtime_error(what + " failed for " + path + " (error " + std::to_string(code) + ")");
}

#ifdef _WIN32

FILETIME toFiletime(platform::FileTime t) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
  return ft;
}

platform::FileTime fromFiletime(const FILETIME& ft) {
  return (static_cast<platform::FileTime>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

// Deletes a file or link, or a folder with its contents, clearing read-only
// attributes on the way; links are removed as themselves. Returns the error
// code of the entry's own removal, 0 when it went.
DWORD removeAll(const std::wstring& path, DWORD attributes) {
  const bool isDir = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const bool isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if (isDir && !isLink) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        removeAll(path + L"\\" + name, data.dwFileAttributes);
      } while (FindNextFileW(h, &data));
      FindClose(h);
    }
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  const BOOL ok = isDir ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
  return ok ? 0 : GetLastError();
}

HANDLE openForTimes(const std::string& path, DWORD access) {
  HANDLE h = CreateFileW(
      platform::widen(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) fail("CreateFileW", path, GetLastError());
  return h;
}

#else

std::timespec toTimespec(platform::FileTime t) {
  const auto ticks = static_cast<long long>(t) - static_cast<long long>(platform::kUnixEpochTicks);
  const auto perSecond = static_cast<long long>(platform::kTicksPerSecond);
  long long seconds = ticks / perSecond;
  long long rest = ticks % perSecond;
  if (rest < 0) {
    rest += perSecond;
    --seconds;
  }
  std::timespec ts{};
  ts.tv_sec = static_cast<time_t>(seconds);
  ts.tv_nsec = static_cast<long>(rest * 100);
  return ts;
}

platform::FileTime fromTimespec(const std::timespec& ts) {
  return static_cast<platform::FileTime>(
      static_cast<long long>(ts.tv_sec) * static_cast<long long>(platform::kTicksPerSecond) +
      ts.tv_nsec / 100 + static_cast<long long>(platform::kUnixEpochTicks));
}

// Deletes a file or link, or a folder with its contents. A folder without
// write or search permission would keep its entries: every folder is opened
// up first.
std::error_code removeAll(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::is_directory(fs::symlink_status(path, ec))) {
    ::chmod(path.c_str(), 0700);
    for (auto it = fs::recursive_directory_iterator(path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0700);
    }
  }
  fs::remove_all(path, ec);
  return ec;
}

#endif

}  // namespace

TempFolder::TempFolder() {
#ifdef _WIN32
  wchar_t base[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, base);
  if (n == 0 || n > MAX_PATH) fail("GetTempPathW", "", GetLastError());
  std::wstring root(base, n);
  if (!root.empty() && root.back() == L'\\') root.pop_back();
  for (unsigned attempt = 0;; ++attempt) {
    const std::wstring candidate = root + L"\\chronoseq-" + std::to_wstring(GetCurrentProcessId()) +
                                   L"-" + std::to_wstring(GetTickCount64()) + L"-" +
                                   std::to_wstring(attempt);
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = platform::narrow(candidate);
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS || attempt > 1000) {
      fail("CreateDirectoryW", platform::narrow(candidate), GetLastError());
    }
  }
#else
  const char* tmp = std::getenv("TMPDIR");
  std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/chronoseq-XXXXXX";
  if (!mkdtemp(templ.data())) fail("mkdtemp", templ, static_cast<unsigned long>(errno));
  path_ = templ;
#endif
}

TempFolder::~TempFolder() {
#ifdef _WIN32
  removeAll(platform::widen(path_), FILE_ATTRIBUTE_DIRECTORY);
#else
  removeAll(path_);
#endif
}

std::string TempFolder::pathOf(std::string_view name) const {
  return platform::joinPath(path_, name);
}

std::string TempFolder::createFile(std::string_view name, std::string_view content) const {
  const std::string full = pathOf(name);
#ifdef _WIN32
  HANDLE h = CreateFileW(platform::widen(full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) fail("CreateFileW", full, GetLastError());
  DWORD written = 0;
  const BOOL ok =
      content.empty() ||
      WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  const DWORD error = GetLastError();
  CloseHandle(h);
  if (!ok) fail("WriteFile", full, error);
#else
  const int fd = ::open(full.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) fail("open", full, static_cast<unsigned long>(errno));
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      const int error = errno;
      ::close(fd);
      fail("write", full, static_cast<unsigned long>(error));
    }
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
#endif
  return full;
}

std::string TempFolder::createFolder(std::string_view name) const {
  const std::string full = pathOf(name);
#ifdef _WIN32
  if (!CreateDirectoryW(platform::widen(full).c_str(), nullptr)) {
    fail("CreateDirectoryW", full, GetLastError());
  }
#else
  if (::mkdir(full.c_str(), 0755) != 0) fail("mkdir", full, static_cast<unsigned long>(errno));
#endif
  return full;
}

EntryTimes readTimes(const std::string& path) {
#ifdef _WIN32
  HANDLE h = openForTimes(path, FILE_READ_ATTRIBUTES);
  FILETIME c, a, w;
  const BOOL ok = GetFileTime(h, &c, &a, &w);
  const DWORD error = GetLastError();
  CloseHandle(h);
  if (!ok) fail("GetFileTime", path, error);
  return {fromFiletime(c), fromFiletime(a), fromFiletime(w)};
#else
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) fail("lstat", path, static_cast<unsigned long>(errno));
  return {fromTimespec(st.st_ctim), fromTimespec(st.st_atim), fromTimespec(st.st_mtim)};
#endif
}

namespace {

// The times given are set, the others left alone; POSIX has no settable
// creation time and ignores it.
void writeTimes(const std::string& path, std::optional<platform::FileTime> creation,
                std::optional<platform::FileTime> lastAccess, platform::FileTime lastWrite) {
#ifdef _WIN32
  HANDLE h = openForTimes(path, FILE_WRITE_ATTRIBUTES);
  const FILETIME w = toFiletime(lastWrite);
  FILETIME a{};
  if (lastAccess) a = toFiletime(*lastAccess);
  FILETIME c{};
  if (creation) c = toFiletime(*creation);
  const BOOL ok = SetFileTime(h, creation ? &c : nullptr, lastAccess ? &a : nullptr, &w);
  const DWORD error = GetLastError();
  CloseHandle(h);
  if (!ok) fail("SetFileTime", path, error);
#else
  (void)creation;
  std::timespec times[2];
  if (lastAccess) {
    times[0] = toTimespec(*lastAccess);
  } else {
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
  }
  times[1] = toTimespec(lastWrite);
  if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
    fail("utimensat", path, static_cast<unsigned long>(errno));
  }
#endif
}

}  // namespace

void setTimes(const std::string& path, platform::FileTime lastWrite,
              std::optional<platform::FileTime> lastAccess) {
  writeTimes(path, std::nullopt, lastAccess, lastWrite);
}

void setTimes(const std::string& path, const EntryTimes& times) {
  writeTimes(path,
             times.creation ? std::optional<platform::FileTime>(times.creation) : std::nullopt,
             times.lastAccess, times.lastWrite);
}

void removeEntry(const std::string& path) {
#ifdef _WIN32
  const std::wstring wide = platform::widen(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) fail("GetFileAttributesW", path, GetLastError());
  if (const DWORD error = removeAll(wide, attributes)) fail("removing", path, error);
#else
  if (const std::error_code ec = removeAll(path)) {
    fail("remove_all", path, static_cast<unsigned long>(ec.value()));
  }
#endif
}

bool makeSymlink(const std::string& target, const std::string& linkPath, bool toFolder) {
#ifdef _WIN32
  DWORD flags = toFolder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
  flags |= 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  const std::wstring link = platform::widen(linkPath);
  if (!CreateSymbolicLinkW(link.c_str(), platform::widen(target).c_str(), flags)) return false;
  // Some systems report success without making a link.
  const DWORD attributes = GetFileAttributesW(link.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
#else
  (void)toFolder;
  return ::symlink(target.c_str(), linkPath.c_str()) == 0;
#endif
}

void setReadOnly(const std::string& path, bool readOnly) {
#ifdef _WIN32
  const std::wstring wide = platform::widen(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) fail("GetFileAttributesW", path, GetLastError());
  const DWORD wanted =
      readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!SetFileAttributesW(wide.c_str(), wanted)) fail("SetFileAttributesW", path, GetLastError());
#else
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) fail("lstat", path, static_cast<unsigned long>(errno));
  const mode_t mode = readOnly ? (st.st_mode & 07555) : (st.st_mode | 0200);
  if (::chmod(path.c_str(), mode & 07777) != 0) {
    fail("chmod", path, static_cast<unsigned long>(errno));
  }
#endif
}

bool setHiddenSystem(const std::string& path, bool hidden, bool system) {
#ifdef _WIN32
  const std::wstring wide = platform::widen(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) fail("GetFileAttributesW", path, GetLastError());
  attributes &= ~(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  if (hidden) attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (system) attributes |= FILE_ATTRIBUTE_SYSTEM;
  if (!SetFileAttributesW(wide.c_str(), attributes)) {
    fail("SetFileAttributesW", path, GetLastError());
  }
  return true;
#else
  (void)path;
  (void)hidden;
  (void)system;
  return false;
#endif
}

platform::FileTime localToFileTime(int year, int month, int day, int hour, int minute, int second,
                                   int hundredNanoseconds) {
  const auto utc = platform::localToUtc({year, month, day, hour, minute, second});
  if (!utc) throw std::runtime_error("local time cannot be converted to UTC");
  return *utc + static_cast<platform::FileTime>(hundredNanoseconds);
}

platform::LocalDateTime osLocalTime(platform::FileTime utc) {
#ifdef _WIN32
  const FILETIME ft = toFiletime(utc);
  SYSTEMTIME st{};
  SYSTEMTIME local{};
  if (!FileTimeToSystemTime(&ft, &st) || !SystemTimeToTzSpecificLocalTime(nullptr, &st, &local)) {
    fail("SystemTimeToTzSpecificLocalTime", std::to_string(utc), GetLastError());
  }
  return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
#else
  const std::timespec ts = toTimespec(utc);
  const time_t t = ts.tv_sec;
  std::tm tm{};
  if (!localtime_r(&t, &tm))
    fail("localtime_r", std::to_string(utc), static_cast<unsigned long>(errno));
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
#endif
}

bool runningUnderWine() {
#ifdef _WIN32
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

std::optional<std::string> creationTimeUnsupported() {
#ifdef _WIN32
  if (runningUnderWine()) {
    return "Wine on a Linux file system accepts a creation time and drops it";
  }
  return std::nullopt;
#else
  return "Linux keeps no settable creation (birth) time";
#endif
}

#ifdef _WIN32
namespace {

class HandleHold : public ExclusiveHold {
 public:
  explicit HandleHold(HANDLE h) : h_(h) {}
  ~HandleHold() override { CloseHandle(h_); }
  HandleHold(const HandleHold&) = delete;
  HandleHold& operator=(const HandleHold&) = delete;

 private:
  HANDLE h_;
};

}  // namespace
#endif

std::unique_ptr<ExclusiveHold> holdExclusively(const std::string& path) {
#ifdef _WIN32
  const HANDLE h = CreateFileW(platform::widen(path).c_str(), GENERIC_READ, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) fail("CreateFileW", path, GetLastError());
  return std::make_unique<HandleHold>(h);
#else
  (void)path;
  return nullptr;
#endif
}

std::unique_ptr<ExclusiveHold> holdWithoutDeleteSharing(const std::string& path) {
#ifdef _WIN32
  const HANDLE h =
      CreateFileW(platform::widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) fail("CreateFileW", path, GetLastError());
  return std::make_unique<HandleHold>(h);
#else
  (void)path;
  return nullptr;
#endif
}

}  // namespace testsupport
