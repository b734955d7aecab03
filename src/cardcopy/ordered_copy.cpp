#include "cardcopy/ordered_copy.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "cardcopy/copy_messages.h"
#include "cardcopy/fat_names.h"
#include "cardslots/ordered_landing.h"
#include "folderlist/row_messages.h"
#include "platform/collation.h"
#include "platform/path.h"
#include "platform/text_concat.h"
#include "platform/volumes_own.h"

namespace cardcopy {

namespace {

using platform::concat;
using platform::CopyOps;
using platform::EntryKind;
using platform::OsErrorCode;

// Whether inner is outer or lies inside it; both comparable paths.
bool sameOrInside(const std::string& inner, const std::string& outer) {
  if (inner.empty() || outer.empty()) return false;
  if (inner == outer) return true;
  if (inner.size() <= outer.size() || inner.compare(0, outer.size(), outer) != 0) return false;
  // A root such as "C:\" or "/" already ends in the separator.
  return outer.back() == platform::kPathSeparator ||
         inner[outer.size()] == platform::kPathSeparator;
}

std::uint64_t wholeClusters(std::uint64_t bytes, std::uint64_t cluster) {
  return (bytes + cluster - 1) / cluster * cluster;
}

// The entry bytes of one destination folder's new names, and the names
// compared case-blind where the volume ignores case.
class DestinationFolder {
 public:
  DestinationFolder(const platform::VolumeSpace& volume) : volume_(volume) {}

  // The name that is already there in another case, or null. A name kept
  // there already takes no new entries.
  const std::string* add(const std::string& name, const std::string& shown, bool isNew = true) {
    if (isNew) bytes_ += directoryEntryBytes(volume_.fileSystem, utf16Length(name));
    if (!volume_.caseBlind) return nullptr;
    const auto [at, added] = names_.emplace(platform::toLowerCase(name), shown);
    return added ? nullptr : &at->second;
  }
  std::uint64_t bytes() const { return bytes_; }

 private:
  const platform::VolumeSpace& volume_;
  std::map<std::string, std::string> names_;  // lower case, as the message shows it
  std::uint64_t bytes_ = 0;
};

// Builds the plan and checks every entry on the way; the first failure ends it.
class Checker {
 public:
  Checker(const std::string& folderPath, const std::string& destination, CopyOps& ops,
          const NameOrder& nameOrder, const platform::VolumeSpace& volume, const CopyHooks& hooks)
      : folder_(folderPath),
        destinationLength_(utf16Length(destination) + 1),
        ops_(ops),
        nameOrder_(nameOrder),
        volume_(volume),
        cluster_(volume.clusterBytes ? volume.clusterBytes : kSmallestCluster),
        hooks_(hooks),
        top_(volume) {}

  CopyCheck& result() { return check_; }

  // An entry already in the destination, which the copy leaves alone.
  void keep(const platform::FolderItem& item) {
    top_.add(item.name, item.name, false);
    keptBytes_ += directoryEntryBytes(volume_.fileSystem, utf16Length(item.name));
  }

  // False when the row fails or the user stops; the message is set.
  bool addRow(const folderlist::ListEntry& row, int index) {
    if (stopped()) return false;
    const std::string source = platform::joinPath(folder_, row.name);
    const platform::EntryStat stat = ops_.stat(source);
    if (row.isFile() && stat.kind != EntryKind::File) {
      return fail(index, folderlist::kMissingFile, row.name);
    }
    if (row.isFolder() && stat.kind != EntryKind::Folder) {
      return fail(index, folderlist::kMissingFolder, row.name);
    }
    if (const std::string* other = top_.add(row.name, row.name)) {
      return fail(index, messages::kSameName, *other + "\r\n" + row.name);
    }
    if (fixedRoot() && existingBytes() + top_.bytes() > kFixedRootEntries * kEntryBytes) {
      return fail(index, messages::kRootFull, row.name);
    }
    check_.plan.topNames.push_back(row.name);
    return addEntry(index, row.name, row.name, row.isFolder(), stat.size, stat.times);
  }

  // The destination folder's own growth, once every row is in: the clusters
  // its new entries add to the one it has. FAT12/16's root does not grow.
  void addDestinationGrowth() {
    if (fixedRoot()) return;
    // Every folder holds a cluster, however few its entries.
    const auto clustersOf = [this](std::uint64_t bytes) {
      return wholeClusters(std::max<std::uint64_t>(bytes, 1), cluster_);
    };
    check_.plan.bytesNeeded +=
        clustersOf(existingBytes() + top_.bytes()) - clustersOf(existingBytes());
  }

 private:
  bool fixedRoot() const { return volume_.root && volume_.fileSystem == platform::FileSystem::Fat; }

  // What the destination's entries take already: the kept ones, a folder's
  // "." and "..", and at exFAT's root the allocation bitmap's and the
  // up-case table's entries.
  std::uint64_t existingBytes() const {
    std::uint64_t bytes = keptBytes_;
    if (!volume_.root) bytes += dotEntryBytes(volume_.fileSystem);
    if (volume_.root && volume_.fileSystem == platform::FileSystem::ExFat) bytes += 2 * kEntryBytes;
    return bytes;
  }

  bool stopped() {
    if (!hooks_.stop || !hooks_.stop()) return false;
    check_.stopped = true;
    return true;
  }

  bool fail(int row, std::string_view message, const std::string& what, OsErrorCode error = 0) {
    check_.failure = {concat(message, what), error, row};
    return false;
  }

  bool addEntry(int row, const std::string& name, const std::string& relative, bool folder,
                std::uint64_t size, const platform::EntryTimes& times) {
    if (!fatCanHoldName(name)) return fail(row, messages::kBadName, relative);
    const std::size_t limit = folder ? kLongestFolderPath : kLongestFilePath;
    if (destinationLength_ + utf16Length(relative) > limit) {
      return fail(row, messages::kPathTooLong, relative);
    }
    if (!holdsTimes(volume_.fileSystem, times, hooks_.toLocal)) {
      return fail(row, messages::kTimeOutOfRange, relative);
    }
    const std::string source = platform::joinPath(folder_, relative);
    if (!folder) {
      if (!holdsSize(volume_.fileSystem, size)) return fail(row, messages::kFileTooLarge, relative);
      platform::OpenedSource opened;
      if (const OsErrorCode error = open(source, opened)) {
        return fail(row, messages::kUnreadableFile, relative, error);
      }
      addStep({CopyStep::Kind::File, relative, row, {}}, std::move(opened));
      check_.plan.bytesNeeded += wholeClusters(size, cluster_);
      return true;
    }

    std::vector<platform::FolderItem> items;
    if (const OsErrorCode error = ops_.listFolder(source, items)) {
      return fail(row, messages::kUnreadableFolder, relative, error);
    }
    std::stable_sort(items.begin(), items.end(), [this](const auto& a, const auto& b) {
      return nameOrder_(a.name, b.name) < 0;
    });
    CopyStep open{CopyStep::Kind::OpenFolder, relative, row, {}};
    DestinationFolder inside(volume_);
    for (const auto& item : items) {
      open.children.push_back(item.name);
      const std::string shown = platform::joinPath(relative, item.name);
      if (const std::string* other = inside.add(item.name, shown)) {
        return fail(row, messages::kSameName, *other + "\r\n" + shown);
      }
    }
    addStep(std::move(open));
    // A folder takes at least one cluster of its own, more as its entries need.
    check_.plan.bytesNeeded += wholeClusters(
        std::max<std::uint64_t>(dotEntryBytes(volume_.fileSystem) + inside.bytes(), 1), cluster_);
    for (const auto& item : items) {
      if (stopped()) return false;
      if (!addEntry(row, item.name, platform::joinPath(relative, item.name), item.folder, item.size,
                    item.times)) {
        return false;
      }
    }
    addStep({CopyStep::Kind::CloseFolder, relative, row, {}});
    return true;
  }

  void addStep(CopyStep step, platform::OpenedSource source = {}) {
    check_.plan.steps.push_back(std::move(step));
    check_.plan.sources.push_back(std::move(source));
  }

  // Opens a file for reading, which is the proof that it can be read, and
  // keeps it for the copy while few enough are kept. Short of handles, the
  // ones kept are let go: the copy opens those files again.
  OsErrorCode open(const std::string& path, platform::OpenedSource& source) {
    OsErrorCode error = ops_.openSource(path, source);
    if (error == platform::kErrorTooManyOpenFiles && held_ > 0) {
      for (platform::OpenedSource& kept : check_.plan.sources) kept.reset();
      held_ = 0;
      holding_ = false;
      error = ops_.openSource(path, source);
    }
    if (error != 0) return error;
    if (holding_ && held_ < kMostHeldSources) {
      ++held_;
    } else {
      source.reset();
    }
    return 0;
  }

  const std::string& folder_;
  std::size_t destinationLength_;
  CopyOps& ops_;
  const NameOrder& nameOrder_;
  const platform::VolumeSpace& volume_;
  std::uint64_t cluster_;
  const CopyHooks& hooks_;
  DestinationFolder top_;
  std::uint64_t keptBytes_ = 0;
  CopyCheck check_;
  int held_ = 0;
  bool holding_ = true;
};

CopyResult ended(CopyResult::Outcome outcome, platform::Failure failure, int copied) {
  CopyResult result;
  result.outcome = outcome;
  result.failure = std::move(failure);
  result.copiedRows = copied;
  return result;
}

std::string countText(int n) { return " (" + std::to_string(n) + " 個)"; }

// Whether the destination reads back in the order written: the rows at the
// top, each folder's contents inside it. A folder that cannot be read back
// makes the whole read-back unreadable, with the OS's error.
// The first name out of place, below the destination; empty when none is.
std::string firstOutOfPlace(const std::vector<std::string>& found,
                            const std::vector<std::string>& written, const std::string& folder) {
  std::size_t at = 0;
  while (at < found.size() && at < written.size() && found[at] == written[at]) ++at;
  if (at >= written.size()) return {};
  return folder.empty() ? written[at] : platform::joinPath(folder, written[at]);
}

CopyResult::ReadBack orderReadBack(const CopyPlan& plan, const std::string& destination,
                                   CopyOps& ops, OsErrorCode& error, std::string& outOfPlace) {
  using ReadBack = CopyResult::ReadBack;
  std::vector<std::string> found;
  if ((error = platform::listOrderedNames(ops, destination, found)) != 0) {
    return ReadBack::Unreadable;
  }
  ReadBack seen = found == plan.topNames ? ReadBack::Kept : ReadBack::NotKept;
  if (seen == ReadBack::NotKept) outOfPlace = firstOutOfPlace(found, plan.topNames, {});
  for (const CopyStep& step : plan.steps) {
    if (step.kind != CopyStep::Kind::OpenFolder) continue;
    if ((error = platform::listOrderedNames(ops, platform::joinPath(destination, step.relative),
                                            found)) != 0) {
      return ReadBack::Unreadable;
    }
    if (found == step.children) continue;
    if (seen == ReadBack::Kept) outOfPlace = firstOutOfPlace(found, step.children, step.relative);
    seen = ReadBack::NotKept;
  }
  return seen;
}

int rowsToCopy(const folderlist::EntryRows& rows, int total) {
  int n = 0;
  for (int k = 0; k < total; ++k) {
    const folderlist::ListEntry& row = rows[static_cast<std::size_t>(k)];
    if (row.isFile() || row.isFolder()) ++n;
  }
  return n;
}

}  // namespace

CopyCheck checkCopy(const folderlist::EntryRows& rows, const std::string& folderPath,
                    const std::string& destination, platform::CopyOps& ops,
                    const NameOrder& nameOrder, const CopyHooks& hooks) {
  CopyCheck check;
  const auto fail = [&check](std::string_view message, const std::string& what, int row,
                             OsErrorCode error = 0) {
    check.failure = {concat(message, what), error, row};
    return std::move(check);
  };
  const int total = static_cast<int>(rows.size());

  // Where it goes: never into the listed folder or a folder row, whose copy
  // would then contain itself; an existing, empty folder.
  const std::string target = ops.comparablePath(destination);
  if (target.empty() || ops.stat(destination).kind != EntryKind::Folder) {
    return fail(messages::kNoDestination, destination, -1);
  }
  if (sameOrInside(target, ops.comparablePath(folderPath))) {
    return fail(messages::kInsideListed, destination, -1);
  }
  for (int k = 0; k < total; ++k) {
    const folderlist::ListEntry& row = rows[static_cast<std::size_t>(k)];
    if (!row.isFolder()) continue;
    if (sameOrInside(target, ops.comparablePath(platform::joinPath(folderPath, row.name)))) {
      return fail(messages::kInsideRow, row.name, k);
    }
  }
  std::vector<platform::FolderItem> present;
  if (const OsErrorCode error = ops.listFolder(destination, present)) {
    return fail(messages::kUnreadableFolder, destination, -1, error);
  }
  // The volume's own entries stay; anything else would leave freed slots to fill.
  if (!std::all_of(present.begin(), present.end(), platform::isVolumesOwn)) {
    return fail(messages::kNotEmpty, destination, -1);
  }

  // Without the volume's figures the space is left to the writes to find out.
  platform::VolumeSpace volume;
  const bool spaceKnown = ops.volumeSpace(destination, volume) == 0;
  if (!spaceKnown) volume = {};

  Checker checker(folderPath, destination, ops, nameOrder, volume, hooks);
  for (const platform::FolderItem& item : present) checker.keep(item);
  const int rowCount = rowsToCopy(rows, total);
  int done = 0;
  for (int k = 0; k < total; ++k) {
    const folderlist::ListEntry& row = rows[static_cast<std::size_t>(k)];
    // A row of any other kind is left out, as the stamping run leaves it.
    if (!row.isFile() && !row.isFolder()) continue;
    if (!checker.addRow(row, k)) return std::move(checker.result());
    if (hooks.checked) hooks.checked(++done, rowCount);
  }
  checker.addDestinationGrowth();
  check = std::move(checker.result());
  check.volume = volume;
  if (spaceKnown && check.plan.bytesNeeded > volume.freeBytes) {
    return fail(messages::kNoSpace,
                "必要 " + megabytes(check.plan.bytesNeeded, true) + " MB / 空き " +
                    megabytes(volume.freeBytes, false) + " MB",
                -1);
  }
  return check;
}

namespace {

// What a stop or a failure leaves on the card.
struct WhatIsLeft {
  std::string halfWritten;      // a half-written file that could not be removed
  bool rowFolderBegun = false;  // the row's folder is there, not yet whole
};

// Carries out step i of the plan: 0, or the system's error code (a stop
// inside a file is kErrorRequestAborted).
OsErrorCode carryOut(CopyCheck& check, std::size_t i, const std::string& source,
                     const std::string& target, platform::CopyOps& ops, const CopyHooks& hooks,
                     std::vector<platform::EntryTimes>& openFolders, WhatIsLeft& left) {
  switch (check.plan.steps[i].kind) {
    case CopyStep::Kind::File: {
      if (hooks.writing) hooks.writing(target);
      bool created = false;
      const OsErrorCode error = ops.copyFile(source, std::move(check.plan.sources[i]), target,
                                             hooks.stop, check.volume.removable, created);
      // Never a half-written file: a player would play it. Only what this
      // copy made is removed, never a file that stood there.
      if (error != 0 && created && ops.removeFile(target) != 0) left.halfWritten = target;
      if (hooks.writing) hooks.writing({});
      return error;
    }
    case CopyStep::Kind::OpenFolder: {
      platform::EntryTimes times;
      if (const OsErrorCode error = ops.readTimes(source, times)) return error;
      if (const OsErrorCode error = ops.createFolder(target)) return error;
      left.rowFolderBegun = true;
      openFolders.push_back(times);
      return 0;
    }
    case CopyStep::Kind::CloseFolder: {
      const platform::EntryTimes times = openFolders.back();
      openFolders.pop_back();
      return ops.setTimes(target, times, true);
    }
  }
  return 0;
}

std::string stoppedText(int copied, int total) {
  return std::string(messages::kStopped) + " (" + std::to_string(copied) + " / " +
         std::to_string(total) + " 個)";
}

// A stop or a failure at a step, with what it leaves named.
CopyResult endedAt(const CopyStep& step, OsErrorCode error, int copied, const CopyPlan& plan,
                   const WhatIsLeft& left) {
  const int total = static_cast<int>(plan.topNames.size());
  CopyResult result =
      error == platform::kErrorRequestAborted
          ? ended(CopyResult::Outcome::Stopped, {stoppedText(copied, total), 0, step.row}, copied)
          : ended(CopyResult::Outcome::Failed,
                  {concat(messages::kCannotCopy, step.relative), error, step.row}, copied);
  std::string& aftermath = result.failure.aftermath;
  if (!left.halfWritten.empty()) {
    aftermath += concat("\r\n\r\n", messages::kLeftBehind, left.halfWritten);
    result.leftBehind = left.halfWritten;
  }
  if (left.rowFolderBegun) {
    aftermath += concat("\r\n\r\n", messages::kFolderIncomplete,
                        plan.topNames[static_cast<std::size_t>(copied)]);
  }
  return result;
}

// Every row written: the notice, and what reading the order back found.
CopyResult completed(const CopyPlan& plan, const std::string& destination, platform::CopyOps& ops,
                     bool keepsOrder) {
  const int total = static_cast<int>(plan.topNames.size());
  CopyResult result;
  result.copiedRows = total;
  result.completion = std::string(messages::kCompleted) + countText(total);
  std::string outOfPlace;
  result.readBack = orderReadBack(plan, destination, ops, result.readBackError, outOfPlace);
  result.orderKept = result.readBack == CopyResult::ReadBack::Kept;
  if (result.readBack == CopyResult::ReadBack::NotKept && keepsOrder && !outOfPlace.empty()) {
    // FAT and exFAT keep the order written: this copy placed it wrong.
    result.completion += concat("\r\n\r\n", messages::kNotPlaced, outOfPlace,
                                messages::kNotPlacedFrom, messages::kNotPlacedAdvice);
  } else if (result.readBack == CopyResult::ReadBack::NotKept) {
    result.completion += concat("\r\n\r\n", messages::kOrderNotKept);
  } else if (result.readBack == CopyResult::ReadBack::Unreadable) {
    result.completion +=
        "\r\n\r\n" +
        platform::failureText({std::string(messages::kOrderNotReadBack), result.readBackError});
  }
  return result;
}

}  // namespace

CopyResult copyInOrder(const folderlist::EntryRows& rows, const std::string& folderPath,
                       const std::string& destination, platform::CopyOps& ops,
                       const NameOrder& nameOrder, const CopyProgress& progress,
                       const platform::StopRequested& stop) {
  CopyHooks hooks;
  hooks.progress = progress;
  hooks.stop = stop;
  return copyInOrder(rows, folderPath, destination, ops, nameOrder, hooks);
}

CopyResult copyInOrder(const folderlist::EntryRows& rows, const std::string& folderPath,
                       const std::string& destination, platform::CopyOps& ops,
                       const NameOrder& nameOrder, const CopyHooks& hooks) {
  using Outcome = CopyResult::Outcome;
  CopyCheck check = checkCopy(rows, folderPath, destination, ops, nameOrder, hooks);
  if (check.stopped) {
    const int total = rowsToCopy(rows, static_cast<int>(rows.size()));
    return ended(Outcome::Stopped, {stoppedText(0, total), 0, check.failure.row}, 0);
  }
  if (!check.failure.message.empty()) {
    return ended(Outcome::PrecheckFailed, std::move(check.failure), 0);
  }

  const int total = static_cast<int>(check.plan.topNames.size());
  int copied = 0;  // rows written in full
  WhatIsLeft left;
  // The folders opened and not yet closed, with the times they get at closing.
  std::vector<platform::EntryTimes> openFolders;
  const std::vector<CopyStep>& steps = check.plan.steps;
  // Each row's own entry lands after the row before it, wherever the card's
  // driver would have put it; the landing's own entries go before the
  // read-back, or with it on any way out.
  cardslots::CopyOpsSlotCalls calls(ops);
  cardslots::OrderedLanding landing(
      calls, {destination, "", check.plan.topNames, check.volume.clusterBytes});
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const CopyStep& step = steps[i];
    const std::string source = platform::joinPath(folderPath, step.relative);
    const std::string target = platform::joinPath(destination, step.relative);
    if (step.kind != CopyStep::Kind::CloseFolder && hooks.stop && hooks.stop()) {
      return endedAt(step, platform::kErrorRequestAborted, copied, check.plan, left);
    }
    if (const OsErrorCode error =
            carryOut(check, i, source, target, ops, hooks, openFolders, left)) {
      return endedAt(step, error, copied, check.plan, left);
    }
    const bool rowBegins = i == 0 || steps[i - 1].row != step.row;
    if (rowBegins) {
      if (const OsErrorCode error = landing.arrived(step.relative)) {
        return endedAt(step, error, copied, check.plan, left);
      }
    }
    const bool rowEnds = i + 1 == steps.size() || steps[i + 1].row != step.row;
    if (rowEnds) {
      ++copied;
      left.rowFolderBegun = false;
      if (hooks.progress) hooks.progress(copied, total);
    }
  }
  landing.finish();
  const platform::FileSystem fs = check.volume.fileSystem;
  const bool keepsOrder = fs == platform::FileSystem::Fat || fs == platform::FileSystem::Fat32 ||
                          fs == platform::FileSystem::ExFat;
  return completed(check.plan, destination, ops, keepsOrder);
}

std::string megabytes(std::uint64_t bytes, bool roundUp) {
  // Tenths of a megabyte: bytes * 10 / 2^20, without overflow for any size.
  const std::uint64_t whole = bytes >> 20;
  const std::uint64_t rest = bytes & ((1u << 20) - 1);
  std::uint64_t tenths = whole * 10 + (rest * 10 >> 20);
  if (roundUp && ((rest * 10) & ((1u << 20) - 1)) != 0) ++tenths;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

}  // namespace cardcopy
