#pragma once

#include <functional>
#include <optional>

#include "platform/file_time.h"

namespace stamping {

// Local time to the UTC file time it stands for, and back; nullopt when the
// time cannot be converted. The run takes both as functions so that it can be
// held against zones and faults of a test's choosing.
using LocalToFileTime =
    std::function<std::optional<platform::FileTime>(const platform::LocalDateTime&)>;
using FileTimeToLocal = std::function<std::optional<platform::LocalDateTime>(platform::FileTime)>;

// The instant a typed local time stands for, in whole seconds: the one
// instant that shows it; the earlier of the two where the clock is turned
// back and shows it twice; the first instant after the gap where the clock
// is turned forward past it. nullopt when it cannot be converted.
std::optional<platform::FileTime> startInstant(const platform::LocalDateTime& local,
                                               const LocalToFileTime& toUtc,
                                               const FileTimeToLocal& toLocal);

}  // namespace stamping
