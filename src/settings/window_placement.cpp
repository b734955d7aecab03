#include "settings/window_placement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace settings {

namespace {

// Edges in 64 bits: a position and a size near the ends of the 32-bit range
// would overflow when added.
struct Edges {
  std::int64_t left, top, right, bottom;
};

Edges edgesOf(const platform::WindowBounds& w) {
  return {w.left, w.top, static_cast<std::int64_t>(w.left) + std::max(0, w.width),
          static_cast<std::int64_t>(w.top) + std::max(0, w.height)};
}

Edges edgesOf(const platform::ScreenRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// The gap between two ranges along one axis, 0 when they meet or overlap.
std::int64_t gap(std::int64_t from1, std::int64_t to1, std::int64_t from2, std::int64_t to2) {
  if (to1 < from2) return from2 - to1;
  if (to2 < from1) return from1 - to2;
  return 0;
}

}  // namespace

int boundedCoordinate(int value) { return std::clamp(value, kMinCoordinate, kMaxCoordinate); }

int boundedExtent(int value, int limit) { return limit > 0 ? std::min(value, limit) : value; }

bool isOnSomeMonitor(const platform::WindowBounds& window,
                     const std::vector<platform::Monitor>& monitors) {
  const Edges w = edgesOf(window);
  return std::any_of(monitors.begin(), monitors.end(), [&w](const platform::Monitor& monitor) {
    const Edges m = edgesOf(monitor.area);
    return std::max(w.left, m.left) < std::min(w.right, m.right) &&
           std::max(w.top, m.top) < std::min(w.bottom, m.bottom);
  });
}

platform::WindowBounds reachableBounds(const platform::WindowBounds& window,
                                       const std::vector<platform::Monitor>& monitors) {
  if (monitors.empty() || isOnSomeMonitor(window, monitors)) return window;
  const Edges w = edgesOf(window);
  const platform::Monitor* nearest = nullptr;
  double nearestDistance = std::numeric_limits<double>::infinity();
  for (const platform::Monitor& monitor : monitors) {
    const Edges m = edgesOf(monitor.area);
    const auto dx = static_cast<double>(gap(w.left, w.right, m.left, m.right));
    const auto dy = static_cast<double>(gap(w.top, w.bottom, m.top, m.bottom));
    const double distance = dx * dx + dy * dy;
    if (distance < nearestDistance) {
      nearestDistance = distance;
      nearest = &monitor;
    }
  }
  const platform::ScreenRect& work = nearest->workArea;
  platform::WindowBounds placed = window;
  placed.width = std::clamp(window.width, 0, std::max(0, work.right - work.left));
  placed.height = std::clamp(window.height, 0, std::max(0, work.bottom - work.top));
  placed.left = std::clamp(window.left, work.left, std::max(work.left, work.right - placed.width));
  placed.top = std::clamp(window.top, work.top, std::max(work.top, work.bottom - placed.height));
  return placed;
}

}  // namespace settings
