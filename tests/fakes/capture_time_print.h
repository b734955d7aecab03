#pragma once

// How a capture time shows in a failed check.

#include <ostream>

#include "capturetime/capture_time.h"

namespace capturetime {

inline void PrintTo(const CaptureTime& time, std::ostream* out) {
  switch (time.kind) {
    case CaptureTime::Kind::None:
      *out << "no time";
      return;
    case CaptureTime::Kind::WallTime: {
      const platform::LocalDateTime& t = time.wall;
      *out << "wall time " << t.year << "-" << t.month << "-" << t.day << " " << t.hour << ":"
           << t.minute << ":" << t.second << " + " << time.subSecondTicks << " ticks";
      return;
    }
    case CaptureTime::Kind::Instant:
      *out << "instant " << time.utc << " ticks since 1601 UTC";
      return;
  }
}

}  // namespace capturetime
