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
  // Every time a file system gives: a year of four digits and two-digit
  // fields, written straight into place (a listing formats one per row).
  const auto twoDigits = [](int v) { return v >= 0 && v <= 99; };
  if (t.year >= 0 && t.year <= 9999 && twoDigits(t.month) && twoDigits(t.day) &&
      twoDigits(t.hour) && twoDigits(t.minute) && twoDigits(t.second)) {
    text.resize(15 + 2 * separators.date.size() + 2 * separators.time.size());
    char* p = text.data();
    const auto put = [&p](int value, int digits) {
      for (int i = digits - 1; i >= 0; --i, value /= 10) p[i] = static_cast<char>('0' + value % 10);
      p += digits;
    };
    const auto copy = [&p](const std::string& separator) {
      separator.copy(p, separator.size());
      p += separator.size();
    };
    put(t.year, 4);
    copy(separators.date);
    put(t.month, 2);
    copy(separators.date);
    put(t.day, 2);
    *p++ = ' ';
    put(t.hour, 2);
    copy(separators.time);
    put(t.minute, 2);
    copy(separators.time);
    put(t.second, 2);
    return;
  }
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
