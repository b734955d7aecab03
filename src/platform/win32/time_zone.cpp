// Local time on Windows. The conversions go through the time-zone rules of
// the date converted (the dynamic daylight-saving rules of that year where
// the system has them), not through today's offset from UTC.
#include "platform/time_zone.h"

#include <windows.h>

#include "platform/win32/utf.h"

namespace platform {

namespace {

using ToLocalEx = BOOL(WINAPI*)(const DYNAMIC_TIME_ZONE_INFORMATION*, const SYSTEMTIME*,
                                SYSTEMTIME*);
using ToUtcEx = BOOL(WINAPI*)(const DYNAMIC_TIME_ZONE_INFORMATION*, const SYSTEMTIME*, SYSTEMTIME*);

// The Ex conversions, where kernel32 exports them (Windows 7 on). Looked up
// at run time and only there: Wine's kernelbase exports them as stubs that
// abort when called, and a direct import would not load on older systems.
// Without them the plain calls apply the zone's standard rules of each date.
struct ZoneCalls {
  ToLocalEx toLocal = nullptr;
  ToUtcEx toUtc = nullptr;
};

const ZoneCalls& zoneCalls() {
  static const ZoneCalls calls = [] {
    ZoneCalls found;
    if (const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll")) {
      found.toLocal = reinterpret_cast<ToLocalEx>(
          reinterpret_cast<void*>(GetProcAddress(kernel32, "SystemTimeToTzSpecificLocalTimeEx")));
      found.toUtc = reinterpret_cast<ToUtcEx>(
          reinterpret_cast<void*>(GetProcAddress(kernel32, "TzSpecificLocalTimeToSystemTimeEx")));
    }
    return found;
  }();
  return calls;
}

LocalDateTime fromSystemTime(const SYSTEMTIME& st) {
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

}  // namespace

std::optional<LocalDateTime> utcToLocal(FileTime utc) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(utc & 0xFFFF'FFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(utc >> 32);
  SYSTEMTIME universal;
  if (!FileTimeToSystemTime(&ft, &universal)) return std::nullopt;
  SYSTEMTIME local;
  DYNAMIC_TIME_ZONE_INFORMATION zone;
  const ZoneCalls& calls = zoneCalls();
  if (calls.toLocal && GetDynamicTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID &&
      calls.toLocal(&zone, &universal, &local)) {
    return fromSystemTime(local);
  }
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) return std::nullopt;
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
  SYSTEMTIME universal;
  DYNAMIC_TIME_ZONE_INFORMATION zone;
  const ZoneCalls& calls = zoneCalls();
  const bool converted =
      (calls.toUtc && GetDynamicTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID &&
       calls.toUtc(&zone, &local, &universal)) ||
      TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal);
  if (!converted) return std::nullopt;
  FILETIME ft;
  if (!SystemTimeToFileTime(&universal, &ft)) return std::nullopt;
  return (static_cast<FileTime>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
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
