#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "folderlist/list_entry.h"
#include "platform/file_ops.h"
#include "platform/file_time.h"
#include "platform/time_zone.h"
#include "stamping/kept_entry.h"
#include "stamping/run_result.h"
#include "stamping/start_instant.h"

namespace stamping {

enum class Step { OneMinute, TwoSeconds };

// Seconds between consecutive rows.
constexpr int stepSeconds(Step step) { return step == Step::OneMinute ? 60 : 2; }

struct StampOptions {
  platform::LocalDateTime start;
  Step step = Step::OneMinute;
  bool setCreation = false;
  bool setLastAccess = false;
  // When given, each entry's old times and row are added here before the
  // entry is changed (read from the handle the run opens anyway).
  KeptEntries* keep = nullptr;
};

// Called after each checked row and after each stamped row: done counts
// both, out of total (twice the rows), and stamped says how many rows from
// the top carry their new times and texts so far.
using Progress = std::function<void(int done, int total, int stamped)>;

// Checks every row (read-only, existence) and, if all pass, stamps rows
// top to bottom. The start time is turned into an instant
// once, by the rules of its own date (see startInstant); row k gets that
// instant plus k steps, so every row is strictly later than the one above
// it, across midnight, month and year ends and across changes of the clock.
// Each stamped row's time text is its instant's local time, as a listing
// shows it afterwards. The first entry that cannot be opened, converted or
// changed stops the run there; that row and those below keep their old times
// and texts.
RunResult runStamping(folderlist::EntryRows& rows, const std::string& folderPath,
                      platform::FileOps& fs, const StampOptions& options,
                      const platform::DateTimeSeparators& separators,
                      const LocalToFileTime& toFileTime, const FileTimeToLocal& toLocal,
                      const Progress& progress = {});

// The instant of row k: the start instant plus k steps; nullopt when there is
// no start instant or the sum leaves what a file time holds.
std::optional<platform::FileTime> rowInstant(const std::optional<platform::FileTime>& start, int k,
                                             std::int64_t stepSeconds);

}  // namespace stamping
