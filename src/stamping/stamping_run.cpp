#include "stamping/stamping_run.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "folderlist/time_text.h"
#include "platform/path.h"
#include "stamping/precheck.h"
#include "stamping/run_messages.h"

namespace stamping {

namespace {

using Outcome = RunResult::Outcome;

RunResult stopped(int row, platform::Failure failure) {
  RunResult result;
  result.outcome = Outcome::Stopped;
  result.failure = std::move(failure);
  result.failure.row = row;
  result.changed = row;
  return result;
}

// Opens the entry and sets its times to the given instant, or fails when
// there is none; nullopt when the times are set. The handle is closed on
// every path.
std::optional<platform::Failure> stampEntry(folderlist::ListEntry& row, const std::string& path,
                                            platform::FileOps& fs, const StampOptions& options,
                                            const std::optional<platform::FileTime>& utc) {
  platform::OpenResult opened = row.isFile() ? fs.openFile(path) : fs.openFolder(path);
  if (!opened.entry) return platform::Failure{cannotOpenMessage(row, path), opened.error};
  if (!utc) return platform::Failure{cannotChangeMessage(row, path)};

  // The old times are kept before anything changes; an entry whose times
  // cannot be read is not changed, so that every change can be taken back.
  platform::EntryTimes old;
  if (options.keep) {
    if (const auto error = opened.entry->readTimes(old)) {
      return platform::Failure{cannotReadMessage(row, path), error};
    }
  }

  const platform::FileTime* creation = options.setCreation ? &*utc : nullptr;
  const platform::FileTime* lastAccess = options.setLastAccess ? &*utc : nullptr;
  const platform::OsErrorCode error = opened.entry->setTimes(creation, lastAccess, *utc);
  if (error != 0) return platform::Failure{cannotChangeMessage(row, path), error};
  if (options.keep) {
    options.keep->push_back(
        {row.name, row.kindText, row.timeText, old, options.setCreation, options.setLastAccess});
  }
  return std::nullopt;
}

}  // namespace

RunResult runStamping(folderlist::EntryRows& rows, const std::string& folderPath,
                      platform::FileOps& fs, const StampOptions& options,
                      const platform::DateTimeSeparators& separators,
                      const LocalToFileTime& toFileTime, const FileTimeToLocal& toLocal,
                      const Progress& progress) {
  const int total = static_cast<int>(rows.size());
  const int work = 2 * total;  // each row is checked, then stamped

  for (int k = 0; k < total; ++k) {
    const folderlist::ListEntry& row = rows[static_cast<std::size_t>(k)];
    std::string message = precheckMessage(row, platform::joinPath(folderPath, row.name), fs);
    if (!message.empty()) {
      RunResult result;
      result.outcome = Outcome::PrecheckFailed;
      result.failure = {std::move(message), 0, k};
      return result;
    }
    if (progress) progress(k + 1, work, 0);
  }

  // Converted once, by the rules of the start's own date; the steps are then
  // counted in absolute time, never on the wall clock, which a change of the
  // clock would fold back onto rows above.
  const std::optional<platform::FileTime> start = startInstant(options.start, toFileTime, toLocal);
  const std::int64_t step = stepSeconds(options.step);
  for (int k = 0; k < total; ++k) {
    folderlist::ListEntry& row = rows[static_cast<std::size_t>(k)];
    const std::optional<platform::FileTime> utc = rowInstant(start, k, step);
    const std::optional<platform::LocalDateTime> when = utc ? toLocal(*utc) : std::nullopt;
    // A row of any other kind is neither checked nor opened; only its text
    // follows the sequence.
    if (row.isFile() || row.isFolder()) {
      const std::string path = platform::joinPath(folderPath, row.name);
      if (auto failure = stampEntry(row, path, fs, options, when ? utc : std::nullopt)) {
        return stopped(k, std::move(*failure));
      }
    }
    if (when) row.timeText = folderlist::formatTimeText(*when, separators);
    if (progress) progress(total + k + 1, work, k + 1);
  }

  RunResult result;
  result.outcome = Outcome::Completed;
  result.completion = std::string(kStampCompleted);
  result.changed = total;
  return result;
}

std::optional<platform::FileTime> rowInstant(const std::optional<platform::FileTime>& start, int k,
                                             std::int64_t stepSeconds) {
  if (!start) return std::nullopt;
  const platform::FileTime offset = static_cast<platform::FileTime>(k) *
                                    static_cast<platform::FileTime>(stepSeconds) *
                                    platform::kTicksPerSecond;
  constexpr platform::FileTime kLargest = 0x7FFF'FFFF'FFFF'FFFFULL;  // FILETIME's signed range
  if (*start > kLargest - offset) return std::nullopt;
  return *start + offset;
}

}  // namespace stamping
