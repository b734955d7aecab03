#include "cardcopy/volume_rules.h"

namespace cardcopy {

using platform::FileSystem;

bool keepsFatTimes(FileSystem fs) {
  return fs == FileSystem::Fat || fs == FileSystem::Fat32 || fs == FileSystem::ExFat;
}

bool holdsTime(FileSystem fs, platform::FileTime time, const LocalTimeOf& toLocal) {
  if (time == 0 || !keepsFatTimes(fs)) return true;
  const std::optional<platform::LocalDateTime> local = toLocal(time);
  // A time the zone cannot convert cannot be checked: the write finds out.
  if (!local) return true;
  return local->year >= kFirstFatYear && local->year <= kLastFatYear;
}

bool holdsTimes(FileSystem fs, const platform::EntryTimes& times, const LocalTimeOf& toLocal) {
  return holdsTime(fs, times.creation, toLocal) && holdsTime(fs, times.lastAccess, toLocal) &&
         holdsTime(fs, times.lastWrite, toLocal);
}

bool holdsSize(FileSystem fs, std::uint64_t size) {
  if (fs != FileSystem::Fat && fs != FileSystem::Fat32) return true;
  return size <= kLargestFatFile;
}

std::uint64_t directoryEntryBytes(FileSystem fs, std::size_t nameUnits) {
  switch (fs) {
    case FileSystem::Fat:
    case FileSystem::Fat32:
      return kEntryBytes * (1 + (nameUnits + 12) / 13);
    case FileSystem::ExFat:
      return kEntryBytes * (2 + (nameUnits + 14) / 15);
    case FileSystem::Unknown:
    case FileSystem::Other:
      break;
  }
  return 0;
}

std::uint64_t dotEntryBytes(FileSystem fs) {
  return fs == FileSystem::Fat || fs == FileSystem::Fat32 ? 2 * kEntryBytes : 0;
}

}  // namespace cardcopy
