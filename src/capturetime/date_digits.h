#pragma once

// Reading the digits of the dates files write as text ("2009:04:01 13:05:08",
// "2009-04-01T13:05:08+0900").

#include <cstddef>
#include <string_view>

namespace capturetime {

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The digits at text[at, at + count) as a number, or -1.
inline int digitsAt(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return -1;
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (!isDigit(text[i])) return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace capturetime
