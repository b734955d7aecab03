#pragma once

// What the tests of a card laid out slot by slot share: the card's volume,
// the songs that fill it and a zone that tells nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/copy_ops.h"
#include "platform/file_time.h"
#include "platform/path.h"

namespace fakes {

inline const std::string kSep(1, platform::kPathSeparator);
inline std::string at(const std::string& a, const std::string& b) { return a + kSep + b; }
// The card's root.
inline const std::string kCard = kSep + "card";

// A FAT32 card's root with this allocation unit, ignoring case.
inline platform::VolumeSpace fat32Card(std::uint64_t cluster,
                                       std::uint64_t freeBytes = 1ull << 30) {
  platform::VolumeSpace volume;
  volume.freeBytes = freeBytes;
  volume.clusterBytes = cluster;
  volume.fileSystem = platform::FileSystem::Fat32;
  volume.root = true;
  volume.caseBlind = true;
  return volume;
}

// "01 Title of song.mp3" ...: a long name of three slots.
inline std::string song(int n) {
  std::string number = std::to_string(n);
  if (number.size() < 2) number = "0" + number;
  return number + " Title of song.mp3";
}

// The first count songs.
inline std::vector<std::string> songs(int count) {
  std::vector<std::string> names;
  for (int n = 1; n <= count; ++n) names.push_back(song(n));
  return names;
}

// A folder's names in the order the fake lists them.
inline std::vector<std::string> listedNames(platform::CopyOps& ops, const std::string& folder) {
  std::vector<platform::FolderItem> items;
  ops.listNames(folder, items);
  std::vector<std::string> names;
  for (const auto& item : items) names.push_back(item.name);
  return names;
}

// A local time for no file time: the card's times are not looked at.
inline std::optional<platform::LocalDateTime> noZone(platform::FileTime) { return std::nullopt; }

}  // namespace fakes
