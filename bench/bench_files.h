#pragma once

// What the benchmarks over folders of real files share: a path as the
// program takes it, the card's files they make, and the bare system calls
// their loops time against the program, as a user's script would make them.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace bench {

// A path as the program's own code takes it: its UTF-8 bytes.
inline std::string toUtf8(const std::filesystem::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

// The name of a card's track number n, "track00042.mp3": the names sort as
// the numbers do.
inline std::string trackName(int n) {
  char name[32];
  std::snprintf(name, sizeof(name), "track%05d.mp3", n);
  return name;
}

// A new file holding these bytes.
inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());
}

// The bare copy of one file: CopyFileExW on Windows, the standard library's
// copy_file natively.
inline bool bareCopy(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef _WIN32
  return CopyFileExW(from.wstring().c_str(), to.wstring().c_str(), nullptr, nullptr, nullptr,
                     COPY_FILE_FAIL_IF_EXISTS) != 0;
#else
  std::error_code error;
  return std::filesystem::copy_file(from, to, std::filesystem::copy_options::none, error);
#endif
}

// The bare move of one entry: MoveFileExW on Windows, rename(2) natively.
inline bool bareMove(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef _WIN32
  return MoveFileExW(from.wstring().c_str(), to.wstring().c_str(), 0) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace bench
