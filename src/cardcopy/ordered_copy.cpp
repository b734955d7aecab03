#include "cardcopy/ordered_copy.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "cardcopy/copy_messages.h"
#include "cardcopy/fat_names.h"
#include "platform/path.h"

namespace cardcopy {

namespace {

using platform::CopyOps;
using platform::EntryKind;
using platform::OsErrorCode;

std::string concat(std::string_view a, std::string_view b) {
  std::string text;
  text.reserve(a.size() + b.size());
  text.append(a);
  text.append(b);
  return text;
}

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
  if (cluster == 0) return bytes;
  return (bytes + cluster - 1) / cluster * cluster;
}

// Builds the plan and checks every entry on the way; the first failure ends it.
class Checker {
 public:
  Checker(const std::string& folderPath, const std::string& destination, CopyOps& ops,
          const NameOrder& nameOrder, std::uint64_t cluster)
      : folder_(folderPath),
        destination_(destination),
        destinationLength_(utf16Length(destination) + 1),
        ops_(ops),
        nameOrder_(nameOrder),
        cluster_(cluster) {}

  CopyCheck& result() { return check_; }

  // False when the row fails; the message is set.
  bool addRow(const folderlist::ListEntry& row, int index) {
    const std::string source = platform::joinPath(folder_, row.name);
    const platform::EntryStat stat = ops_.stat(source);
    if (row.isFile() && stat.kind != EntryKind::File) {
      return fail(index, messages::kMissingFile, row.name);
    }
    if (row.isFolder() && stat.kind != EntryKind::Folder) {
      return fail(index, messages::kMissingFolder, row.name);
    }
    check_.plan.topNames.push_back(row.name);
    return addEntry(index, row.name, row.name, row.isFolder(), stat.size);
  }

 private:
  bool fail(int row, std::string_view message, const std::string& what) {
    check_.message = concat(message, what);
    check_.failedRow = row;
    return false;
  }

  bool addEntry(int row, const std::string& name, const std::string& relative, bool folder,
                std::uint64_t size) {
    if (!fatCanHoldName(name)) return fail(row, messages::kBadName, relative);
    const std::size_t limit = folder ? kLongestFolderPath : kLongestFilePath;
    if (destinationLength_ + utf16Length(relative) > limit) {
      return fail(row, messages::kPathTooLong, relative);
    }
    const std::string source = platform::joinPath(folder_, relative);
    if (!folder) {
      platform::OpenedSource opened;
      if (open(source, opened) != 0) return fail(row, messages::kUnreadableFile, relative);
      addStep({CopyStep::Kind::File, relative, row, {}}, std::move(opened));
      check_.plan.bytesNeeded += wholeClusters(size, cluster_);
      return true;
    }

    std::vector<platform::FolderItem> items;
    if (ops_.listFolder(source, items) != 0) {
      return fail(row, messages::kUnreadableFolder, relative);
    }
    std::stable_sort(items.begin(), items.end(), [this](const auto& a, const auto& b) {
      return nameOrder_(a.name, b.name) < 0;
    });
    CopyStep open{CopyStep::Kind::OpenFolder, relative, row, {}};
    for (const auto& item : items) open.children.push_back(item.name);
    addStep(std::move(open));
    // A folder takes at least one cluster of its own.
    check_.plan.bytesNeeded += std::max<std::uint64_t>(cluster_, 1);
    for (const auto& item : items) {
      if (!addEntry(row, item.name, platform::joinPath(relative, item.name), item.folder,
                    item.size)) {
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
  const std::string& destination_;
  std::size_t destinationLength_;
  CopyOps& ops_;
  const NameOrder& nameOrder_;
  std::uint64_t cluster_;
  CopyCheck check_;
  int held_ = 0;
  bool holding_ = true;
};

CopyResult ended(CopyResult::Outcome outcome, std::string message, int copied, int failedRow,
                 OsErrorCode error) {
  CopyResult result;
  result.outcome = outcome;
  result.message = std::move(message);
  result.copiedRows = copied;
  result.failedRow = failedRow;
  result.osError = error;
  return result;
}

std::string countText(int n) { return " (" + std::to_string(n) + " 個)"; }

// Whether the destination reads back in the order written: the rows at the
// top, each folder's contents inside it. A folder that cannot be read back
// tells nothing either way.
bool orderReadBack(const CopyPlan& plan, const std::string& destination, CopyOps& ops) {
  const auto sameNames = [&ops](const std::string& path, const std::vector<std::string>& names) {
    std::vector<std::string> found;
    if (ops.listNames(path, found) != 0) return true;
    return found == names;
  };
  if (!sameNames(destination, plan.topNames)) return false;
  for (const CopyStep& step : plan.steps) {
    if (step.kind != CopyStep::Kind::OpenFolder) continue;
    if (!sameNames(platform::joinPath(destination, step.relative), step.children)) return false;
  }
  return true;
}

}  // namespace

CopyCheck checkCopy(const folderlist::EntryRows& rows, const std::string& folderPath,
                    const std::string& destination, platform::CopyOps& ops,
                    const NameOrder& nameOrder) {
  CopyCheck check;
  const auto fail = [&check](std::string_view message, const std::string& what, int row) {
    check.message = concat(message, what);
    check.failedRow = row;
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
  if (ops.listFolder(destination, present) != 0) {
    return fail(messages::kUnreadableFolder, destination, -1);
  }
  if (!present.empty()) return fail(messages::kNotEmpty, destination, -1);

  // Without the volume's figures the space is left to the writes to find out.
  platform::VolumeSpace space;
  const bool spaceKnown = ops.volumeSpace(destination, space) == 0;

  Checker checker(folderPath, destination, ops, nameOrder, space.clusterBytes);
  for (int k = 0; k < total; ++k) {
    const folderlist::ListEntry& row = rows[static_cast<std::size_t>(k)];
    // A row of any other kind is left out, as the stamping run leaves it.
    if (!row.isFile() && !row.isFolder()) continue;
    if (!checker.addRow(row, k)) return std::move(checker.result());
  }
  check = std::move(checker.result());
  if (spaceKnown && check.plan.bytesNeeded > space.freeBytes) {
    return fail(messages::kNoSpace,
                "必要 " + megabytes(check.plan.bytesNeeded, true) + " MB / 空き " +
                    megabytes(space.freeBytes, false) + " MB",
                -1);
  }
  return check;
}

namespace {

// Carries out step i of the plan: 0, or the system's error code (a stop
// inside a file is kErrorRequestAborted). A file that fails is removed.
OsErrorCode carryOut(CopyPlan& plan, std::size_t i, const std::string& source,
                     const std::string& target, platform::CopyOps& ops,
                     std::vector<platform::EntryTimes>& openFolders,
                     const platform::StopRequested& stop) {
  switch (plan.steps[i].kind) {
    case CopyStep::Kind::File: {
      const OsErrorCode error = ops.copyFile(source, std::move(plan.sources[i]), target, stop);
      // Never a half-written file: a player would play it.
      if (error) ops.removeFile(target);
      return error;
    }
    case CopyStep::Kind::OpenFolder: {
      platform::EntryTimes times;
      if (const OsErrorCode error = ops.readTimes(source, times)) return error;
      if (const OsErrorCode error = ops.createFolder(target)) return error;
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

}  // namespace

CopyResult copyInOrder(const folderlist::EntryRows& rows, const std::string& folderPath,
                       const std::string& destination, platform::CopyOps& ops,
                       const NameOrder& nameOrder, const CopyProgress& progress,
                       const platform::StopRequested& stop) {
  using Outcome = CopyResult::Outcome;
  CopyCheck check = checkCopy(rows, folderPath, destination, ops, nameOrder);
  if (!check.message.empty()) {
    return ended(Outcome::PrecheckFailed, std::move(check.message), 0, check.failedRow, 0);
  }

  const int total = static_cast<int>(check.plan.topNames.size());
  int copied = 0;  // rows written in full
  const auto stoppedMessage = [&copied, total] {
    return std::string(messages::kStopped) + " (" + std::to_string(copied) + " / " +
           std::to_string(total) + " 個)";
  };
  const auto failed = [&](const CopyStep& step, OsErrorCode error) {
    return ended(
        Outcome::Failed,
        concat(messages::kCannotCopy, step.relative) + "\r\n" + platform::osErrorText(error),
        copied, step.row, error);
  };
  // The folders opened and not yet closed, with the times they get at closing.
  std::vector<platform::EntryTimes> openFolders;

  const std::vector<CopyStep>& steps = check.plan.steps;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const CopyStep& step = steps[i];
    const std::string source = platform::joinPath(folderPath, step.relative);
    const std::string target = platform::joinPath(destination, step.relative);
    if (step.kind != CopyStep::Kind::CloseFolder && stop && stop()) {
      return ended(Outcome::Stopped, stoppedMessage(), copied, step.row, 0);
    }
    if (const OsErrorCode error = carryOut(check.plan, i, source, target, ops, openFolders, stop)) {
      if (error == platform::kErrorRequestAborted) {
        return ended(Outcome::Stopped, stoppedMessage(), copied, step.row, 0);
      }
      return failed(step, error);
    }
    const bool rowEnds = i + 1 == steps.size() || steps[i + 1].row != step.row;
    if (rowEnds) {
      ++copied;
      if (progress) progress(copied, total);
    }
  }

  CopyResult result =
      ended(Outcome::Completed, std::string(messages::kCompleted) + countText(total), total, -1, 0);
  result.orderKept = orderReadBack(check.plan, destination, ops);
  if (!result.orderKept) result.message += "\r\n\r\n" + std::string(messages::kOrderNotKept);
  return result;
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
