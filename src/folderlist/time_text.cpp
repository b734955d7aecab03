#include "folderlist/time_text.h"

#include "platform/date_time_text.h"

namespace folderlist {

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
  platform::appendDateTimeText(text, t, separators);
}

}  // namespace folderlist
