#include "folderlist/time_text.h"

namespace folderlist {

namespace {

// Appends value in decimal, zero-padded to at least `width` digits. A negative
// value never reaches here from a file time; it is shown with its sign anyway
// rather than as garbage.
void appendPadded(std::string& out, int value, int width) {
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

}  // namespace

std::string formatTimeText(const platform::LocalDateTime& t,
                           const platform::DateTimeSeparators& separators) {
  std::string text;
  formatTimeTextInto(text, t, separators);
  return text;
}

void formatTimeTextInto(std::string& text, const platform::LocalDateTime& t,
                        const platform::DateTimeSeparators& separators) {
  text.clear();
  text.reserve(15 + 2 * separators.date.size() + 2 * separators.time.size());
  appendPadded(text, t.year, 4);
  text += separators.date;
  appendPadded(text, t.month, 2);
  text += separators.date;
  appendPadded(text, t.day, 2);
  text.push_back(' ');
  appendPadded(text, t.hour, 2);
  text += separators.time;
  appendPadded(text, t.minute, 2);
  text += separators.time;
  appendPadded(text, t.second, 2);
}

}  // namespace folderlist
