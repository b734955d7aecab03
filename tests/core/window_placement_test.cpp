// Bringing a window that stands outside every monitor back within reach.

#include "settings/window_placement.h"

#include <gtest/gtest.h>

namespace {

using platform::Monitor;
using platform::WindowBounds;

TEST(WindowPlacement, ReachableBounds) {
  // 1920 x 1080 with the task bar at the top (work area from y = 30), and a
  // 1024 x 768 monitor above it, right-aligned.
  const std::vector<Monitor> monitors{
      {{0, 0, 1920, 1080}, {0, 30, 1920, 1080}},
      {{896, -768, 1920, 0}, {896, -768, 1920, 0}},
  };
  const struct {
    const char* what;
    WindowBounds window, expected;
  } cases[] = {
      {"inside", {100, 100, 800, 600}, {100, 100, 800, 600}},
      {"one pixel on the main monitor", {-799, -599, 800, 600}, {-799, -599, 800, 600}},
      {"touching the main monitor's edge only", {-800, 100, 800, 600}, {0, 100, 800, 600}},
      {"on the upper monitor, negative top", {1000, -700, 300, 200}, {1000, -700, 300, 200}},
      {"above the upper monitor", {1000, -2000, 300, 200}, {1000, -768, 300, 200}},
      {"above, left of the upper monitor: still nearer to it",
       {500, -900, 300, 100},
       {896, -768, 300, 100}},
      {"far right", {9000, 500, 300, 200}, {1620, 500, 300, 200}},
      {"below, larger than the work area", {0, 2000, 2500, 1500}, {0, 30, 1920, 1050}},
      {"an empty rectangle outside", {-50, -50, 0, 0}, {0, 30, 0, 0}},
      {"the far end of the coordinate range",
       {2147483647 - 10, 2147483647 - 10, 800, 600},
       {1120, 480, 800, 600}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(settings::reachableBounds(c.window, monitors), c.expected) << c.what;
  }
  EXPECT_EQ(settings::reachableBounds({9000, 9000, 10, 10}, {}), (WindowBounds{9000, 9000, 10, 10}))
      << "without monitors nothing is known";
}

TEST(WindowPlacement, Bounds) {
  EXPECT_EQ(settings::boundedCoordinate(-2147483647 - 1), -32768);
  EXPECT_EQ(settings::boundedCoordinate(2147483647), 32767);
  EXPECT_EQ(settings::boundedCoordinate(-1288), -1288);
  EXPECT_EQ(settings::boundedExtent(5000, 3000), 3000);
  EXPECT_EQ(settings::boundedExtent(-5, 3000), -5);
  EXPECT_EQ(settings::boundedExtent(5000, 0), 5000) << "no limit known";
}

}  // namespace
