#include "cardorder/drive_order.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace cardorder {

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

DriveOrder driveOrderOf(std::string_view fileSystem) {
  // GetVolumeInformationW's names; "FAT" alone is what Windows reports for
  // FAT12 and FAT16.
  constexpr std::array<std::string_view, 5> kept{"FAT", "FAT12", "FAT16", "FAT32", "exFAT"};
  constexpr std::array<std::string_view, 2> sorted{"NTFS", "ReFS"};
  const auto among = [fileSystem](const auto& names) {
    return std::any_of(names.begin(), names.end(), [fileSystem](std::string_view name) {
      return sameIgnoringCase(name, fileSystem);
    });
  };
  if (among(kept)) return DriveOrder::Kept;
  if (among(sorted)) return DriveOrder::NotKept;
  return DriveOrder::Unknown;
}

DriveFacts driveFactsOf(const std::string& folder, platform::CopyOps& ops) {
  platform::VolumeFacts facts;
  if (ops.volumeFacts(folder, facts) != 0) return {};
  return {driveOrderOf(facts.fileSystem), facts.readOnly, facts.fileSystem};
}

}  // namespace cardorder
