// Local time on Windows. Both conversions take the zone's rules of the year
// converted (GetTimeZoneInformationForYear, which reads the zone's dynamic
// daylight-saving years), not today's: a file written in New York in 2006
// lists by the rules of 2006. The same calls run on Windows and under Wine,
// which lacks the ...Ex conversions, so the path the tests run is the one
// every user takes.
#include "platform/time_zone.h"

#include <windows.h>

#include "platform/win32/filetime.h"
#include "platform/win32/utf.h"

namespace platform {

namespace {

LocalDateTime fromSystemTime(const SYSTEMTIME& st) {
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

// The current zone's rules for one year. A zone the system finds no entry
// of its own for (Wine has none for Lord Howe) keeps its present rules.
bool rulesOfYear(int year, TIME_ZONE_INFORMATION& rules) {
  if (year < 1601 || year > 30827) return false;
  if (GetTimeZoneInformationForYear(static_cast<USHORT>(year), nullptr, &rules)) return true;
  return GetTimeZoneInformation(&rules) != TIME_ZONE_ID_INVALID;
}

bool toLocalByRulesOf(int year, const SYSTEMTIME& universal, SYSTEMTIME& local) {
  TIME_ZONE_INFORMATION rules;
  return rulesOfYear(year, rules) &&
         SystemTimeToTzSpecificLocalTime(&rules, &universal, &local) != FALSE;
}

}  // namespace

std::optional<LocalDateTime> utcToLocal(FileTime utc) {
  const FILETIME ft = win32::toFiletime(utc);
  SYSTEMTIME universal;
  if (!FileTimeToSystemTime(&ft, &universal)) return std::nullopt;
  SYSTEMTIME local;
  if (!toLocalByRulesOf(universal.wYear, universal, local)) return std::nullopt;
  // Around New Year the local date may lie in the year next to the UTC one;
  // its own year's rules decide then.
  if (local.wYear != universal.wYear) {
    SYSTEMTIME again;
    if (toLocalByRulesOf(local.wYear, universal, again)) local = again;
  }
  return fromSystemTime(local);
}

std::optional<FileTime> localToUtc(const LocalDateTime& t) {
  // SYSTEMTIME holds the years 1601 to 30827.
  if (t.year < 1601 || t.year > 30827) return std::nullopt;
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(t.year);
  local.wMonth = static_cast<WORD>(t.month);
  local.wDay = static_cast<WORD>(t.day);
  local.wHour = static_cast<WORD>(t.hour);
  local.wMinute = static_cast<WORD>(t.minute);
  local.wSecond = static_cast<WORD>(t.second);
  TIME_ZONE_INFORMATION rules;
  SYSTEMTIME universal;
  if (!rulesOfYear(t.year, rules) || !TzSpecificLocalTimeToSystemTime(&rules, &local, &universal)) {
    return std::nullopt;
  }
  FILETIME ft;
  if (!SystemTimeToFileTime(&universal, &ft)) return std::nullopt;
  return win32::fromFiletime(ft);
}

LocalDateTime localNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return fromSystemTime(st);
}

DateTimeSeparators userDateTimeSeparators() {
  DateTimeSeparators separators;
  wchar_t buffer[8];
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDATE, buffer, 8) > 1) {
    separators.date = narrow(buffer);
  }
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STIME, buffer, 8) > 1) {
    separators.time = narrow(buffer);
  }
  return separators;
}

}  // namespace platform
