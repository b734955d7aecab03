#include "platform/win32/monitor_screen.h"

#include <windows.h>

#include <algorithm>

namespace platform::win32 {

namespace {

platform::ScreenRect toScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

struct Found {
  platform::Monitor monitor;
  bool primary;
};

BOOL CALLBACK addMonitor(HMONITOR handle, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(handle, &info)) {
    reinterpret_cast<std::vector<Found>*>(list)->push_back(
        {{toScreenRect(info.rcMonitor), toScreenRect(info.rcWork)},
         (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

}  // namespace

std::vector<platform::Monitor> MonitorScreen::monitors() const {
  std::vector<Found> found;
  EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&found));
  std::stable_partition(found.begin(), found.end(), [](const Found& f) { return f.primary; });
  std::vector<platform::Monitor> monitors;
  for (const Found& f : found) monitors.push_back(f.monitor);
  return monitors;
}

platform::WindowSizeLimit MonitorScreen::largestWindow() const {
  return {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
}

}  // namespace platform::win32
