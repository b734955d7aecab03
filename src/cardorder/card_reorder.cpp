#include "cardorder/card_reorder.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "cardorder/drive_order.h"
#include "cardorder/reorder_messages.h"
#include "cardslots/ordered_landing.h"

namespace cardorder {

namespace {

using platform::CopyOps;
using platform::EntryKind;
using platform::OsErrorCode;
using Outcome = ReorderResult::Outcome;

// How many names a failure's message lists; the list file names them all.
constexpr std::size_t kMostNamesShown = 10;

std::string concat(std::string_view a, std::string_view b) {
  std::string text(a);
  text.append(b);
  return text;
}

std::string countText(std::size_t n) { return " (" + std::to_string(n) + " 個)"; }

ReorderResult refused(std::string message, int row = -1, OsErrorCode error = 0) {
  ReorderResult result;
  result.outcome = Outcome::PrecheckFailed;
  result.message = std::move(message);
  result.failedRow = row;
  result.osError = error;
  return result;
}

// A new work folder with its list: never one that stands already.
struct MadeWorkFolder {
  std::string path;
  std::string message;  // empty when made
  OsErrorCode error = 0;
};

MadeWorkFolder makeWorkFolder(const std::string& folderPath, const WorkList& list, CopyOps& ops) {
  const std::string place = workPlace(folderPath);
  OsErrorCode firstError = 0;
  std::string firstPath;
  for (const bool plain : {false, true}) {
    for (const std::string& name : workFolderNames(plain)) {
      const std::string path = joinInto(place, name);
      const OsErrorCode error = ops.createFolder(path);
      if (error == platform::kErrorAlreadyExists) continue;
      if (error != 0) {
        if (firstError == 0) {
          firstError = error;
          firstPath = path;
        }
        // The name itself may be what the card refuses: the plain one next.
        break;
      }
      const std::string listPath = joinInto(path, kListFileName);
      if (const OsErrorCode written = ops.writeNewFile(listPath, listText(list))) {
        ops.removeFile(listPath);  // half written, the run's own
        ops.removeFolder(path);
        return {{},
                concat(messages::kCannotMakeWorkFolder, listPath) + "\r\n" +
                    platform::osErrorText(written),
                written};
      }
      return {path, {}, 0};
    }
  }
  if (firstError == 0) {  // every name stands already
    firstError = platform::kErrorAlreadyExists;
    firstPath = joinInto(place, workFolderNames(false).back());
  }
  const std::string_view head = firstError == platform::kErrorWriteProtect
                                    ? messages::kReadOnly
                                    : messages::kCannotMakeWorkFolder;
  return {{}, concat(head, firstPath) + "\r\n" + platform::osErrorText(firstError), firstError};
}

// The moves of one run: `out` leaves the folder for the work folder in
// order, then `back` returns in order. `waiting` already stands in the work
// folder (a run being finished).
struct MovePlan {
  std::string folder;
  std::string work;
  std::vector<std::string> out;
  std::vector<std::string> back;
  std::set<std::string> waiting;
  // The rows' places in the list, for the failure's row.
  std::vector<int> rowOf;
};

class Mover {
 public:
  Mover(MovePlan plan, CopyOps& ops, const ReorderProgress& progress,
        const std::function<bool()>& stop)
      : plan_(std::move(plan)),
        ops_(ops),
        progress_(progress),
        stop_(stop),
        inWork_(plan_.waiting),
        total_(static_cast<int>(plan_.out.size() + plan_.back.size())) {}

  ReorderResult run() {
    bool stopped = false;
    for (const std::string& name : plan_.out) {
      if (stop_ && stop_()) {
        stopped = true;
        break;
      }
      if (!move(name, true)) return failed();
    }
    if (stopped) {
      // Only what is out comes back; the caption counts those moves.
      total_ = done_ + static_cast<int>(inWork_.size());
    }
    // Each row lands after the one before it, wherever the card's driver
    // would have put it.
    cardslots::CopyOpsSlotCalls calls(ops_);
    cardslots::OrderedLanding landing(calls,
                                      {plan_.folder, plan_.work, plan_.back, clusterBytes()});
    for (const std::string& name : plan_.back) {
      if (!inWork_.count(name)) continue;
      if (!move(name, false)) return failed();
      if (landing.arrived(name) != 0) return failedLanding(landing.finish(), name);
    }
    landing.finish();
    ReorderResult result;
    result.outcome = stopped ? Outcome::Stopped : Outcome::Completed;
    const std::string removal = removeWorkFolder(result);
    if (stopped) {
      result.message = concat(messages::kStopped, "\r\n\r\n") + std::string(messages::kAllInFolder);
    } else {
      result.message = std::string(messages::kCompleted) + countText(returned_);
      result.orderKept = readBack();
      if (!result.orderKept) result.message += "\r\n\r\n" + std::string(messages::kOrderNotKept);
    }
    if (!removal.empty()) result.message += "\r\n\r\n" + removal;
    return result;
  }

 private:
  bool move(const std::string& name, bool out) {
    const std::string inFolder = joinInto(plan_.folder, name);
    const std::string inWork = joinInto(plan_.work, name);
    const OsErrorCode error =
        out ? ops_.moveEntry(inFolder, inWork) : ops_.moveEntry(inWork, inFolder);
    if (error != 0) {
      failedPath_ = out ? inFolder : inWork;
      failedName_ = name;
      error_ = error;
      return false;
    }
    if (out) {
      inWork_.insert(name);
    } else {
      inWork_.erase(name);
      ++returned_;
    }
    ++done_;
    if (progress_) progress_(done_, total_);
    return true;
  }

  // A move the landing made failed: what it left in the work folder is
  // there again, and the failure is the row's.
  ReorderResult failedLanding(const cardslots::LandingReport& report, const std::string& name) {
    for (const std::string& left : report.leftInHolding) {
      if (inWork_.insert(left).second) --returned_;
    }
    failedPath_ = report.failedPath;
    failedName_ = report.leftInHolding.empty() ? name : report.leftInHolding.front();
    error_ = report.error;
    return failed();
  }

  // The volume's allocation unit, which bounds the landing's placeholders;
  // 0 when the system cannot say.
  std::uint64_t clusterBytes() {
    platform::VolumeSpace space;
    return ops_.volumeSpace(plan_.folder, space) == 0 ? space.clusterBytes : 0;
  }

  // After a failure: one more try for each entry still in the work folder,
  // in the list's order; one that fails again stays there.
  ReorderResult failed() {
    ReorderResult result;
    result.outcome = Outcome::Failed;
    result.osError = error_;
    const auto row = std::find(plan_.back.begin(), plan_.back.end(), failedName_);
    if (row != plan_.back.end()) {
      result.failedRow = plan_.rowOf[static_cast<std::size_t>(row - plan_.back.begin())];
    }
    const std::string failedPath = failedPath_;
    const OsErrorCode error = error_;
    for (const std::string& name : plan_.back) {
      if (inWork_.count(name)) move(name, false);
    }
    result.message = concat(messages::kCannotMove, failedPath) + "\r\n" +
                     platform::osErrorText(error) + "\r\n\r\n";
    for (const std::string& name : plan_.back) {
      if (inWork_.count(name)) result.leftInWorkFolder.push_back(name);
    }
    // Anything in the work folder the list does not name (a run being
    // finished) stays there too.
    for (const std::string& name : inWork_) {
      if (std::find(plan_.back.begin(), plan_.back.end(), name) == plan_.back.end()) {
        result.leftInWorkFolder.push_back(name);
      }
    }
    if (result.leftInWorkFolder.empty()) {
      const std::string removal = removeWorkFolder(result);
      result.message += std::string(messages::kAllInFolder);
      if (!removal.empty()) result.message += "\r\n\r\n" + removal;
      return result;
    }
    result.workFolder = plan_.work;
    result.message += concat(messages::kLeftInWorkFolder, plan_.work) + "\r\n";
    const std::size_t shown = std::min(result.leftInWorkFolder.size(), kMostNamesShown);
    for (std::size_t i = 0; i < shown; ++i) result.message += "\r\n" + result.leftInWorkFolder[i];
    if (shown < result.leftInWorkFolder.size()) {
      result.message += "\r\n" + std::string(messages::kMoreLeft) +
                        std::to_string(result.leftInWorkFolder.size() - shown) + " 個";
    }
    return result;
  }

  // The run's own list and its emptied work folder go; if they cannot, the
  // returned line says so and the result keeps the folder's path.
  std::string removeWorkFolder(ReorderResult& result) {
    const std::string listPath = joinInto(plan_.work, kListFileName);
    OsErrorCode error = ops_.removeFile(listPath);
    if (error == 0 || error == platform::kErrorFileNotFound) error = ops_.removeFolder(plan_.work);
    if (error == 0) return {};
    result.workFolder = plan_.work;
    return concat(messages::kCannotRemoveWorkFolder, plan_.work) + "\r\n" +
           platform::osErrorText(error);
  }

  // The folder in the file system's own order: the rows that stand in it,
  // in the list's order, and nothing before or between them. A work folder
  // inside it (a root's, when it could not be removed) is passed over.
  bool readBack() {
    std::vector<platform::FolderItem> items;
    if (ops_.listNames(plan_.folder, items) != 0) return true;  // tells nothing either way
    // The volume's own hidden, system entries (System Volume Information at
    // a card's root) take no part in the order.
    std::vector<std::string> found;
    for (platform::FolderItem& item : items) {
      if (item.hiddenSystem || joinInto(plan_.folder, item.name) == plan_.work) continue;
      found.push_back(std::move(item.name));
    }
    std::vector<std::string> expected;
    const std::set<std::string> present(found.begin(), found.end());
    for (const std::string& name : plan_.back) {
      if (present.count(name)) expected.push_back(name);
    }
    return found == expected;
  }

  MovePlan plan_;
  CopyOps& ops_;
  const ReorderProgress& progress_;
  const std::function<bool()>& stop_;
  std::set<std::string> inWork_;
  int total_;
  int done_ = 0;
  std::size_t returned_ = 0;
  std::string failedPath_;
  std::string failedName_;
  OsErrorCode error_ = 0;
};

}  // namespace

ReorderCheck checkReorder(const folderlist::EntryRows& rows, const std::string& folderPath,
                          platform::CopyOps& ops) {
  ReorderCheck check;
  const auto fail = [&check](std::string_view message, const std::string& what, int row) {
    check.message = concat(message, what);
    check.failedRow = row;
    check.names.clear();
    return std::move(check);
  };
  // One enumeration tells every entry's name and kind: what the rows are
  // checked against, and what stands in the folder besides them.
  std::vector<platform::FolderItem> present;
  if (const OsErrorCode error = ops.listFolder(folderPath, present)) {
    return fail(messages::kCannotMove, folderPath + "\r\n" + platform::osErrorText(error), -1);
  }
  // The volume's own hidden, system entries (System Volume Information at a
  // card's root) stay where they stand, listed or not: Windows lets no user
  // move them.
  std::set<std::string> volumesOwn;
  std::erase_if(present, [&volumesOwn](const platform::FolderItem& item) {
    return item.hiddenSystem && volumesOwn.insert(item.name).second;
  });
  std::map<std::string, bool> folderNamed;  // the entries by name: whether a folder
  for (const platform::FolderItem& item : present) folderNamed.emplace(item.name, item.folder);

  const int total = static_cast<int>(rows.size());
  std::vector<int> taken;
  for (int k = 0; k < total; ++k) {
    const folderlist::ListEntry& row = rows[static_cast<std::size_t>(k)];
    if ((!row.isFile() && !row.isFolder()) || volumesOwn.count(row.name)) continue;
    const auto found = folderNamed.find(row.name);
    const bool there = found != folderNamed.end() && found->second == row.isFolder();
    if (!there) {
      return fail(row.isFile() ? messages::kMissingFile : messages::kMissingFolder, row.name, k);
    }
    check.names.push_back(row.name);
    taken.push_back(k);
  }
  // Opened and let go at once: a file another program holds would stop its
  // move half way through the run.
  for (const int k : taken) {
    const folderlist::ListEntry& row = rows[static_cast<std::size_t>(k)];
    if (!row.isFile()) continue;
    if (const OsErrorCode error = ops.openExclusive(joinInto(folderPath, row.name))) {
      return fail(messages::kOpenElsewhere, row.name + "\r\n" + platform::osErrorText(error), k);
    }
  }
  if (driveFactsOf(folderPath, ops).readOnly) return fail(messages::kReadOnly, folderPath, -1);
  // An entry the list does not show would stay in front of the rows.
  const std::set<std::string> named(check.names.begin(), check.names.end());
  for (const platform::FolderItem& item : present) {
    if (!named.count(item.name)) return fail(messages::kNotListed, item.name, -1);
  }
  // A root's work folder stands among its rows: moving it into a new one
  // would bury what it holds.
  for (const int k : taken) {
    const folderlist::ListEntry& row = rows[static_cast<std::size_t>(k)];
    if (row.isFolder() && isWorkFolderName(row.name)) {
      return fail(messages::kWorkFolderRow, row.name, k);
    }
  }
  return check;
}

ReorderResult reorderInPlace(const folderlist::EntryRows& rows, const std::string& folderPath,
                             platform::CopyOps& ops, const ReorderProgress& progress,
                             const std::function<bool()>& stop) {
  ReorderCheck check = checkReorder(rows, folderPath, ops);
  if (!check.message.empty()) return refused(std::move(check.message), check.failedRow);

  WorkList list{folderName(folderPath), check.names};
  MadeWorkFolder work = makeWorkFolder(folderPath, list, ops);
  if (work.path.empty()) return refused(std::move(work.message), -1, work.error);

  MovePlan plan;
  plan.folder = folderPath;
  plan.work = work.path;
  plan.out = check.names;
  plan.back = std::move(check.names);
  const int total = static_cast<int>(rows.size());
  for (int k = 0; k < total; ++k) {
    const folderlist::ListEntry& row = rows[static_cast<std::size_t>(k)];
    if (row.isFile() || row.isFolder()) plan.rowOf.push_back(k);
  }
  return Mover(std::move(plan), ops, progress, stop).run();
}

ReorderResult finishPendingWork(const PendingWork& pending, const std::string& folderPath,
                                platform::CopyOps& ops, const ReorderProgress& progress,
                                const std::function<bool()>& stop) {
  std::vector<platform::FolderItem> present;
  if (const OsErrorCode error = ops.listNames(folderPath, present)) {
    return refused(
        concat(messages::kCannotMove, folderPath) + "\r\n" + platform::osErrorText(error), -1,
        error);
  }
  std::set<std::string> inFolder;
  for (const platform::FolderItem& item : present) inFolder.insert(item.name);
  const std::set<std::string> waiting(pending.waiting.begin(), pending.waiting.end());
  MovePlan plan;
  plan.folder = folderPath;
  plan.work = pending.workFolder;
  plan.waiting = waiting;
  for (std::size_t i = 0; i < pending.list.rows.size(); ++i) {
    const std::string& name = pending.list.rows[i];
    if (inFolder.count(name) && !waiting.count(name)) plan.out.push_back(name);
    plan.back.push_back(name);
    plan.rowOf.push_back(static_cast<int>(i));
  }
  return Mover(std::move(plan), ops, progress, stop).run();
}

}  // namespace cardorder
