#pragma once

// A date and time as the program shows it: "yyyy/mm/dd hh:nn:ss", zero-padded,
// with the user's separators standing for "/" and ":".

#include <string>

#include "platform/file_time.h"
#include "platform/time_zone.h"

namespace platform {

// Appends value in decimal, zero-padded to at least `width` digits. A negative
// value never comes from a file time; it is shown with its sign anyway rather
// than as garbage.
inline void appendPadded(std::string& out, int value, int width) {
  if (value < 0) {
    out.push_back('-');
    value = -value;
  }
  char digits[16];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0 && n < 16);
  for (int pad = width - n; pad > 0; --pad) out.push_back('0');
  while (n > 0) out.push_back(digits[--n]);
}

inline void appendDateTimeText(std::string& out, const LocalDateTime& t,
                               const DateTimeSeparators& separators) {
  appendPadded(out, t.year, 4);
  out += separators.date;
  appendPadded(out, t.month, 2);
  out += separators.date;
  appendPadded(out, t.day, 2);
  out.push_back(' ');
  appendPadded(out, t.hour, 2);
  out += separators.time;
  appendPadded(out, t.minute, 2);
  out += separators.time;
  appendPadded(out, t.second, 2);
}

}  // namespace platform
