#include "fakes/disk_fixture.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#endif

namespace testdisk {

namespace fs = std::filesystem;

namespace {

fs::path toPath(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string toUtf8(const fs::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

[[noreturn]] void fail(const std::string& what, const std::string& path) {
  throw std::runtime_error(what + ": " + path);
}

#ifdef _WIN32
platform::FileTime fromFiletime(const FILETIME& ft) {
  return (static_cast<platform::FileTime>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME toFiletime(platform::FileTime t) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
  return ft;
}
#else
platform::FileTime fromTimespec(const timespec& ts) {
  return static_cast<platform::FileTime>(
      static_cast<std::int64_t>(ts.tv_sec) * static_cast<std::int64_t>(platform::kTicksPerSecond) +
      ts.tv_nsec / 100 + static_cast<std::int64_t>(platform::kUnixEpochTicks));
}

timespec toTimespec(platform::FileTime t) {
  const std::int64_t ticks =
      static_cast<std::int64_t>(t) - static_cast<std::int64_t>(platform::kUnixEpochTicks);
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(ticks / static_cast<std::int64_t>(platform::kTicksPerSecond));
  ts.tv_nsec =
      static_cast<long>(ticks % static_cast<std::int64_t>(platform::kTicksPerSecond) * 100);
  return ts;
}
#endif

}  // namespace

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
#ifdef _WIN32
  const unsigned long pid = GetCurrentProcessId();
#else
  const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
  const fs::path dir =
      fs::temp_directory_path() / ("chronoseq-test-" + std::to_string(pid) + "-" +
                                   std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(dir);
  // The canonical form, so that the paths the run builds match the OS's own.
  path_ = toUtf8(fs::canonical(dir));
}

TempFolder::~TempFolder() {
  std::error_code ec;
  const fs::path root = toPath(path_);
  for (auto it = fs::recursive_directory_iterator(root, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_symlink(ec)) setReadOnly(toUtf8(it->path()), false);
  }
  fs::remove_all(root, ec);
}

std::string TempFolder::pathOf(const std::string& name) const {
  return toUtf8(toPath(path_) / toPath(name));
}

std::string TempFolder::addFile(const std::string& name) const {
  const std::string path = pathOf(name);
  std::ofstream out(toPath(path), std::ios::binary);
  out << "chronoseq";
  if (!out) fail("cannot create file", path);
  return path;
}

std::string TempFolder::addFolder(const std::string& name) const {
  const std::string path = pathOf(name);
  fs::create_directory(toPath(path));
  std::ofstream(toPath(path) / "inner.txt") << "inner";
  return path;
}

void removeEntry(const std::string& path) {
  setReadOnly(path, false);
  fs::remove_all(toPath(path));
}

#ifdef _WIN32

DiskTimes readTimes(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(toPath(path).wstring().c_str(), GetFileExInfoStandard, &data)) {
    fail("GetFileAttributesExW failed", path);
  }
  return {fromFiletime(data.ftCreationTime), fromFiletime(data.ftLastAccessTime),
          fromFiletime(data.ftLastWriteTime)};
}

void writeTimes(const std::string& path, const DiskTimes& times) {
  const HANDLE h =
      CreateFileW(toPath(path).wstring().c_str(), FILE_WRITE_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) fail("cannot open for times", path);
  const FILETIME c = toFiletime(times.creation);
  const FILETIME a = toFiletime(times.lastAccess);
  const FILETIME w = toFiletime(times.lastWrite);
  const BOOL ok = SetFileTime(h, times.creation ? &c : nullptr, &a, &w);
  CloseHandle(h);
  if (!ok) fail("SetFileTime failed", path);
}

void setReadOnly(const std::string& path, bool readOnly) {
  const std::wstring wide = toPath(path).wstring();
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  const DWORD wanted =
      readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
  if (wanted != attributes) SetFileAttributesW(wide.c_str(), wanted);
}

bool makeSymlink(const std::string& target, const std::string& linkPath, bool toFolder) {
  DWORD flags = toFolder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
  flags |= 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  const std::wstring link = toPath(linkPath).wstring();
  if (!CreateSymbolicLinkW(link.c_str(), toPath(target).wstring().c_str(), flags)) return false;
  // Some systems report success without making a link.
  const DWORD attributes = GetFileAttributesW(link.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

platform::LocalDateTime osLocalTime(platform::FileTime utc) {
  const FILETIME ft = toFiletime(utc);
  SYSTEMTIME st{};
  SYSTEMTIME local{};
  if (!FileTimeToSystemTime(&ft, &st) || !SystemTimeToTzSpecificLocalTime(nullptr, &st, &local)) {
    throw std::runtime_error("cannot convert to local time");
  }
  return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

bool runningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::optional<std::string> creationTimeUnsupported() {
  if (runningUnderWine()) {
    return "Wine on a Linux file system accepts a creation time and drops it";
  }
  return std::nullopt;
}

namespace {
class HandleHold : public ExclusiveHold {
 public:
  explicit HandleHold(HANDLE h) : h_(h) {}
  ~HandleHold() override { CloseHandle(h_); }

 private:
  HANDLE h_;
};
}  // namespace

std::unique_ptr<ExclusiveHold> holdExclusively(const std::string& path) {
  const HANDLE h = CreateFileW(toPath(path).wstring().c_str(), GENERIC_READ, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) fail("cannot hold the file open", path);
  return std::make_unique<HandleHold>(h);
}

#else  // POSIX

DiskTimes readTimes(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) fail("lstat failed", path);
  // Linux's birth time cannot be set; it is reported as none.
  return {0, fromTimespec(st.st_atim), fromTimespec(st.st_mtim)};
}

void writeTimes(const std::string& path, const DiskTimes& times) {
  const timespec ts[2] = {toTimespec(times.lastAccess), toTimespec(times.lastWrite)};
  if (::utimensat(AT_FDCWD, path.c_str(), ts, AT_SYMLINK_NOFOLLOW) != 0) {
    fail("utimensat failed", path);
  }
}

void setReadOnly(const std::string& path, bool readOnly) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return;
  const mode_t writable = S_IWUSR | S_IWGRP | S_IWOTH;
  const mode_t mode = st.st_mode & 07777;
  ::chmod(path.c_str(), readOnly ? (mode & ~writable) : (mode | S_IWUSR));
}

bool makeSymlink(const std::string& target, const std::string& linkPath, bool /*toFolder*/) {
  return ::symlink(target.c_str(), linkPath.c_str()) == 0;
}

platform::LocalDateTime osLocalTime(platform::FileTime utc) {
  const std::int64_t ticks =
      static_cast<std::int64_t>(utc) - static_cast<std::int64_t>(platform::kUnixEpochTicks);
  const time_t t =
      static_cast<time_t>(ticks / static_cast<std::int64_t>(platform::kTicksPerSecond));
  std::tm tm{};
  if (!localtime_r(&t, &tm)) throw std::runtime_error("localtime_r failed");
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

bool runningUnderWine() { return false; }

std::optional<std::string> creationTimeUnsupported() {
  return "Linux keeps no settable creation (birth) time";
}

std::unique_ptr<ExclusiveHold> holdExclusively(const std::string&) { return nullptr; }

#endif

}  // namespace testdisk
