#include "cardorder/card_reorder.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <set>
#include <thread>
#include <utility>

#include "cardorder/drive_order.h"
#include "cardorder/reorder_messages.h"
#include "cardslots/ordered_landing.h"
#include "folderlist/row_messages.h"
#include "platform/path.h"
#include "platform/text_concat.h"
#include "platform/volumes_own.h"

namespace cardorder {

namespace {

using platform::concat;
using platform::CopyOps;
using platform::EntryKind;
using platform::OsErrorCode;
using Outcome = ReorderResult::Outcome;

// How many names a failure's message lists; the list file names them all.
constexpr std::size_t kMostNamesShown = 10;

std::string countText(std::size_t n) { return " (" + std::to_string(n) + " 個)"; }

ReorderResult refused(platform::Failure failure) {
  ReorderResult result;
  result.outcome = Outcome::PrecheckFailed;
  result.failure = std::move(failure);
  return result;
}

// A new work folder with its list: never one that stands already.
struct MadeWorkFolder {
  std::string path;
  platform::Failure failure;  // when not made
};

MadeWorkFolder makeWorkFolder(const std::string& folderPath, const WorkList& list, CopyOps& ops) {
  const std::string place = workPlace(folderPath);
  OsErrorCode firstError = 0;
  std::string firstPath;
  for (const bool plain : {false, true}) {
    for (const std::string& name : workFolderNames(plain)) {
      const std::string path = platform::joinPath(place, name);
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
      const std::string listPath = platform::joinPath(path, kListFileName);
      if (const OsErrorCode written = ops.writeNewFile(listPath, listText(list))) {
        ops.removeFile(listPath);  // half written, the run's own
        ops.removeFolder(path);
        return {{}, {concat(messages::kCannotMakeWorkFolder, listPath), written}};
      }
      return {path, {}};
    }
  }
  if (firstError == 0) {  // every name stands already
    firstError = platform::kErrorAlreadyExists;
    firstPath = platform::joinPath(place, workFolderNames(false).back());
  }
  const std::string_view head = firstError == platform::kErrorWriteProtect
                                    ? messages::kReadOnly
                                    : messages::kCannotMakeWorkFolder;
  return {{}, {concat(head, firstPath), firstError}};
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
  // Entries of a list being finished that stand in neither folder.
  std::vector<std::string> foundNowhere;
  // FAT or exFAT, known to keep the order written: a wrong order read back
  // is then this program's failure to place, not the drive's way.
  bool keepsOrder = false;
};

// The names a message lists, at most kMostNamesShown of them, one a line.
std::string namesText(const std::vector<std::string>& names) {
  std::string text;
  const std::size_t shown = std::min(names.size(), kMostNamesShown);
  for (std::size_t i = 0; i < shown; ++i) text += "\r\n" + names[i];
  if (shown < names.size()) {
    text += concat("\r\n", messages::kMoreLeft, std::to_string(names.size() - shown), " 個");
  }
  return text;
}

// The refusals a moment's open by another program gives. Access denied is
// not among them: it lasts (a folder with a file open inside it), and after
// a failure every entry left is tried again, which must not take seconds each.
bool heldForAMoment(OsErrorCode error) {
  constexpr OsErrorCode kLockViolation = 33;
  return error == platform::kErrorSharingViolation || error == kLockViolation;
}

enum class ReadBack { Kept, NotKept, Unreadable };

// Whether a name is the list file's as the card compares names: case-blind,
// and the list's name is ASCII, so folding ASCII letters is exact.
bool namesTheList(std::string_view name) {
  return std::equal(name.begin(), name.end(), kListFileName.begin(), kListFileName.end(),
                    [](char a, char b) {
                      const auto lower = [](char c) {
                        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
                      };
                      return lower(a) == lower(b);
                    });
}

class Mover {
 public:
  Mover(MovePlan plan, CopyOps& ops, const ReorderProgress& progress,
        const std::function<bool()>& stop, const RetryWait& wait)
      : plan_(std::move(plan)),
        ops_(ops),
        progress_(progress),
        stop_(stop),
        wait_(wait),
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
    std::string& text = stopped ? result.failure.message : result.completion;
    if (stopped) {
      text = concat(messages::kStopped, "\r\n\r\n", messages::kAllInFolder);
    } else {
      text = concat(messages::kCompleted, countText(returned_));
      OsErrorCode error = 0;
      const ReadBack seen = readBack(error);
      result.orderKept = seen == ReadBack::Kept;
      if (seen == ReadBack::NotKept) text += "\r\n\r\n" + notKeptText();
      if (seen == ReadBack::Unreadable) {
        text +=
            "\r\n\r\n" + platform::failureText({std::string(messages::kOrderNotReadBack), error});
      }
    }
    if (!removal.empty()) text += "\r\n\r\n" + removal;
    text += foundNowhereText();
    return result;
  }

 private:
  bool move(const std::string& name, bool out) {
    const std::string inFolder = platform::joinPath(plan_.folder, name);
    const std::string inWork = platform::joinPath(plan_.work, name);
    OsErrorCode error = 0;
    // Waits of 100, 300, 600 and 1,000 ms: about 2 s in all.
    for (int attempt = 1;; ++attempt) {
      error = out ? ops_.moveEntry(inFolder, inWork) : ops_.moveEntry(inWork, inFolder);
      if (error == 0 || attempt == kMoveTries || !heldForAMoment(error)) break;
      if (wait_) wait_(100 * attempt * (attempt + 1) / 2);
    }
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
    const auto row = std::find(plan_.back.begin(), plan_.back.end(), failedName_);
    if (row != plan_.back.end()) {
      result.failure.row = plan_.rowOf[static_cast<std::size_t>(row - plan_.back.begin())];
    }
    const std::string failedPath = failedPath_;
    const OsErrorCode error = error_;
    for (const std::string& name : plan_.back) {
      if (inWork_.count(name)) move(name, false);
    }
    result.failure.message = concat(messages::kCannotMove, failedPath);
    result.failure.osError = error;
    std::string& aftermath = result.failure.aftermath;
    aftermath = "\r\n\r\n";
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
      aftermath += messages::kAllInFolder;
      if (!removal.empty()) aftermath += "\r\n\r\n" + removal;
      aftermath += foundNowhereText();
      return result;
    }
    result.workFolder = plan_.work;
    aftermath += concat(messages::kLeftInWorkFolder, plan_.work, "\r\n");
    aftermath += namesText(result.leftInWorkFolder);
    aftermath += foundNowhereText();
    return result;
  }

  // The run's own list and its emptied work folder go; if they cannot, the
  // returned line says so and the result keeps the folder's path.
  std::string removeWorkFolder(ReorderResult& result) {
    const std::string listPath = platform::joinPath(plan_.work, kListFileName);
    // Judged from the disk, not from the run's own tally: whatever stands
    // there besides the list keeps the list and the folder.
    std::vector<platform::FolderItem> inside;
    OsErrorCode error = ops_.listNames(plan_.work, inside);
    std::vector<std::string> strangers;
    for (platform::FolderItem& item : inside) {
      if (item.name != kListFileName) strangers.push_back(std::move(item.name));
    }
    if (error == 0 && !strangers.empty()) {
      result.workFolder = plan_.work;
      return concat(messages::kStrangersInWorkFolder, plan_.work, "\r\n", namesText(strangers));
    }
    if (error == 0) error = ops_.removeFile(listPath);
    if (error == 0 || error == platform::kErrorFileNotFound) error = ops_.removeFolder(plan_.work);
    if (error == 0) return {};
    result.workFolder = plan_.work;
    return platform::failureText({concat(messages::kCannotRemoveWorkFolder, plan_.work), error});
  }

  // The folder in the file system's own order: the rows that stand in it,
  // in the list's order, and nothing before or between them. A work folder
  // inside it (a root's, when it could not be removed) is passed over.
  ReadBack readBack(OsErrorCode& error) {
    std::vector<std::string>& found = found_;
    if ((error = platform::listOrderedNames(ops_, plan_.folder, found)) != 0) {
      return ReadBack::Unreadable;
    }
    std::erase_if(found, [this](const std::string& name) {
      return platform::joinPath(plan_.folder, name) == plan_.work;
    });
    std::vector<std::string>& expected = expected_;
    expected.clear();
    const std::set<std::string> present(found.begin(), found.end());
    for (const std::string& name : plan_.back) {
      if (present.count(name)) expected.push_back(name);
    }
    return found == expected ? ReadBack::Kept : ReadBack::NotKept;
  }

  // What a wrong order read back says: on a drive that keeps the order
  // written, where this run went wrong and what to do; else that the drive
  // keeps none.
  std::string notKeptText() const {
    if (!plan_.keepsOrder) return std::string(messages::kOrderNotKept);
    std::size_t at = 0;
    while (at < found_.size() && at < expected_.size() && found_[at] == expected_[at]) ++at;
    if (at >= expected_.size()) return std::string(messages::kOrderNotKept);
    const std::string& name = expected_[at];
    const auto place = std::find(plan_.back.begin(), plan_.back.end(), name);
    const int row = plan_.rowOf[static_cast<std::size_t>(place - plan_.back.begin())] + 1;
    return concat(messages::kNotPlaced, std::to_string(row), " 行目の ", name,
                  messages::kNotPlacedFrom, messages::kNotPlacedAdvice);
  }

  std::string foundNowhereText() const {
    if (plan_.foundNowhere.empty()) return {};
    return concat("\r\n\r\n", messages::kFoundNowhere, namesText(plan_.foundNowhere));
  }

  MovePlan plan_;
  CopyOps& ops_;
  const ReorderProgress& progress_;
  const std::function<bool()>& stop_;
  const RetryWait& wait_;
  std::set<std::string> inWork_;
  std::vector<std::string> found_;     // the read-back's names, in the folder's order
  std::vector<std::string> expected_;  // the same names in the list's order
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
  const auto fail = [&check](std::string_view message, const std::string& what, int row,
                             OsErrorCode error = 0) {
    check.failure = {concat(message, what), error, row};
    check.names.clear();
    return std::move(check);
  };
  // One enumeration tells every entry's name and kind: what the rows are
  // checked against, and what stands in the folder besides them.
  std::vector<platform::FolderItem> present;
  if (const OsErrorCode error = ops.listFolder(folderPath, present)) {
    return fail(messages::kCannotMove, folderPath, -1, error);
  }
  // The volume's own hidden, system entries (System Volume Information at a
  // card's root) stay where they stand, listed or not: Windows lets no user
  // move them.
  const std::vector<std::string> pinned = platform::takeOutVolumesOwn(present);
  const std::set<std::string> volumesOwn(pinned.begin(), pinned.end());
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
      return fail(row.isFile() ? folderlist::kMissingFile : folderlist::kMissingFolder, row.name,
                  k);
    }
    check.names.push_back(row.name);
    taken.push_back(k);
  }
  // Opened and let go at once: a file another program holds would stop its
  // move half way through the run.
  for (const int k : taken) {
    const folderlist::ListEntry& row = rows[static_cast<std::size_t>(k)];
    if (!row.isFile()) continue;
    if (const OsErrorCode error = ops.openExclusive(platform::joinPath(folderPath, row.name))) {
      return fail(messages::kOpenElsewhere, row.name, k, error);
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
    if (namesTheList(row.name)) {
      return fail(messages::kListNameRow, row.name, k);
    }
  }
  return check;
}

ReorderResult reorderInPlace(const folderlist::EntryRows& rows, const std::string& folderPath,
                             platform::CopyOps& ops, const ReorderProgress& progress,
                             const std::function<bool()>& stop, const RetryWait& wait) {
  ReorderCheck check = checkReorder(rows, folderPath, ops);
  if (!check.failure.message.empty()) return refused(std::move(check.failure));

  WorkList list{folderName(folderPath), check.names};
  MadeWorkFolder work = makeWorkFolder(folderPath, list, ops);
  if (work.path.empty()) return refused(std::move(work.failure));

  MovePlan plan;
  plan.folder = folderPath;
  plan.work = work.path;
  plan.out = check.names;
  plan.back = std::move(check.names);
  plan.keepsOrder = driveFactsOf(folderPath, ops).order == DriveOrder::Kept;
  const int total = static_cast<int>(rows.size());
  for (int k = 0; k < total; ++k) {
    const folderlist::ListEntry& row = rows[static_cast<std::size_t>(k)];
    if (row.isFile() || row.isFolder()) plan.rowOf.push_back(k);
  }
  return Mover(std::move(plan), ops, progress, stop, wait).run();
}

namespace {

// The entries of a folder by name: whether each is a folder. The volume's
// own entries take no part.
OsErrorCode entriesOf(CopyOps& ops, const std::string& path, std::map<std::string, bool>& found) {
  std::vector<platform::FolderItem> items;
  if (const OsErrorCode error = ops.listFolder(path, items)) return error;
  platform::takeOutVolumesOwn(items);
  for (const platform::FolderItem& item : items) found.emplace(item.name, item.folder);
  return 0;
}

// The checks before moving, for a list being finished: what the in-place
// order checks, wherever each entry waits.
platform::Failure checkFinish(const PendingWork& pending, const std::string& folderPath,
                              const std::map<std::string, bool>& inFolder,
                              const std::map<std::string, bool>& inWork, CopyOps& ops) {
  const std::set<std::string> listed(pending.list.rows.begin(), pending.list.rows.end());
  for (const auto& [name, folder] : inFolder) {
    if (listed.count(name) || platform::joinPath(folderPath, name) == pending.workFolder) {
      continue;
    }
    return {concat(messages::kNotListed, name)};
  }
  for (const std::string& name : pending.list.rows) {
    const bool waits = inWork.count(name) > 0;
    const auto& where = waits ? inWork : inFolder;
    const auto found = where.find(name);
    if (found == where.end() || found->second) continue;
    const std::string path = platform::joinPath(waits ? pending.workFolder : folderPath, name);
    if (const OsErrorCode error = ops.openExclusive(path)) {
      return {concat(messages::kOpenElsewhere, name), error};
    }
  }
  if (driveFactsOf(folderPath, ops).readOnly) return {concat(messages::kReadOnly, folderPath)};
  return {};
}

}  // namespace

ReorderResult finishPendingWork(const PendingWork& pending, const std::string& folderPath,
                                platform::CopyOps& ops, const ReorderProgress& progress,
                                const std::function<bool()>& stop, const RetryWait& wait) {
  std::map<std::string, bool> inFolder;
  if (const OsErrorCode error = entriesOf(ops, folderPath, inFolder)) {
    return refused({concat(messages::kCannotMove, folderPath), error});
  }
  std::map<std::string, bool> inWork;
  if (const OsErrorCode error = entriesOf(ops, pending.workFolder, inWork)) {
    return refused({concat(messages::kCannotMove, pending.workFolder), error});
  }
  inWork.erase(std::string(kListFileName));
  platform::Failure refusal = checkFinish(pending, folderPath, inFolder, inWork, ops);
  if (!refusal.message.empty()) return refused(std::move(refusal));

  MovePlan plan;
  plan.folder = folderPath;
  plan.work = pending.workFolder;
  plan.keepsOrder = driveFactsOf(folderPath, ops).order == DriveOrder::Kept;
  for (const auto& [name, folder] : inWork) plan.waiting.insert(name);
  for (std::size_t i = 0; i < pending.list.rows.size(); ++i) {
    const std::string& name = pending.list.rows[i];
    const bool waits = inWork.count(name) > 0;
    if (inFolder.count(name) && !waits) plan.out.push_back(name);
    if (!inFolder.count(name) && !waits) plan.foundNowhere.push_back(name);
    plan.back.push_back(name);
    plan.rowOf.push_back(static_cast<int>(i));
  }
  return Mover(std::move(plan), ops, progress, stop, wait).run();
}

void sleepFor(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace cardorder
