#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/copy_ops.h"
#include "platform/file_time.h"

// What FAT and exFAT can hold and what their folders take, as Microsoft's
// descriptions of the two file systems and of Windows' FAT driver give them.
namespace cardcopy {

// The local time of a UTC file time: FAT and exFAT keep local times, and
// Windows checks the year after converting.
using LocalTimeOf = std::function<std::optional<platform::LocalDateTime>(platform::FileTime)>;

// FAT's and exFAT's years: 1980 to 1980 + 127. Windows refuses a time
// outside them with ERROR_INVALID_PARAMETER.
inline constexpr int kFirstFatYear = 1980;
inline constexpr int kLastFatYear = 2107;

// The largest file FAT12/16/32 holds: its size field has 32 bits.
inline constexpr std::uint64_t kLargestFatFile = 0xFFFF'FFFFull;

// FAT12/16 keep the root folder in a fixed area: 512 entries of 32 bytes on
// every card formatted for it.
inline constexpr std::uint64_t kFixedRootEntries = 512;
inline constexpr std::uint64_t kEntryBytes = 32;

// No volume has a smaller allocation unit than one sector of 512 bytes: the
// count when the system does not say, so that it is never 0 and never more
// than the truth.
inline constexpr std::uint64_t kSmallestCluster = 512;

// FAT or exFAT: a volume that keeps local times from 1980 to 2107.
bool keepsFatTimes(platform::FileSystem fs);

// Whether the volume takes a time: a time of 0 is not set and always passes;
// on FAT and exFAT the local year must lie from 1980 to 2107; elsewhere, or
// when the volume is unknown, every time passes.
bool holdsTime(platform::FileSystem fs, platform::FileTime time, const LocalTimeOf& toLocal);
bool holdsTimes(platform::FileSystem fs, const platform::EntryTimes& times,
                const LocalTimeOf& toLocal);

// Whether FAT12/16/32 can hold a file of that size; every other volume can.
bool holdsSize(platform::FileSystem fs, std::uint64_t size);

// The bytes a name's directory entries take in its folder: on FAT one short
// entry and one long-name entry per 13 UTF-16 units, on exFAT a file entry,
// a stream entry and one name entry per 15 units. 0 where it is not known.
std::uint64_t directoryEntryBytes(platform::FileSystem fs, std::size_t nameUnits);

// The bytes a new folder's own "." and ".." take (FAT only).
std::uint64_t dotEntryBytes(platform::FileSystem fs);

}  // namespace cardcopy
