#include "stamping/undo.h"

#include <string_view>
#include <unordered_map>

#include "platform/path.h"
#include "stamping/precheck.h"
#include "stamping/run_messages.h"

namespace stamping {

namespace {

using Outcome = RunResult::Outcome;

folderlist::ListEntry asRow(const KeptEntry& kept) {
  return {kept.name, kept.kindText, kept.timeText};
}

// Opens the entry and sets the old times of those the run changed; 0 when done.
RunResult restoreEntry(const KeptEntry& kept, const std::string& path, platform::FileOps& fs) {
  const folderlist::ListEntry row = asRow(kept);
  RunResult failure;
  failure.outcome = Outcome::Stopped;
  platform::OpenResult opened = row.isFile() ? fs.openFile(path) : fs.openFolder(path);
  if (!opened.entry) {
    failure.failure = {cannotOpenMessage(row, path), opened.error};
    return failure;
  }
  const platform::EntryTimes& t = kept.times;
  const platform::FileTime* creation = kept.creationChanged ? &t.creation : nullptr;
  const platform::FileTime* lastAccess = kept.lastAccessChanged ? &t.lastAccess : nullptr;
  if (const auto error = opened.entry->setTimes(creation, lastAccess, t.lastWrite)) {
    failure.failure = {cannotChangeMessage(row, path), error};
    return failure;
  }
  return {};
}

}  // namespace

RunResult runUndo(UndoRecord& record, folderlist::EntryRows& rows, platform::FileOps& fs,
                  const UndoProgress& progress) {
  KeptEntries& entries = record.entries;
  for (const KeptEntry& kept : entries) {
    std::string message =
        precheckMessage(asRow(kept), platform::joinPath(record.folderPath, kept.name), fs);
    if (!message.empty()) {
      RunResult result;
      result.outcome = Outcome::PrecheckFailed;
      result.failure.message = std::move(message);
      return result;
    }
  }

  std::unordered_map<std::string_view, std::size_t> rowOf;
  rowOf.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) rowOf.emplace(rows[i].name, i);

  const int total = static_cast<int>(entries.size());
  RunResult result;
  int done = 0;
  for (; done < total; ++done) {
    const KeptEntry& kept = entries[static_cast<std::size_t>(done)];
    RunResult failure = restoreEntry(kept, platform::joinPath(record.folderPath, kept.name), fs);
    if (failure.outcome == Outcome::Stopped) {
      result = std::move(failure);
      break;
    }
    if (const auto it = rowOf.find(kept.name); it != rowOf.end()) {
      folderlist::ListEntry& row = rows[it->second];
      if (row.kindText == kept.kindText) row.timeText = kept.timeText;
    }
    if (progress) progress(done + 1, total);
  }

  entries.erase(entries.begin(), entries.begin() + done);
  result.changed = done;
  if (result.outcome == Outcome::Completed) result.completion = std::string(kUndoCompleted);
  return result;
}

}  // namespace stamping
